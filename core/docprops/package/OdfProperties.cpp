#include "PackageFormats.h"
#include "PackageXml.h"
#include "docprops/CustomCaps.h"

#include <array>

namespace tallyglass {

namespace {

constexpr std::string_view kOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view kMetaNs = "urn:oasis:names:tc:opendocument:xmlns:meta:1.0";
constexpr std::string_view kDcNs = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kXlinkNs = "http://www.w3.org/1999/xlink";
constexpr std::string_view kOdfMediaTypePrefix = "application/vnd.oasis.opendocument.";

// The elements read once each: the first of each name counts. Keywords and user-defined
// properties may repeat and are read apart.
enum OdfName : std::size_t {
    Title, Subject, InitialCreator, Description, Creator, PrintDate, CreationDate, Date,
    Template, EditingDuration, Generator, DocumentStatistic, kOdfNames
};
constexpr std::array<XmlName, kOdfNames> kOdfNames_ = {{
    {kDcNs, "title"}, {kDcNs, "subject"}, {kMetaNs, "initial-creator"}, {kDcNs, "description"},
    {kDcNs, "creator"}, {kMetaNs, "print-date"}, {kMetaNs, "creation-date"}, {kDcNs, "date"},
    {kMetaNs, "template"}, {kMetaNs, "editing-duration"}, {kMetaNs, "generator"},
    {kMetaNs, "document-statistic"},
}};
// The fields of the elements whose text is the value, in the order above.
constexpr std::array<FieldId, 8> kTextFields = {
    FieldId::Title, FieldId::Subject, FieldId::Author, FieldId::Comments, FieldId::LastSavedBy,
    FieldId::DateLastPrinted, FieldId::DateCreated, FieldId::DateLastSaved,
};

struct StatisticField {
    std::string_view attribute;
    FieldId field;
};

const std::array<StatisticField, 5> kStatistics = {{
    {"page-count", FieldId::PageCount},
    {"word-count", FieldId::WordCount},
    {"paragraph-count", FieldId::ParagraphCount},
    {"non-whitespace-character-count", FieldId::CharCount},
    {"character-count", FieldId::CharCountWithSpaces},
}};

// The template's title, or else the file name its link ends in.
std::string templateName(const XmlScope& scope, const pugi::xml_node& element)
{
    const XmlScope inner = scope.within(element);
    const std::string_view title = inner.attribute(element, kXlinkNs, "title").value_or("");
    if (!TrimXmlSpace(title).empty())
        return std::string(title);
    std::string href = PercentDecoded(inner.attribute(element, kXlinkNs, "href").value_or(""));
    const std::size_t end = href.find_first_of("?#");
    if (end != std::string::npos)
        href.resize(end);
    const std::size_t slash = href.find_last_of("/\\");
    return slash == std::string::npos ? href : href.substr(slash + 1);
}

std::optional<CustomValue> userDefinedValue(std::string_view type, const std::string& text)
{
    if (type == "float" || type == "percentage" || type == "currency") {
        if (const auto number = ParseXmlNumber(text))
            return CustomValue(*number);
        return std::nullopt;
    }
    if (type == "boolean") {
        const std::string_view word = TrimXmlSpace(text);
        return CustomValue(word == "true" || word == "1");
    }
    if (type == "date") {
        if (const auto date = ParseXmlDate(text, ZonelessTime::Local))
            return CustomValue(*date);
        return std::nullopt;
    }
    // Strings, and times (durations) as the document writes them.
    return CustomValue(text);
}

void readUserDefined(const XmlScope& scope, const pugi::xml_node& element, DocumentProperties& properties,
                     bool& capped)
{
    // The cap is noted once, when the first property past it turns up.
    if (properties.custom.size() >= kMaxCustomProperties) {
        if (!capped) {
            capped = true;
            properties.note(DiagnosticKind::OverCap, "more than " + std::to_string(kMaxCustomProperties)
                                                         + " user-defined properties; the rest are not read");
        }
        return;
    }
    const XmlScope inner = scope.within(element);
    const std::string name(inner.attribute(element, kMetaNs, "name").value_or(""));
    const std::string_view type = inner.attribute(element, kMetaNs, "value-type").value_or("string");
    if (auto value = userDefinedValue(type, TextOf(element)))
        properties.custom.push_back({CapCustomText(name), CapCustomValue(std::move(*value))});
}

void readMetaElement(const XmlScope& scope, const pugi::xml_node& meta, DocumentProperties& properties)
{
    std::string keywords;
    bool anyKeyword = false;
    bool capped = false;
    ForEachFirstMatch(
        scope, meta, kOdfNames_, {},
        [&](std::size_t i, const pugi::xml_node& element) {
            switch (i) {
            case Template:
                properties.set(FieldId::Template, templateName(scope, element));
                break;
            case EditingDuration:
                if (const auto minutes = ParseIsoDurationMinutes(TextOf(element)))
                    properties.set(FieldId::TotalEditTime, *minutes);
                break;
            case Generator:
                properties.set(FieldId::AppName, TextOf(element));
                break;
            case DocumentStatistic: {
                const XmlScope inner = scope.within(element);
                for (const StatisticField& statistic : kStatistics) {
                    const auto text = inner.attribute(element, kMetaNs, statistic.attribute);
                    if (const auto value = text ? ParseXmlInteger(*text) : std::nullopt)
                        properties.set(statistic.field, *value);
                }
                break;
            }
            default:
                // OpenDocument dates without a zone are the local time of the machine that
                // saved the file; the nearest reading of that is local time here.
                AssignField(properties, kTextFields[i], TextOf(element), ZonelessTime::Local);
                break;
            }
        },
        [&](const pugi::xml_node& element) {
            const std::string_view ns = scope.namespaceOf(element);
            if (ns == kMetaNs && LocalName(element) == "keyword") {
                if (anyKeyword)
                    keywords += "; ";
                keywords += TextOf(element);
                anyKeyword = true;
            } else if (ns == kMetaNs && LocalName(element) == "user-defined") {
                readUserDefined(scope, element, properties, capped);
            }
        });
    if (anyKeyword)
        properties.set(FieldId::Keywords, keywords);
}

} // namespace

bool IsOdfPackage(const ZipPackage& package)
{
    if (const auto mimetype = package.readPart("mimetype"))
        return mimetype->starts_with(kOdfMediaTypePrefix);
    return package.hasEntry("META-INF/manifest.xml");
}

bool ReadOdfMeta(const pugi::xml_document& document, std::string_view rootName, DocumentProperties& properties)
{
    const pugi::xml_node root = document.document_element();
    const XmlScope outer;
    if (!outer.is(root, kOfficeNs, rootName))
        return false;
    const XmlScope scope = outer.within(root);
    for (const pugi::xml_node& child : root.children()) {
        if (scope.is(child, kOfficeNs, "meta")) {
            readMetaElement(scope.within(child), child, properties);
            break;
        }
    }
    return true;
}

bool ReadOdfProperties(const ZipPackage& package, DocumentProperties& properties)
{
    const auto part = package.readPart("meta.xml", false, &properties);
    pugi::xml_document document;
    if (!part)
        return false;
    if (!ParsedOrNoted(ParseXmlPart(document, *part), "meta.xml", properties))
        return false;
    return ReadOdfMeta(document, "document-meta", properties);
}

} // namespace tallyglass
