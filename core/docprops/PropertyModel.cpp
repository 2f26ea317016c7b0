#include "PropertyModel.h"

#include <algorithm>

namespace tallyglass {

namespace {

using K = PropertyKind;
constexpr std::array<PropertySpec, kPropertyCount> kProperties = {{
    {FieldId::AppName, "AppName", K::Text},
    {FieldId::Author, "Author", K::Text},
    {FieldId::ByteCount, "ByteCount", K::Integer},
    {FieldId::Category, "Category", K::Text},
    {FieldId::CharCount, "CharCount", K::Integer},
    {FieldId::CharCountWithSpaces, "CharCountWithSpaces", K::Integer},
    {FieldId::Comments, "Comments", K::Text},
    {FieldId::Company, "Company", K::Text},
    {FieldId::DateCreated, "DateCreated", K::Date},
    {FieldId::DateLastPrinted, "DateLastPrinted", K::Date},
    {FieldId::DateLastSaved, "DateLastSaved", K::Date},
    {FieldId::HiddenSlides, "HiddenSlides", K::Integer},
    {FieldId::Keywords, "Keywords", K::Text},
    {FieldId::LastSavedBy, "LastSavedBy", K::Text},
    {FieldId::LineCount, "LineCount", K::Integer},
    {FieldId::Manager, "Manager", K::Text},
    {FieldId::MultimediaClips, "MultimediaClips", K::Integer},
    {FieldId::NoteCount, "NoteCount", K::Integer},
    {FieldId::PageCount, "PageCount", K::Integer},
    {FieldId::ParagraphCount, "ParagraphCount", K::Integer},
    {FieldId::PresentationFormat, "PresentationFormat", K::Text},
    {FieldId::Shared, "Shared", K::Boolean},
    {FieldId::SlideCount, "SlideCount", K::Integer},
    {FieldId::Subject, "Subject", K::Text},
    {FieldId::Template, "Template", K::Text},
    {FieldId::Title, "Title", K::Text},
    {FieldId::TotalEditTime, "TotalEditTime", K::Integer},
    {FieldId::Version, "Version", K::Text},
    {FieldId::WordCount, "WordCount", K::Integer},
}};

constexpr std::string_view kindWord(DiagnosticKind kind)
{
    switch (kind) {
    case DiagnosticKind::NotADocument: return "not a document of a known kind";
    case DiagnosticKind::Encrypted: return "encrypted";
    case DiagnosticKind::Damaged: return "damaged";
    case DiagnosticKind::OverCap: return "over its size cap";
    case DiagnosticKind::CodePage: return "code page";
    }
    return "damaged";
}

const PropertyValue kAbsent{};

} // namespace

const std::array<PropertySpec, kPropertyCount>& PropertyTable() { return kProperties; }

std::optional<std::size_t> PropertyIndex(FieldId field)
{
    const auto it = std::find_if(kProperties.begin(), kProperties.end(),
                                 [field](const PropertySpec& p) { return p.field == field; });
    if (it == kProperties.end())
        return std::nullopt;
    return std::size_t(it - kProperties.begin());
}

std::string DiagnosticText(const Diagnostic& diagnostic)
{
    std::string text(kindWord(diagnostic.kind));
    if (!diagnostic.detail.empty())
        text += ": " + diagnostic.detail;
    return text;
}

const PropertyValue& DocumentProperties::get(FieldId field) const
{
    const auto index = PropertyIndex(field);
    return index ? values[*index] : kAbsent;
}

void DocumentProperties::set(FieldId field, PropertyValue value)
{
    if (const auto index = PropertyIndex(field))
        values[*index] = std::move(value);
}

void DocumentProperties::note(DiagnosticKind kind, std::string detail)
{
    diagnostics.push_back({kind, std::move(detail)});
}

} // namespace tallyglass
