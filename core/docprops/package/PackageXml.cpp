#include "PackageXml.h"

#include <charconv>
#include <cmath>

namespace tallyglass {

bool ParsedOrNoted(XmlPartState state, std::string_view partName, DocumentProperties& properties)
{
    switch (state) {
    case XmlPartState::Parsed:
        return true;
    case XmlPartState::Malformed:
        properties.note(DiagnosticKind::Damaged, "part " + std::string(partName) + " is not well-formed XML");
        return false;
    case XmlPartState::HasDoctype:
        properties.note(DiagnosticKind::Damaged,
                        "part " + std::string(partName) + " carries a document type declaration; it is not read");
        return false;
    }
    return false;
}

std::optional<std::int64_t> ParseXmlInteger64(std::string_view text)
{
    text = TrimXmlSpace(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseXmlNumber(std::string_view text)
{
    text = TrimXmlSpace(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> ParseXmlInteger(std::string_view text)
{
    text = TrimXmlSpace(text);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

void AssignField(DocumentProperties& properties, FieldId field, std::string_view text, ZonelessTime zoneless)
{
    switch (KindOf(field)) {
    case PropertyKind::Text:
        properties.set(field, std::string(text));
        break;
    case PropertyKind::Integer:
        if (const auto value = ParseXmlInteger(text))
            properties.set(field, *value);
        break;
    case PropertyKind::Date:
        if (const auto date = ParseXmlDate(text, zoneless))
            properties.set(field, *date);
        break;
    case PropertyKind::Boolean: {
        const std::string_view word = TrimXmlSpace(text);
        properties.set(field, word == "true" || word == "1");
        break;
    }
    }
}

std::string PercentDecoded(std::string_view text)
{
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += char(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace tallyglass
