#pragma once

#include "docprops/PropertyModel.h"
#include "docprops/IsoDateTime.h"

#include <pugixml.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tallyglass {

// The XML every reader shares: package parts, flat ODF files and the XMP stream of a PDF are
// parsed, walked by namespace and read as values by these same pieces.

// How an XML part parsed.
enum class XmlPartState { Parsed, Malformed, HasDoctype };

// Parses one XML part. Only the predefined and numeric character references are replaced.
// OPC forbids document type declarations in package parts, XMP has no use for one, and no
// conforming writer puts one there: a part that has one is refused whole, so no entity it
// declares is ever expanded and nothing outside the part is fetched.
XmlPartState ParseXmlPart(pugi::xml_document& document, std::string_view part);

// The namespace declarations in force at an element, so that elements and attributes are
// matched by namespace URI and local name, whatever prefixes the writer chose.
class XmlScope {
public:
    // The scope inside `element`: this scope with the element's own declarations added.
    XmlScope within(const pugi::xml_node& element) const;

    // True when `element` (declared in this scope or by itself) is {uri}local.
    bool is(const pugi::xml_node& element, std::string_view uri, std::string_view local) const;
    std::string_view namespaceOf(const pugi::xml_node& element) const;

    // The value of the attribute {uri}local of an element whose own declarations this scope
    // already holds (a scope made `within` it).
    std::optional<std::string_view> attribute(const pugi::xml_node& element, std::string_view uri,
                                              std::string_view local) const;

    // The namespace of a prefixed attribute of such an element; empty for an attribute
    // without a prefix (it belongs to no namespace) and for a namespace declaration.
    std::string_view namespaceOf(const pugi::xml_attribute& attribute) const;

private:
    std::optional<std::string_view> resolve(std::string_view prefix) const;
    std::unordered_map<std::string_view, std::string_view> m_prefixes;
};

std::string_view LocalName(const pugi::xml_node& element);
std::string_view LocalName(const pugi::xml_attribute& attribute);

// The character data directly inside an element, text and CDATA sections joined.
std::string TextOf(const pugi::xml_node& element);

// The text without the XML white space (blanks, tabs, line ends) around it; writers indent
// values, and the readers of values in XML all allow it.
std::string_view TrimXmlSpace(std::string_view text);

// An ISO 8601 date and time (blanks around allowed) with where its zone came from: given
// when a zone designator follows the time, otherwise as `zoneless` says.
std::optional<DocumentDate> ParseXmlDate(std::string_view text, ZonelessTime zoneless);

} // namespace tallyglass
