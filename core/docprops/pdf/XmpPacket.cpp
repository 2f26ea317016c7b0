#include "XmpPacket.h"

#include "PdfDate.h"
#include "PdfText.h"
#include "docprops/XmlReading.h"

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

std::string textOf(const pugi::xml_node& element)
{
    return CleanUtf8(TrimXmlSpace(TextOf(element)));
}

class Reader {
public:
    explicit Reader(XmpProperties& out) : m_out(out) {}

    void walk(const pugi::xml_node& element, const XmlScope& outer, int depth)
    {
        if (depth > kMaxDepth)
            return;
        const XmlScope scope = outer.within(element);
        const std::string_view uri = scope.namespaceOf(element);
        const std::string_view local = LocalName(element);
        if (uri == kRdf && local == "Description") {
            for (const auto& attribute : element.attributes()) {
                const std::string_view attributeUri = scope.namespaceOf(attribute);
                if (!attributeUri.empty())
                    simple(attributeUri, LocalName(attribute), CleanUtf8(TrimXmlSpace(attribute.value())));
            }
        } else if (property(element, uri, local, scope)) {
            return;
        }
        for (const auto& child : element.children())
            if (child.type() == pugi::node_element)
                walk(child, scope, depth + 1);
    }

private:
    // A property written as an element; true when it was one of ours.
    bool property(const pugi::xml_node& element, std::string_view uri, std::string_view local, const XmlScope& scope)
    {
        if (uri == kDc && (local == "title" || local == "description")) {
            auto& slot = local == "title" ? m_out.title : m_out.description;
            if (!slot)
                slot = alternative(element, scope);
            return true;
        }
        if (uri == kDc && local == "creator") {
            if (!m_out.creator)
                m_out.creator = sequence(element, scope);
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
    std::vector<pugi::xml_node> items(const pugi::xml_node& element, const XmlScope& scope)
    {
        std::vector<pugi::xml_node> found;
        for (const auto& container : element.children()) {
            if (container.type() != pugi::node_element)
                continue;
            const XmlScope inner = scope.within(container);
            for (const auto& item : container.children())
                if (inner.is(item, kRdf, "li"))
                    found.push_back(item);
        }
        return found;
    }

    std::optional<std::string> alternative(const pugi::xml_node& element, const XmlScope& scope)
    {
        const auto list = items(element, scope);
        if (list.empty()) {
            auto text = textOf(element);
            return text.empty() ? std::nullopt : std::optional(std::move(text));
        }
        for (const auto& item : list)
            if (std::string_view(item.attribute("xml:lang").value()) == "x-default")
                return textOf(item);
        return textOf(list.front());
    }

    std::optional<std::string> sequence(const pugi::xml_node& element, const XmlScope& scope)
    {
        const auto list = items(element, scope);
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

XmpProperties ReadXmpPacket(std::string_view packet, XmlPartState& state)
{
    XmpProperties out;
    pugi::xml_document document;
    state = ParseXmlPart(document, packet);
    if (state != XmlPartState::Parsed)
        return out;
    Reader reader(out);
    for (const auto& node : document.children())
        if (node.type() == pugi::node_element)
            reader.walk(node, XmlScope(), 0);
    return out;
}

} // namespace tallyglass
