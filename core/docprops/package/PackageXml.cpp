#include "PackageXml.h"

#include <charconv>
#include <cmath>

namespace tallyglass {

namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

std::string_view nameOf(const char* name)
{
    return name == nullptr ? std::string_view{} : std::string_view(name);
}

std::string_view prefixOf(std::string_view qualified)
{
    const std::size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? std::string_view{} : qualified.substr(0, colon);
}

std::string_view localOf(std::string_view qualified)
{
    const std::size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

// The prefix that an xmlns attribute declares, or no value for other attributes; the
// default namespace has the empty prefix.
std::optional<std::string_view> declaredPrefix(std::string_view attributeName)
{
    if (attributeName == "xmlns")
        return std::string_view{};
    if (attributeName.size() > 6 && attributeName.substr(0, 6) == "xmlns:")
        return attributeName.substr(6);
    return std::nullopt;
}

} // namespace

XmlPartState ParsePackageXml(pugi::xml_document& document, const std::string& part)
{
    // The default set: CDATA sections, the five predefined entities and character references,
    // attribute blank normalisation, line ends; document type declarations are kept as a node
    // (never read further) so that they can be refused.
    constexpr unsigned kFlags = pugi::parse_default | pugi::parse_doctype;
    if (!document.load_buffer(part.data(), part.size(), kFlags, pugi::encoding_auto))
        return XmlPartState::Malformed;
    for (const pugi::xml_node& node : document.children()) {
        if (node.type() == pugi::node_doctype) {
            document.reset();
            return XmlPartState::HasDoctype;
        }
    }
    return XmlPartState::Parsed;
}

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

XmlScope XmlScope::within(const pugi::xml_node& element) const
{
    XmlScope inner = *this;
    for (const pugi::xml_attribute& a : element.attributes()) {
        if (const auto prefix = declaredPrefix(nameOf(a.name())))
            inner.m_prefixes[*prefix] = nameOf(a.value());
    }
    return inner;
}

std::optional<std::string_view> XmlScope::resolve(std::string_view prefix) const
{
    if (prefix == "xml")
        return kXmlNamespace;
    const auto found = m_prefixes.find(prefix);
    if (found == m_prefixes.end())
        return std::nullopt;
    return found->second;
}

std::string_view XmlScope::namespaceOf(const pugi::xml_node& element) const
{
    const std::string_view prefix = prefixOf(nameOf(element.name()));
    // The element's own declarations come first; reading them here rather than through
    // `within` keeps a walk over many sibling elements linear.
    for (const pugi::xml_attribute& a : element.attributes()) {
        if (declaredPrefix(nameOf(a.name())) == prefix)
            return nameOf(a.value());
    }
    return resolve(prefix).value_or(std::string_view{});
}

bool XmlScope::is(const pugi::xml_node& element, std::string_view uri, std::string_view local) const
{
    return element.type() == pugi::node_element && LocalName(element) == local &&
           namespaceOf(element) == uri;
}

std::optional<std::string_view> XmlScope::attribute(const pugi::xml_node& element,
                                                    std::string_view uri, std::string_view local) const
{
    for (const pugi::xml_attribute& a : element.attributes()) {
        const std::string_view name = nameOf(a.name());
        const std::string_view prefix = prefixOf(name);
        // Attributes without a prefix belong to no namespace, whatever the default one is.
        if (prefix.empty() || prefix == "xmlns" || localOf(name) != local)
            continue;
        if (resolve(prefix) == uri)
            return nameOf(a.value());
    }
    return std::nullopt;
}

std::string_view LocalName(const pugi::xml_node& element)
{
    return localOf(nameOf(element.name()));
}

std::string TextOf(const pugi::xml_node& element)
{
    std::string text;
    for (const pugi::xml_node& child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
    }
    return text;
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

std::optional<DocumentDate> ParseXmlDate(std::string_view text, ZonelessTime zoneless)
{
    const auto when = ParseIsoDateTime(text, zoneless);
    if (!when)
        return std::nullopt;
    // A zone designator follows the time: "Z", or a sign after the "T".
    const std::string_view trimmed = TrimXmlSpace(text);
    const std::size_t t = trimmed.find('T');
    const bool given = t != std::string_view::npos && trimmed.find_first_of("Z+-", t) != std::string_view::npos;
    const DateZone zone = given ? DateZone::Given
                        : zoneless == ZonelessTime::Utc ? DateZone::AssumedUtc : DateZone::AssumedLocal;
    return DocumentDate{*when, zone};
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
