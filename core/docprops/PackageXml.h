#pragma once

#include "DocumentProperties.h"
#include "IsoDateTime.h"

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>

namespace tallyglass {

// Parses one XML part of a package. Only the predefined and numeric character references are
// replaced; a document type declaration is skipped unread, so no entity it declares is ever
// expanded and nothing outside the part is fetched. False when the part is not well-formed.
bool ParsePackageXml(pugi::xml_document& document, const std::string& part);

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

private:
    std::optional<std::string_view> resolve(std::string_view prefix) const;
    std::unordered_map<std::string_view, std::string_view> m_prefixes;
};

std::string_view LocalName(const pugi::xml_node& element);

// The character data directly inside an element, text and CDATA sections joined.
std::string TextOf(const pugi::xml_node& element);

// Where a value read from a package goes, and so how its text is read.
using FieldTarget = std::variant<std::string SummaryValues::*, std::int32_t SummaryValues::*,
                                 OleDate SummaryValues::*, bool SummaryValues::*>;

// Stores `text` in the field: text as it stands; integers in decimal (blanks around allowed,
// a value that does not parse or does not fit 32 bits counts as missing); dates in ISO 8601,
// zone-less ones read as `zoneless` says; booleans true for "true" or "1".
void AssignField(SummaryValues& values, const FieldTarget& target, std::string_view text,
                 ZonelessTime zoneless);

std::optional<std::int32_t> ParseXmlInteger(std::string_view text);

} // namespace tallyglass
