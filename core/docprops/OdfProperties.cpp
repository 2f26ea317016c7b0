#include "PackageFormats.h"
#include "PackageXml.h"

#include <array>
#include <bitset>

namespace tallyglass {

namespace {

constexpr std::string_view kOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view kMetaNs = "urn:oasis:names:tc:opendocument:xmlns:meta:1.0";
constexpr std::string_view kDcNs = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kXlinkNs = "http://www.w3.org/1999/xlink";
constexpr std::string_view kOdfMediaTypePrefix = "application/vnd.oasis.opendocument.";

struct ElementField {
    std::string_view ns;
    std::string_view local;
    FieldTarget target;
};

// Elements whose text is the value. Keywords, the template, the editing time and the
// statistics are read apart, since they are not one element's text in one of our forms.
const std::array<ElementField, 8> kTextFields = {{
    {kDcNs, "title", &SummaryValues::Title},
    {kDcNs, "subject", &SummaryValues::Subject},
    {kMetaNs, "initial-creator", &SummaryValues::Author},
    {kDcNs, "description", &SummaryValues::Comments},
    {kDcNs, "creator", &SummaryValues::LastSavedBy},
    {kMetaNs, "print-date", &SummaryValues::DateLastPrinted},
    {kMetaNs, "creation-date", &SummaryValues::DateCreated},
    {kDcNs, "date", &SummaryValues::DateLastSaved},
}};

struct StatisticField {
    std::string_view attribute;
    std::int32_t SummaryValues::*target;
};

const std::array<StatisticField, 5> kStatistics = {{
    {"page-count", &SummaryValues::PageCount},
    {"word-count", &SummaryValues::WordCount},
    {"paragraph-count", &SummaryValues::ParagraphCount},
    {"non-whitespace-character-count", &SummaryValues::CharCount},
    {"character-count", &SummaryValues::CharCountWithSpaces},
}};

void readMetaElement(const XmlScope& scope, const pugi::xml_node& meta, SummaryValues& values)
{
    std::bitset<kTextFields.size()> seen;
    bool seenTemplate = false, seenDuration = false, seenGenerator = false, seenStatistics = false;
    bool anyKeyword = false;
    for (const pugi::xml_node& element : meta.children()) {
        if (element.type() != pugi::node_element)
            continue;
        const std::string_view local = LocalName(element);
        const std::string_view ns = scope.namespaceOf(element);
        if (ns == kMetaNs && local == "keyword") {
            if (anyKeyword)
                values.Keywords += "; ";
            values.Keywords += TextOf(element);
            anyKeyword = true;
        } else if (ns == kMetaNs && local == "template" && !seenTemplate) {
            seenTemplate = true;
            values.Template = std::string(scope.within(element).attribute(element, kXlinkNs, "href").value_or(""));
        } else if (ns == kMetaNs && local == "editing-duration" && !seenDuration) {
            seenDuration = true;
            values.TotalEditTime = ParseIsoDurationMinutes(TextOf(element)).value_or(0);
        } else if (ns == kMetaNs && local == "generator" && !seenGenerator) {
            seenGenerator = true;
            values.AppName = TextOf(element);
        } else if (ns == kMetaNs && local == "document-statistic" && !seenStatistics) {
            seenStatistics = true;
            const XmlScope inner = scope.within(element);
            for (const StatisticField& statistic : kStatistics) {
                const auto text = inner.attribute(element, kMetaNs, statistic.attribute);
                values.*statistic.target = text ? ParseXmlInteger(*text).value_or(0) : 0;
            }
        } else {
            for (std::size_t i = 0; i < kTextFields.size(); ++i) {
                if (seen[i] || kTextFields[i].ns != ns || kTextFields[i].local != local)
                    continue;
                seen[i] = true;
                // OpenDocument dates without a zone are the local time of the machine that
                // saved the file; the nearest reading of that is local time here.
                AssignField(values, kTextFields[i].target, TextOf(element), ZonelessTime::Local);
                break;
            }
        }
    }
}

} // namespace

bool IsOdfPackage(const ZipPackage& package)
{
    if (const auto mimetype = package.readPart("mimetype"))
        return mimetype->starts_with(kOdfMediaTypePrefix);
    return package.hasEntry("META-INF/manifest.xml");
}

std::optional<SummaryValues> ReadOdfSummary(const ZipPackage& package)
{
    const auto part = package.readPart("meta.xml");
    pugi::xml_document document;
    if (!part || !ParsePackageXml(document, *part))
        return std::nullopt;
    const pugi::xml_node root = document.document_element();
    const XmlScope outer;
    if (!outer.is(root, kOfficeNs, "document-meta"))
        return std::nullopt;
    const XmlScope scope = outer.within(root);
    SummaryValues values;
    for (const pugi::xml_node& child : root.children()) {
        if (scope.is(child, kOfficeNs, "meta")) {
            readMetaElement(scope.within(child), child, values);
            break;
        }
    }
    return values;
}

} // namespace tallyglass
