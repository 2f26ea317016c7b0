#include "PackageFormats.h"
#include "PackageXml.h"

#include <array>
#include <bitset>
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

struct ElementField {
    std::string_view ns;
    std::string_view local;
    FieldTarget target;
};

// contentStatus, identifier, language, revision and version have no field of ours.
const std::array<ElementField, 10> kCoreFields = {{
    {kDcNs, "title", &SummaryValues::Title},
    {kDcNs, "subject", &SummaryValues::Subject},
    {kDcNs, "creator", &SummaryValues::Author},
    {kCorePropertiesNs, "keywords", &SummaryValues::Keywords},
    {kDcNs, "description", &SummaryValues::Comments},
    {kCorePropertiesNs, "lastModifiedBy", &SummaryValues::LastSavedBy},
    {kCorePropertiesNs, "lastPrinted", &SummaryValues::DateLastPrinted},
    {kDcTermsNs, "created", &SummaryValues::DateCreated},
    {kDcTermsNs, "modified", &SummaryValues::DateLastSaved},
    {kCorePropertiesNs, "category", &SummaryValues::Category},
}};

// Extended properties, matched by local name within either extended-properties namespace.
struct NamedField {
    std::string_view local;
    FieldTarget target;
};

const std::array<NamedField, 18> kExtendedFields = {{
    {"Template", &SummaryValues::Template},
    {"TotalTime", &SummaryValues::TotalEditTime},
    {"Pages", &SummaryValues::PageCount},
    {"Words", &SummaryValues::WordCount},
    {"Characters", &SummaryValues::CharCount},
    {"Application", &SummaryValues::AppName},
    {"PresentationFormat", &SummaryValues::PresentationFormat},
    {"Lines", &SummaryValues::LineCount},
    {"Paragraphs", &SummaryValues::ParagraphCount},
    {"Slides", &SummaryValues::SlideCount},
    {"Notes", &SummaryValues::NoteCount},
    {"HiddenSlides", &SummaryValues::HiddenSlides},
    {"MMClips", &SummaryValues::MultimediaClips},
    {"Manager", &SummaryValues::Manager},
    {"Company", &SummaryValues::Company},
    {"CharactersWithSpaces", &SummaryValues::CharCountWithSpaces},
    {"SharedDoc", &SummaryValues::Shared},
    {"AppVersion", &SummaryValues::Version},
}};

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
std::string percentDecoded(std::string_view text)
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

// OPC part names compare without regard to ASCII case.
std::optional<std::string> readPackagePart(const ZipPackage& package, const std::string& name)
{
    if (auto part = package.readPart(name, true))
        return part;
    const std::string decoded = percentDecoded(name);
    if (decoded != name)
        return package.readPart(decoded, true);
    return std::nullopt;
}

struct PropertyParts {
    std::optional<std::string> core, extended;
};

// The targets of the first core and extended properties relationships. No value when the
// package relationships are absent or not readable; then the conventional names are tried.
std::optional<PropertyParts> partsFromRelationships(const ZipPackage& package)
{
    const auto rels = package.readPart("_rels/.rels", true);
    pugi::xml_document document;
    if (!rels || !ParsePackageXml(document, *rels))
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
    }
    return parts;
}

void readCoreProperties(const std::string& part, SummaryValues& values)
{
    pugi::xml_document document;
    if (!ParsePackageXml(document, part))
        return;
    const pugi::xml_node root = document.document_element();
    const XmlScope outer;
    if (!outer.is(root, kCorePropertiesNs, "coreProperties"))
        return;
    const XmlScope scope = outer.within(root);
    std::bitset<kCoreFields.size()> seen;
    for (const pugi::xml_node& element : root.children()) {
        if (element.type() != pugi::node_element)
            continue;
        const std::string_view local = LocalName(element);
        for (std::size_t i = 0; i < kCoreFields.size(); ++i) {
            const ElementField& field = kCoreFields[i];
            if (seen[i] || field.local != local || scope.namespaceOf(element) != field.ns)
                continue;
            seen[i] = true;
            AssignField(values, field.target, TextOf(element), ZonelessTime::Utc);
            break;
        }
    }
}

void readExtendedProperties(const std::string& part, SummaryValues& values)
{
    pugi::xml_document document;
    if (!ParsePackageXml(document, part))
        return;
    const pugi::xml_node root = document.document_element();
    const XmlScope outer;
    const std::string_view ns = outer.namespaceOf(root);
    if (LocalName(root) != "Properties" || !isOneOf(ns, kExtendedPropertiesNs))
        return;
    const XmlScope scope = outer.within(root);
    std::bitset<kExtendedFields.size()> seen;
    for (const pugi::xml_node& element : root.children()) {
        if (element.type() != pugi::node_element)
            continue;
        const std::string_view local = LocalName(element);
        for (std::size_t i = 0; i < kExtendedFields.size(); ++i) {
            const NamedField& field = kExtendedFields[i];
            if (seen[i] || field.local != local || scope.namespaceOf(element) != ns)
                continue;
            seen[i] = true;
            AssignField(values, field.target, TextOf(element), ZonelessTime::Utc);
            break;
        }
    }
}

} // namespace

bool IsOoxmlPackage(const ZipPackage& package)
{
    return package.hasEntry("[Content_Types].xml", true) || package.hasEntry("_rels/.rels", true);
}

SummaryValues ReadOoxmlSummary(const ZipPackage& package)
{
    // A readable relationships part that names no properties part is believed: a
    // docProps/core.xml it does not point to is a left-over, not the document's properties.
    // Only when the relationships themselves are missing or damaged are the conventional
    // names tried.
    const PropertyParts parts = partsFromRelationships(package).value_or(
        PropertyParts{std::string("docProps/core.xml"), std::string("docProps/app.xml")});
    SummaryValues values;
    if (parts.core) {
        if (const auto core = readPackagePart(package, *parts.core))
            readCoreProperties(*core, values);
    }
    if (parts.extended) {
        if (const auto extended = readPackagePart(package, *parts.extended))
            readExtendedProperties(*extended, values);
    }
    return values;
}

} // namespace tallyglass
