#include "PackageXml.h"

#include <charconv>

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

bool ParsePackageXml(pugi::xml_document& document, const std::string& part)
{
    // The default set: CDATA sections, the five predefined entities and character references,
    // attribute blank normalisation, line ends. Document type declarations are left unparsed.
    constexpr unsigned kFlags = pugi::parse_default & ~pugi::parse_doctype;
    return bool(document.load_buffer(part.data(), part.size(), kFlags, pugi::encoding_auto));
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

void AssignField(SummaryValues& values, const FieldTarget& target, std::string_view text,
                 ZonelessTime zoneless)
{
    if (const auto* s = std::get_if<std::string SummaryValues::*>(&target)) {
        values.*(*s) = std::string(text);
    } else if (const auto* i = std::get_if<std::int32_t SummaryValues::*>(&target)) {
        values.*(*i) = ParseXmlInteger(text).value_or(0);
    } else if (const auto* d = std::get_if<OleDate SummaryValues::*>(&target)) {
        values.*(*d) = ParseIsoDateTime(text, zoneless);
    } else if (const auto* b = std::get_if<bool SummaryValues::*>(&target)) {
        const std::string_view word = TrimXmlSpace(text);
        values.*(*b) = word == "true" || word == "1";
    }
}

} // namespace tallyglass
