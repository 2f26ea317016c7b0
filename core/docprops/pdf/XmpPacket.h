#pragma once

#include "docprops/PropertyModel.h"
#include "docprops/XmlReading.h"

#include <optional>
#include <string>
#include <string_view>

namespace tallyglass {

// The document properties an XMP packet of a PDF carries, as its schemas name them.
struct XmpProperties {
    std::optional<std::string> title;       // dc:title, the x-default alternative
    std::optional<std::string> creator;     // dc:creator, every name joined with "; "
    std::optional<std::string> description; // dc:description, the x-default alternative
    std::optional<std::string> keywords;    // pdf:Keywords
    std::optional<std::string> creatorTool; // xmp:CreatorTool
    std::optional<std::string> producer;    // pdf:Producer
    std::optional<DocumentDate> createDate; // xmp:CreateDate
    std::optional<DocumentDate> modifyDate; // xmp:ModifyDate
    bool invalidCreateDate = false;
    bool invalidModifyDate = false;
};

// Reads the packet. Values may stand as elements or as attributes of rdf:Description, under
// whatever prefixes the writer chose. A packet that declares a document type is refused whole,
// so nothing it declares is ever expanded.
XmpProperties ReadXmpPacket(std::string_view packet, XmlPartState& state);

} // namespace tallyglass
