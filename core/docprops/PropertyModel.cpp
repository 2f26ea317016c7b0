#include "PropertyModel.h"


namespace tallyglass {

namespace {

#define TALLYGLASS_PROPERTY_SPEC(name, kind) PropertySpec{FieldId::name, #name, PropertyKind::kind},
constexpr std::array<PropertySpec, kPropertyCount> kProperties = {
    TALLYGLASS_DOCUMENT_PROPERTIES(TALLYGLASS_PROPERTY_SPEC)};
#undef TALLYGLASS_PROPERTY_SPEC

// Where each field stands in kProperties, by its place in the catalogue.
constexpr std::array<int, kFieldCount> kIndexOfField = [] {
    std::array<int, kFieldCount> index{};
    index.fill(-1);
    for (std::size_t i = 0; i < kProperties.size(); ++i)
        index[std::size_t(kProperties[i].field)] = int(i);
    return index;
}();

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
    const int index = kIndexOfField[std::size_t(field)];
    if (index < 0)
        return std::nullopt;
    return std::size_t(index);
}

PropertyKind KindOf(FieldId field)
{
    const auto index = PropertyIndex(field);
    return index ? kProperties[*index].kind : PropertyKind::Text;
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
