#include "PackageDocument.h"

#include "PackageFormats.h"
#include "PackageXml.h"
#include "ZipPackage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace tallyglass {

namespace {

constexpr std::array<unsigned char, 4> kZipLocalHeader = {'P', 'K', 0x03, 0x04};
constexpr std::string_view kOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";

// A flat file carries its whole content, images included, after the metadata; its metadata
// comes first and is a few kilobytes. Only this much of the file is parsed, so a huge file
// costs no more than a package's properties part.
constexpr std::uint64_t kMaxFlatOdfBytes = ZipPackage::kMaxPartBytes;
// The office namespace is declared on the root element, within the first few hundred bytes.
constexpr std::size_t kFlatOdfSniffBytes = 4096;

DocumentProperties notADocument()
{
    DocumentProperties properties;
    properties.note(DiagnosticKind::NotADocument, {});
    return properties;
}

} // namespace

DocumentProperties ReadPackageDocument(const ByteSource& source)
{
    std::array<std::byte, 4> head{};
    if (!source.readAt(0, head) || std::memcmp(head.data(), kZipLocalHeader.data(), head.size()) != 0)
        return notADocument();
    DocumentProperties properties;
    const auto package = ZipPackage::open(source, &properties);
    if (!package)
        return properties;
    // A package that says it is OpenDocument is read as such even without meta.xml; one that
    // says nothing is OpenDocument only when its meta.xml reads as OpenDocument metadata.
    if (IsOdfPackage(*package)) {
        properties.opened = true;
        properties.format = "odf";
        ReadOdfProperties(*package, properties);
    } else if (IsOoxmlPackage(*package)) {
        properties.opened = true;
        properties.format = "ooxml";
        ReadOoxmlProperties(*package, properties);
    } else if (ReadOdfProperties(*package, properties)) {
        properties.opened = true;
        properties.format = "odf";
    } else if (properties.diagnostics.empty()) {
        properties.note(DiagnosticKind::NotADocument, "a zip archive with no office document parts");
    }
    return properties;
}

DocumentProperties ReadFlatOdfDocument(const ByteSource& source)
{
    const std::uint64_t size = source.size();
    std::string sniff(std::size_t(std::min<std::uint64_t>(size, kFlatOdfSniffBytes)), '\0');
    if (!source.readAt(0, std::as_writable_bytes(std::span(sniff))))
        return notADocument();
    // XML starts with a byte order mark, a declaration or an element; the office namespace
    // must be declared near the start. Anything else is left to other readers.
    std::string_view start = sniff;
    if (start.starts_with("\xEF\xBB\xBF"))
        start.remove_prefix(3);
    start.remove_prefix(std::min(start.size(), start.find_first_not_of(" \t\r\n")));
    if (!start.starts_with("<") || sniff.find(kOfficeNs) == std::string::npos)
        return notADocument();

    const bool cut = size > kMaxFlatOdfBytes;
    std::string text(std::size_t(cut ? kMaxFlatOdfBytes : size), '\0');
    DocumentProperties properties;
    if (!source.readAt(0, std::as_writable_bytes(std::span(text)))) {
        properties.note(DiagnosticKind::Damaged, "the file cannot be read");
        return properties;
    }
    pugi::xml_document document;
    const XmlPartState state = ParseXmlPart(document, text);
    if (state == XmlPartState::HasDoctype || (state == XmlPartState::Malformed && !cut)) {
        // Refused whole: its root cannot be trusted to be what it says.
        ParsedOrNoted(state, "the flat document", properties);
        if (state == XmlPartState::HasDoctype) {
            properties.opened = true;
            properties.format = "odf";
        }
        return properties;
    }
    // A file cut at the cap parses as far as it goes; its metadata counts only when an element
    // follows it, so that it is known to be complete.
    DocumentProperties read;
    if (!ReadOdfMeta(document, "document", read))
        return notADocument();
    properties.opened = true;
    properties.format = "odf";
    if (cut) {
        const pugi::xml_node root = document.document_element();
        pugi::xml_node meta;
        for (const pugi::xml_node& child : root.children()) {
            if (child.type() == pugi::node_element && LocalName(child) == "meta") {
                meta = child;
                break;
            }
        }
        const pugi::xml_node after = meta ? meta.next_sibling() : pugi::xml_node();
        if (!after) {
            properties.note(DiagnosticKind::OverCap, "the metadata does not end within the first "
                                                         + std::to_string(kMaxFlatOdfBytes) + " bytes");
            return properties;
        }
    }
    properties.values = std::move(read.values);
    properties.custom = std::move(read.custom);
    properties.diagnostics.insert(properties.diagnostics.end(), read.diagnostics.begin(), read.diagnostics.end());
    return properties;
}

} // namespace tallyglass
