// Bytes as an XML part of a package: parsed as the readers parse it, read as ODF metadata and
// as a flat ODF file, and every element's text stored as each kind of property.
#include "docprops/package/PackageDocument.h"
#include "docprops/package/PackageFormats.h"
#include "docprops/package/PackageXml.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

using namespace tallyglass;

void walk(const XmlScope& outer, const pugi::xml_node& node, DocumentProperties& properties, int depth)
{
    // The parser itself bounds nothing; this walk stops where a real properties part would.
    if (depth > 64)
        return;
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const XmlScope scope = outer.within(child);
        (void)scope.namespaceOf(child);
        (void)scope.attribute(child, "urn:oasis:names:tc:opendocument:xmlns:meta:1.0", "name");
        const std::string text = TextOf(child);
        for (const FieldId field : {FieldId::Title, FieldId::PageCount, FieldId::DateCreated, FieldId::Shared})
            AssignField(properties, field, text, ZonelessTime::Local);
        walk(scope, child, properties, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string part(reinterpret_cast<const char*>(data), size);
    DocumentProperties properties;
    pugi::xml_document document;
    if (ParseXmlPart(document, part) == XmlPartState::Parsed) {
        (void)ReadOdfMeta(document, "document-meta", properties);
        (void)ReadOdfMeta(document, "document", properties);
        walk(XmlScope(), document, properties, 0);
    }
    (void)ReadFlatOdfDocument(MemorySource(std::as_bytes(std::span(data, size))));
    return 0;
}
