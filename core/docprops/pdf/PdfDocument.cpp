#include "PdfDocument.h"

#include "PdfDate.h"
#include "PdfObjects.h"
#include "PdfSourceBytes.h"
#include "PdfText.h"
#include "XmpPacket.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <span>

namespace tallyglass {

namespace {

using namespace std::chrono_literals;

// Every PDF answers within 3 seconds however it is built; reading stops a little earlier so
// the values found by then can still be handed back in time.
constexpr auto kReadingTime = 2500ms;

constexpr std::size_t kHeaderWindow = 1024;
constexpr std::size_t kMaxCustomNameBytes = 1024;

bool hasText(const std::optional<std::string>& text) { return text && !text->empty(); }

// The Info value if it has text, else the XMP one if that has, else whatever of the two exists
// (an empty string is still a value the document holds).
PropertyValue firstText(const std::optional<std::string>& info, const std::optional<std::string>& xmp)
{
    if (hasText(info))
        return *info;
    if (hasText(xmp))
        return *xmp;
    if (info)
        return *info;
    if (xmp)
        return *xmp;
    return {};
}

DiagnosticKind kindOf(PdfNote::Kind kind)
{
    switch (kind) {
    case PdfNote::Kind::Damaged: return DiagnosticKind::Damaged;
    case PdfNote::Kind::OverCap: return DiagnosticKind::OverCap;
    case PdfNote::Kind::Encrypted: return DiagnosticKind::Encrypted;
    }
    return DiagnosticKind::Damaged;
}

class Mapping {
public:
    Mapping(const PdfObjects& objects, DocumentProperties& out) : m_objects(objects), m_out(out) {}

    void run()
    {
        XmpProperties xmp;
        if (m_objects.xmp) {
            XmlPartState state = XmlPartState::Parsed;
            xmp = ReadXmpPacket(*m_objects.xmp, state);
            if (state == XmlPartState::HasDoctype)
                m_out.note(DiagnosticKind::Damaged, "the XMP metadata declares a document type; it is not read");
            else if (state == XmlPartState::Malformed)
                m_out.note(DiagnosticKind::Damaged, "the XMP metadata is not well-formed XML");
        }

        m_out.set(FieldId::Title, firstText(text("Title"), xmp.title));
        m_out.set(FieldId::Author, firstText(text("Author"), xmp.creator));
        m_out.set(FieldId::Subject, firstText(text("Subject"), xmp.description));
        m_out.set(FieldId::Keywords, firstText(text("Keywords"), xmp.keywords));

        // The application that made the original document, from either source, before the one
        // that turned it into PDF.
        const auto creator = text("Creator");
        const auto producer = text("Producer");
        if (hasText(creator) || hasText(xmp.creatorTool))
            m_out.set(FieldId::AppName, firstText(creator, xmp.creatorTool));
        else
            m_out.set(FieldId::AppName, firstText(producer, xmp.producer));

        m_out.set(FieldId::DateCreated, date("CreationDate", xmp.createDate, xmp.invalidCreateDate, "xmp:CreateDate"));
        m_out.set(FieldId::DateLastSaved, date("ModDate", xmp.modifyDate, xmp.invalidModifyDate, "xmp:ModifyDate"));
        if (m_objects.pages)
            m_out.set(FieldId::PageCount, *m_objects.pages);

        customProperties(producer ? producer : xmp.producer);
    }

private:
    const PdfInfoEntry* entry(std::string_view key) const
    {
        const auto it = std::find_if(m_objects.info.begin(), m_objects.info.end(),
                                     [key](const PdfInfoEntry& e) { return e.key == key; });
        return it == m_objects.info.end() ? nullptr : &*it;
    }

    // A text value of the information dictionary: absent unless the key holds a string.
    std::optional<std::string> text(std::string_view key) const
    {
        const auto* found = entry(key);
        if (!found || found->kind != PdfInfoEntry::Kind::String)
            return std::nullopt;
        return DecodePdfText(found->bytes);
    }

    PropertyValue date(std::string_view key, const std::optional<DocumentDate>& xmp, bool xmpInvalid,
                       std::string_view xmpName)
    {
        if (const auto* found = entry(key)) {
            if (found->kind == PdfInfoEntry::Kind::String)
                if (const auto parsed = ParsePdfDate(DecodePdfText(found->bytes)))
                    return *parsed;
            m_out.note(DiagnosticKind::Damaged, std::string(key) + " is not a date");
        } else if (xmpInvalid) {
            m_out.note(DiagnosticKind::Damaged, "the XMP " + std::string(xmpName) + " is not a date");
        }
        if (xmp)
            return *xmp;
        return {};
    }

    void customProperties(const std::optional<std::string>& producer)
    {
        static constexpr std::array<std::string_view, 7> mapped = {"Title",   "Author",       "Subject", "Keywords",
                                                                   "Creator", "CreationDate", "ModDate"};
        bool producerListed = false;
        for (const auto& e : m_objects.info) {
            if (std::find(mapped.begin(), mapped.end(), e.key) != mapped.end())
                continue;
            std::string name = CleanUtf8(e.key, kMaxCustomNameBytes);
            if (e.key == "Producer") {
                if (producer)
                    m_out.custom.push_back({std::move(name), *producer});
                producerListed = true;
                continue;
            }
            switch (e.kind) {
            case PdfInfoEntry::Kind::String: m_out.custom.push_back({std::move(name), DecodePdfText(e.bytes)}); break;
            case PdfInfoEntry::Kind::Integer: m_out.custom.push_back({std::move(name), std::int64_t(e.integer)}); break;
            case PdfInfoEntry::Kind::Real: m_out.custom.push_back({std::move(name), e.real}); break;
            case PdfInfoEntry::Kind::Boolean: m_out.custom.push_back({std::move(name), e.boolean}); break;
            case PdfInfoEntry::Kind::Name: m_out.custom.push_back({std::move(name), CleanUtf8(e.bytes)}); break;
            }
        }
        if (!producerListed && producer)
            m_out.custom.push_back({"Producer", *producer});
    }

    const PdfObjects& m_objects;
    DocumentProperties& m_out;
};

bool anyValue(const DocumentProperties& properties)
{
    return !properties.custom.empty()
        || std::any_of(properties.values.begin(), properties.values.end(),
                       [](const PropertyValue& v) { return !std::holds_alternative<std::monostate>(v); });
}

} // namespace

bool IsPdfDocument(const ByteSource& source)
{
    std::array<char, kHeaderWindow> head{};
    const std::size_t n = std::size_t(std::min<std::uint64_t>(source.size(), head.size()));
    if (!source.readAt(0, std::as_writable_bytes(std::span(head.data(), n))))
        return false;
    return std::string_view(head.data(), n).find("%PDF-") != std::string_view::npos;
}

DocumentProperties ReadPdfDocument(const ByteSource& source)
{
    DocumentProperties out;
    out.absent = AbsentForm::Blank;
    if (!IsPdfDocument(source)) {
        out.note(DiagnosticKind::NotADocument, "");
        return out;
    }
    out.opened = true;
    out.format = "pdf";

    const SourceBytes bytes(source);
    const auto objects = ReadPdfObjects(bytes, std::chrono::steady_clock::now() + kReadingTime);
    Mapping(objects, out).run();
    for (const auto& note : objects.notes)
        out.note(kindOf(note.kind), note.detail);
    if (!anyValue(out) && out.diagnostics.empty() && !objects.firstWarning.empty())
        out.note(DiagnosticKind::Damaged, objects.firstWarning);
    return out;
}

} // namespace tallyglass
