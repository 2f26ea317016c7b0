#include "XmlReading.h"

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

XmlPartState ParseXmlPart(pugi::xml_document& document, std::string_view part)
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


std::string_view XmlScope::namespaceOf(const pugi::xml_attribute& attribute) const
{
    const std::string_view prefix = prefixOf(nameOf(attribute.name()));
    if (prefix.empty() || prefix == "xmlns")
        return {};
    return resolve(prefix).value_or(std::string_view{});
}

std::string_view LocalName(const pugi::xml_node& element)
{
    return localOf(nameOf(element.name()));
}


std::string_view LocalName(const pugi::xml_attribute& attribute)
{
    return localOf(nameOf(attribute.name()));
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

std::string_view TrimXmlSpace(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace tallyglass
