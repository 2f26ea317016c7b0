#include "XmpPacket.h"

#include "PdfDate.h"
#include "PdfText.h"
#include "docprops/IsoDateTime.h"

#include <pugixml.hpp>

#include <string>
#include <utility>
#include <vector>

namespace tallyglass {

namespace {

constexpr std::string_view kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr std::string_view kDc = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kXmp = "http://ns.adobe.com/xap/1.0/";
constexpr std::string_view kPdf = "http://ns.adobe.com/pdf/1.3/";

// Elements nested deeper than this are no metadata anyone wrote; it also bounds the walk.
constexpr int kMaxDepth = 64;

// Prefix bindings in force, innermost last.
using Bindings = std::vector<std::pair<std::string_view, std::string_view>>;

std::string_view prefixOf(std::string_view name)
{
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

std::string_view localOf(std::string_view name)
{
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view uriOf(const Bindings& bindings, std::string_view prefix)
{
    for (auto it = bindings.rbegin(); it != bindings.rend(); ++it)
        if (it->first == prefix)
            return it->second;
    return {};
}

void bind(Bindings& bindings, const pugi::xml_node& element)
{
    for (const auto& attribute : element.attributes()) {
        const std::string_view name = attribute.name();
        if (name == "xmlns")
            bindings.emplace_back(std::string_view(), attribute.value());
        else if (name.starts_with("xmlns:"))
            bindings.emplace_back(name.substr(6), attribute.value());
    }
}

std::string textOf(const pugi::xml_node& element)
{
    std::string text;
    for (const auto& child : element.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
    return CleanUtf8(TrimXmlSpace(text));
}

class Reader {
public:
    explicit Reader(XmpProperties& out) : m_out(out) {}

    void walk(const pugi::xml_node& element, Bindings& bindings, int depth)
    {
        if (depth > kMaxDepth)
            return;
        const std::size_t mark = bindings.size();
        bind(bindings, element);
        const std::string_view name = element.name();
        const std::string_view uri = uriOf(bindings, prefixOf(name));
        const std::string_view local = localOf(name);
        if (uri == kRdf && local == "Description") {
            for (const auto& attribute : element.attributes()) {
                const std::string_view attributeName = attribute.name();
                const auto attributePrefix = prefixOf(attributeName);
                if (!attributePrefix.empty() && attributePrefix != "xmlns")
                    simple(uriOf(bindings, attributePrefix), localOf(attributeName),
                           CleanUtf8(TrimXmlSpace(attribute.value())));
            }
        } else if (property(element, uri, local, bindings)) {
            bindings.resize(mark);
            return;
        }
        for (const auto& child : element.children())
            if (child.type() == pugi::node_element)
                walk(child, bindings, depth + 1);
        bindings.resize(mark);
    }

private:
    // A property written as an element; true when it was one of ours.
    bool property(const pugi::xml_node& element, std::string_view uri, std::string_view local, Bindings& bindings)
    {
        if (uri == kDc && (local == "title" || local == "description")) {
            auto& slot = local == "title" ? m_out.title : m_out.description;
            if (!slot)
                slot = alternative(element, bindings);
            return true;
        }
        if (uri == kDc && local == "creator") {
            if (!m_out.creator)
                m_out.creator = sequence(element, bindings);
            return true;
        }
        if ((uri == kXmp || uri == kPdf) && element.first_child().type() != pugi::node_element) {
            simple(uri, local, textOf(element));
            return false;
        }
        return false;
    }

    void simple(std::string_view uri, std::string_view local, std::string value)
    {
        const auto set = [&value](std::optional<std::string>& slot) {
            if (!slot)
                slot = std::move(value);
        };
        const auto setDate = [&value](std::optional<DocumentDate>& slot, bool& invalid) {
            if (slot || value.empty())
                return;
            slot = ParseXmpDate(value);
            invalid = !slot;
        };
        if (uri == kPdf && local == "Keywords")
            set(m_out.keywords);
        else if (uri == kPdf && local == "Producer")
            set(m_out.producer);
        else if (uri == kXmp && local == "CreatorTool")
            set(m_out.creatorTool);
        else if (uri == kXmp && local == "CreateDate")
            setDate(m_out.createDate, m_out.invalidCreateDate);
        else if (uri == kXmp && local == "ModifyDate")
            setDate(m_out.modifyDate, m_out.invalidModifyDate);
    }

    // The list items of an rdf:Alt, rdf:Seq or rdf:Bag directly inside the property element.
    std::vector<pugi::xml_node> items(const pugi::xml_node& element, Bindings& bindings)
    {
        std::vector<pugi::xml_node> found;
        for (const auto& container : element.children()) {
            if (container.type() != pugi::node_element)
                continue;
            const std::size_t mark = bindings.size();
            bind(bindings, container);
            for (const auto& item : container.children()) {
                if (item.type() != pugi::node_element)
                    continue;
                const std::size_t itemMark = bindings.size();
                bind(bindings, item);
                if (uriOf(bindings, prefixOf(item.name())) == kRdf && localOf(item.name()) == "li")
                    found.push_back(item);
                bindings.resize(itemMark);
            }
            bindings.resize(mark);
        }
        return found;
    }

    std::optional<std::string> alternative(const pugi::xml_node& element, Bindings& bindings)
    {
        const auto list = items(element, bindings);
        if (list.empty()) {
            auto text = textOf(element);
            return text.empty() ? std::nullopt : std::optional(std::move(text));
        }
        for (const auto& item : list)
            if (std::string_view(item.attribute("xml:lang").value()) == "x-default")
                return textOf(item);
        return textOf(list.front());
    }

    std::optional<std::string> sequence(const pugi::xml_node& element, Bindings& bindings)
    {
        const auto list = items(element, bindings);
        if (list.empty()) {
            auto text = textOf(element);
            return text.empty() ? std::nullopt : std::optional(std::move(text));
        }
        std::string joined;
        for (const auto& item : list) {
            const auto name = textOf(item);
            if (name.empty())
                continue;
            if (!joined.empty())
                joined += "; ";
            joined += name;
        }
        return CleanUtf8(joined);
    }

    XmpProperties& m_out;
};

} // namespace

XmpProperties ReadXmpPacket(std::string_view packet, XmpFault& fault)
{
    XmpProperties out;
    fault = XmpFault::None;
    pugi::xml_document document;
    // The document type declaration is parsed only to be seen and refused; pugixml expands no
    // entity but the predefined ones in any case.
    const auto result = document.load_buffer(packet.data(), packet.size(),
                                             pugi::parse_default | pugi::parse_doctype, pugi::encoding_auto);
    if (!result) {
        fault = XmpFault::NotWellFormed;
        return out;
    }
    for (const auto& node : document.children()) {
        if (node.type() == pugi::node_doctype) {
            fault = XmpFault::DeclaresDocumentType;
            return out;
        }
    }
    Bindings bindings;
    Reader reader(out);
    for (const auto& node : document.children())
        if (node.type() == pugi::node_element)
            reader.walk(node, bindings, 0);
    return out;
}

} // namespace tallyglass
