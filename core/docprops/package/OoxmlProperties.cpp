#include "PackageFormats.h"
#include "PackageXml.h"
#include "docprops/CustomCaps.h"

#include <array>
#include <vector>

namespace tallyglass {

namespace {

constexpr std::string_view kRelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr std::string_view kCorePropertiesNs =
    "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
constexpr std::string_view kDcNs = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kDcTermsNs = "http://purl.org/dc/terms/";
// Transitional and Strict name the extended properties differently.
constexpr std::array<std::string_view, 2> kExtendedPropertiesNs = {
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties",
    "http://purl.oclc.org/ooxml/officeDocument/extendedProperties"};

// The second core type is written by some early producers and read by the common readers.
constexpr std::array<std::string_view, 2> kCoreRelationshipTypes = {
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
    "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/core-properties"};
constexpr std::array<std::string_view, 2> kExtendedRelationshipTypes = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties"};

constexpr std::array<std::string_view, 2> kCustomRelationshipTypes = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/customProperties"};
constexpr std::array<std::string_view, 2> kCustomPropertiesNs = {
    "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties",
    "http://purl.oclc.org/ooxml/officeDocument/customProperties"};
constexpr std::array<std::string_view, 2> kVariantTypesNs = {
    "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes",
    "http://purl.oclc.org/ooxml/officeDocument/docPropsVTypes"};

// contentStatus, identifier, language, revision and version have no field of ours.
constexpr std::array<XmlName, 10> kCoreNames = {{
    {kDcNs, "title"}, {kDcNs, "subject"}, {kDcNs, "creator"}, {kCorePropertiesNs, "keywords"},
    {kDcNs, "description"}, {kCorePropertiesNs, "lastModifiedBy"}, {kCorePropertiesNs, "lastPrinted"},
    {kDcTermsNs, "created"}, {kDcTermsNs, "modified"}, {kCorePropertiesNs, "category"},
}};
constexpr std::array<FieldId, 10> kCoreFields = {
    FieldId::Title, FieldId::Subject, FieldId::Author, FieldId::Keywords, FieldId::Comments,
    FieldId::LastSavedBy, FieldId::DateLastPrinted, FieldId::DateCreated, FieldId::DateLastSaved,
    FieldId::Category,
};

// Extended properties, matched by local name within the root's extended-properties namespace.
constexpr std::array<XmlName, 18> kExtendedNames = {{
    {{}, "Template"}, {{}, "TotalTime"}, {{}, "Pages"}, {{}, "Words"}, {{}, "Characters"},
    {{}, "Application"}, {{}, "PresentationFormat"}, {{}, "Lines"}, {{}, "Paragraphs"},
    {{}, "Slides"}, {{}, "Notes"}, {{}, "HiddenSlides"}, {{}, "MMClips"}, {{}, "Manager"},
    {{}, "Company"}, {{}, "CharactersWithSpaces"}, {{}, "SharedDoc"}, {{}, "AppVersion"},
}};
constexpr std::array<FieldId, 18> kExtendedFields = {
    FieldId::Template, FieldId::TotalEditTime, FieldId::PageCount, FieldId::WordCount,
    FieldId::CharCount, FieldId::AppName, FieldId::PresentationFormat, FieldId::LineCount,
    FieldId::ParagraphCount, FieldId::SlideCount, FieldId::NoteCount, FieldId::HiddenSlides,
    FieldId::MultimediaClips, FieldId::Manager, FieldId::Company, FieldId::CharCountWithSpaces,
    FieldId::Shared, FieldId::Version,
};

template <std::size_t N>
bool isOneOf(std::string_view value, const std::array<std::string_view, N>& choices)
{
    for (const std::string_view choice : choices) {
        if (value == choice)
            return true;
    }
    return false;
}

// The part name that a package-relationship target names: targets are relative to the
// package root, "." and ".." segments are resolved and ".." never climbs above the root.
std::string partNameOf(std::string_view target)
{
    const std::size_t end = target.find_first_of("?#");
    if (end != std::string_view::npos)
        target = target.substr(0, end);
    std::vector<std::string_view> segments;
    while (!target.empty()) {
        const std::size_t slash = target.find('/');
        const std::string_view segment = target.substr(0, slash);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        target = slash == std::string_view::npos ? std::string_view{} : target.substr(slash + 1);
    }
    std::string name;
    for (const std::string_view segment : segments) {
        if (!name.empty())
            name += '/';
        name += segment;
    }
    return name;
}

// Part names are URIs; a target may spell a character with a %-escape that the zip entry
// name holds as such, or as the plain character.
// OPC part names compare without regard to ASCII case.
std::optional<std::string> readPackagePart(const ZipPackage& package, const std::string& name,
                                           DocumentProperties& properties)
{
    if (package.hasEntry(name, true))
        return package.readPart(name, true, &properties);
    const std::string decoded = PercentDecoded(name);
    if (decoded != name)
        return package.readPart(decoded, true, &properties);
    return std::nullopt;
}

struct PropertyParts {
    std::optional<std::string> core, extended, custom;
};

// The targets of the first core and extended properties relationships. No value when the
// package relationships are absent or not readable; then the conventional names are tried.
std::optional<PropertyParts> partsFromRelationships(const ZipPackage& package, DocumentProperties& properties)
{
    const auto rels = package.readPart("_rels/.rels", true, &properties);
    pugi::xml_document document;
    if (!rels || !ParsedOrNoted(ParseXmlPart(document, *rels), "_rels/.rels", properties))
        return std::nullopt;
    const pugi::xml_node root = document.document_element();
    const XmlScope outer;
    if (!outer.is(root, kRelationshipsNs, "Relationships"))
        return std::nullopt;
    const XmlScope scope = outer.within(root);
    PropertyParts parts;
    for (const pugi::xml_node& relationship : root.children()) {
        if (!scope.is(relationship, kRelationshipsNs, "Relationship"))
            continue;
        if (std::string_view(relationship.attribute("TargetMode").value()) == "External")
            continue;
        const std::string_view type = relationship.attribute("Type").value();
        const std::string_view target = relationship.attribute("Target").value();
        if (!parts.core && isOneOf(type, kCoreRelationshipTypes))
            parts.core = partNameOf(target);
        else if (!parts.extended && isOneOf(type, kExtendedRelationshipTypes))
            parts.extended = partNameOf(target);
        else if (!parts.custom && isOneOf(type, kCustomRelationshipTypes))
            parts.custom = partNameOf(target);
    }
    return parts;
}

// The root of a properties part, when it parses and is `local` in one of the namespaces.
template <std::size_t N>
pugi::xml_node propertiesRoot(pugi::xml_document& document, const std::string& part, const std::string& name,
                              std::string_view local, const std::array<std::string_view, N>& namespaces,
                              DocumentProperties& properties)
{
    if (!ParsedOrNoted(ParseXmlPart(document, part), name, properties))
        return {};
    const pugi::xml_node root = document.document_element();
    if (LocalName(root) != local || !isOneOf(XmlScope().namespaceOf(root), namespaces)) {
        properties.note(DiagnosticKind::Damaged, "part " + name + " is not a " + std::string(local) + " element");
        return {};
    }
    return root;
}

void readCoreProperties(const std::string& part, const std::string& name, DocumentProperties& properties)
{
    pugi::xml_document document;
    const pugi::xml_node root = propertiesRoot(document, part, name, "coreProperties",
                                               std::array{kCorePropertiesNs}, properties);
    if (!root)
        return;
    ForEachFirstMatch(
        XmlScope().within(root), root, kCoreNames, {},
        [&](std::size_t i, const pugi::xml_node& element) {
            AssignField(properties, kCoreFields[i], TextOf(element), ZonelessTime::Utc);
        },
        [](const pugi::xml_node&) {});
}

void readExtendedProperties(const std::string& part, const std::string& name, DocumentProperties& properties)
{
    pugi::xml_document document;
    const pugi::xml_node root = propertiesRoot(document, part, name, "Properties", kExtendedPropertiesNs, properties);
    if (!root)
        return;
    const XmlScope scope = XmlScope().within(root);
    ForEachFirstMatch(
        scope, root, kExtendedNames, scope.namespaceOf(root),
        [&](std::size_t i, const pugi::xml_node& element) {
            AssignField(properties, kExtendedFields[i], TextOf(element), ZonelessTime::Utc);
        },
        [](const pugi::xml_node&) {});
}

// The value of a custom property: its one variant-type element.
std::optional<CustomValue> variantValue(const XmlScope& scope, const pugi::xml_node& property)
{
    for (const pugi::xml_node& element : property.children()) {
        if (element.type() != pugi::node_element || !isOneOf(scope.namespaceOf(element), kVariantTypesNs))
            continue;
        const std::string_view type = LocalName(element);
        const std::string text = TextOf(element);
        if (type == "lpwstr" || type == "lpstr" || type == "bstr")
            return CustomValue(text);
        if (type == "bool") {
            const std::string_view word = TrimXmlSpace(text);
            return CustomValue(word == "true" || word == "1");
        }
        if (type == "filetime" || type == "date") {
            if (const auto date = ParseXmlDate(text, ZonelessTime::Utc))
                return CustomValue(*date);
            return std::nullopt;
        }
        if (type == "r4" || type == "r8" || type == "decimal") {
            if (const auto number = ParseXmlNumber(text))
                return CustomValue(*number);
            return std::nullopt;
        }
        if (type.starts_with("i") || type.starts_with("ui") || type == "int" || type == "uint") {
            if (const auto number = ParseXmlInteger64(text))
                return CustomValue(*number);
            return std::nullopt;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

void readCustomProperties(const std::string& part, const std::string& name, DocumentProperties& properties)
{
    pugi::xml_document document;
    const pugi::xml_node root = propertiesRoot(document, part, name, "Properties", kCustomPropertiesNs, properties);
    if (!root)
        return;
    const XmlScope scope = XmlScope().within(root);
    const std::string_view ns = scope.namespaceOf(root);
    for (const pugi::xml_node& element : root.children()) {
        if (!scope.is(element, ns, "property"))
            continue;
        if (properties.custom.size() == kMaxCustomProperties) {
            properties.note(DiagnosticKind::OverCap, "part " + name + " holds more than "
                                + std::to_string(kMaxCustomProperties) + " custom properties; the rest are not read");
            break;
        }
        const XmlScope inner = scope.within(element);
        auto value = variantValue(inner, element);
        if (value)
            properties.custom.push_back({CapCustomText(element.attribute("name").value()), CapCustomValue(std::move(*value))});
    }
}

} // namespace

bool IsOoxmlPackage(const ZipPackage& package)
{
    return package.hasEntry("[Content_Types].xml", true) || package.hasEntry("_rels/.rels", true);
}

void ReadOoxmlProperties(const ZipPackage& package, DocumentProperties& properties)
{
    // A readable relationships part that names no properties part is believed: a
    // docProps/core.xml it does not point to is a left-over, not the document's properties.
    // Only when the relationships themselves are missing or damaged are the conventional
    // names tried.
    const PropertyParts parts = partsFromRelationships(package, properties)
                                    .value_or(PropertyParts{std::string("docProps/core.xml"),
                                                            std::string("docProps/app.xml"),
                                                            std::string("docProps/custom.xml")});
    if (parts.core) {
        if (const auto core = readPackagePart(package, *parts.core, properties))
            readCoreProperties(*core, *parts.core, properties);
    }
    if (parts.extended) {
        if (const auto extended = readPackagePart(package, *parts.extended, properties))
            readExtendedProperties(*extended, *parts.extended, properties);
    }
    if (parts.custom) {
        if (const auto custom = readPackagePart(package, *parts.custom, properties))
            readCustomProperties(*custom, *parts.custom, properties);
    }
}

} // namespace tallyglass
