#pragma once

#include "docprops/PropertyModel.h"
#include "docprops/XmlReading.h"

#include <pugixml.hpp>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tallyglass {

// Notes why a part that did not parse gives no values, and answers whether it parsed.
bool ParsedOrNoted(XmlPartState state, std::string_view partName, DocumentProperties& properties);

// Stores `text` in the property: text as it stands; integers in decimal (blanks around
// allowed, a value that does not parse or does not fit 32 bits counts as missing); dates in
// ISO 8601, zone-less ones read as `zoneless` says; booleans true for "true" or "1".
void AssignField(DocumentProperties& properties, FieldId field, std::string_view text, ZonelessTime zoneless);

// An element to look for: its namespace (empty: the namespace the caller gives) and local name.
struct XmlName {
    std::string_view ns;
    std::string_view local;
};

// Walks the child elements of `parent` once: the first child that matches each name goes to
// `matched(index, element)` (later ones of the same name are left alone, as the common readers
// do), every other child element to `other(element)`.
template <std::size_t N, typename Matched, typename Other>
void ForEachFirstMatch(const XmlScope& scope, const pugi::xml_node& parent, const std::array<XmlName, N>& names,
                       std::string_view defaultNs, Matched matched, Other other)
{
    std::bitset<N> seen;
    for (const pugi::xml_node& element : parent.children()) {
        if (element.type() != pugi::node_element)
            continue;
        const std::string_view local = LocalName(element);
        const std::string_view ns = scope.namespaceOf(element);
        bool taken = false;
        for (std::size_t i = 0; i < N && !taken; ++i) {
            const std::string_view wanted = names[i].ns.empty() ? defaultNs : names[i].ns;
            if (names[i].local != local || ns != wanted)
                continue;
            taken = true;
            if (!seen[i]) {
                seen[i] = true;
                matched(i, element);
            }
        }
        if (!taken)
            other(element);
    }
}

// The text with its %-escapes decoded.
std::string PercentDecoded(std::string_view text);

std::optional<std::int32_t> ParseXmlInteger(std::string_view text);
std::optional<std::int64_t> ParseXmlInteger64(std::string_view text);
// A decimal number ("1.5", "-2e3"); no value for anything else, infinities and NaN among them.
std::optional<double> ParseXmlNumber(std::string_view text);

} // namespace tallyglass
