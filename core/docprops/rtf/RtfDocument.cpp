#include "RtfDocument.h"

#include "RtfInfoGroup.h"
#include "docprops/IsoDateTime.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstring>
#include <limits>

namespace tallyglass {

namespace {

using rtf::RtfDate;
using rtf::RtfInfoGroup;

struct Mapping {
    std::string_view rtfName;
    FieldId field;
};

constexpr std::array<Mapping, 9> kTexts = {{
    {"title", FieldId::Title},       {"subject", FieldId::Subject},   {"author", FieldId::Author},
    {"manager", FieldId::Manager},   {"company", FieldId::Company},   {"operator", FieldId::LastSavedBy},
    {"category", FieldId::Category}, {"keywords", FieldId::Keywords}, {"doccomm", FieldId::Comments},
}};
constexpr std::array<Mapping, 3> kDates = {{
    {"creatim", FieldId::DateCreated}, {"revtim", FieldId::DateLastSaved}, {"printim", FieldId::DateLastPrinted},
}};
// \edmins counts minutes, the unit of our TotalEditTime.
constexpr std::array<Mapping, 5> kCounts = {{
    {"edmins", FieldId::TotalEditTime}, {"nofpages", FieldId::PageCount}, {"nofwords", FieldId::WordCount},
    {"nofchars", FieldId::CharCount},   {"nofcharsws", FieldId::CharCountWithSpaces},
}};
// User properties that stand for a field of ours, as LibreOffice writes them.
constexpr std::array<Mapping, 3> kUserFields = {{
    {"company", FieldId::Company}, {"manager", FieldId::Manager}, {"category", FieldId::Category},
}};

// \proptype values.
constexpr std::int64_t kPropInteger = 3, kPropReal = 5, kPropBoolean = 11, kPropDate = 64;

// A date of the writer's clock, which RTF records without a zone: the nearest reading is the
// local time of the machine examining the file. A date needs its year, month and day; the
// time of day defaults to midnight. All-zero
// dates (never printed) and impossible ones give no date.
std::optional<DocumentDate> dateOf(const RtfDate& d)
{
    if (!d.yr || !d.mo || !d.dy)
        return std::nullopt;
    const auto when = LocalInstant(*d.yr, *d.mo, *d.dy, d.hr.value_or(0), d.min.value_or(0), d.sec.value_or(0));
    if (!when)
        return std::nullopt;
    return DocumentDate{*when, DateZone::AssumedLocal};
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// "2013. 01. 21." as LibreOffice writes a date property, or an ISO 8601 date.
std::optional<DocumentDate> userDate(std::string_view text)
{
    std::array<std::int64_t, 3> parts{};
    std::string_view rest = text;
    bool dotted = true;
    for (std::size_t i = 0; i < parts.size() && dotted; ++i) {
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), parts[i]);
        dotted = error == std::errc() && end != rest.data() && end - rest.data() <= 4;
        rest.remove_prefix(std::size_t(end - rest.data()));
        dotted = dotted && (rest.empty() ? i == 2 : rest.front() == '.');
        if (!rest.empty())
            rest.remove_prefix(1);
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
    }
    if (dotted && rest.empty()) {
        if (const auto when = LocalInstant(parts[0], parts[1], parts[2], 0, 0, 0))
            return DocumentDate{*when, DateZone::AssumedLocal};
    }
    if (const auto when = ParseIsoDateTime(text, ZonelessTime::Local))
        return DocumentDate{*when, DateZone::AssumedLocal};
    return std::nullopt;
}

// A user property typed by its \proptype; a value that does not read as its type is kept
// as the text it is.
CustomValue userValue(std::int64_t type, const std::string& text)
{
    const std::string_view value = trimmed(text);
    const char* first = value.data();
    const char* last = value.data() + value.size();
    switch (type) {
    case kPropInteger: {
        std::int64_t n = 0;
        const auto [end, error] = std::from_chars(first, last, n);
        if (error == std::errc() && end == last && !value.empty())
            return n;
        break;
    }
    case kPropReal: {
        double x = 0;
        const auto [end, error] = std::from_chars(first, last, x);
        if (error == std::errc() && end == last && !value.empty())
            return x;
        break;
    }
    case kPropBoolean:
        if (value == "1" || equalsIgnoringCase(value, "true") || equalsIgnoringCase(value, "yes"))
            return true;
        if (value == "0" || equalsIgnoringCase(value, "false") || equalsIgnoringCase(value, "no"))
            return false;
        break;
    case kPropDate:
        if (const auto date = userDate(value))
            return *date;
        break;
    default:
        break;
    }
    return text;
}

} // namespace

bool IsRtfDocument(const ByteSource& source)
{
    std::array<std::byte, 5> head{};
    return source.readAt(0, head) && std::memcmp(head.data(), "{\\rtf", head.size()) == 0;
}

DocumentProperties ReadRtfDocument(const ByteSource& source)
{
    DocumentProperties properties;
    properties.absent = AbsentForm::Blank;
    if (!IsRtfDocument(source)) {
        properties.note(DiagnosticKind::NotADocument, "");
        return properties;
    }
    properties.opened = true;
    properties.format = "rtf";

    RtfInfoGroup info = rtf::ReadRtfInfoGroup(source);
    for (const Mapping& m : kTexts) {
        if (const auto it = info.texts.find(m.rtfName); it != info.texts.end())
            properties.set(m.field, it->second);
    }
    for (const Mapping& m : kDates) {
        if (const auto it = info.dates.find(m.rtfName); it != info.dates.end()) {
            if (const auto date = dateOf(it->second))
                properties.set(m.field, *date);
        }
    }
    for (const Mapping& m : kCounts) {
        const auto it = info.numbers.find(m.rtfName);
        if (it != info.numbers.end() && it->second >= std::numeric_limits<std::int32_t>::min()
            && it->second <= std::numeric_limits<std::int32_t>::max())
            properties.set(m.field, std::int32_t(it->second));
    }
    // \vern is the writing program's internal version number; we show it as it stands.
    if (const auto it = info.numbers.find("vern"); it != info.numbers.end())
        properties.set(FieldId::Version, DecimalText(it->second));

    for (rtf::RtfUserProperty& property : info.userprops) {
        if (!property.staticval)
            continue;
        for (const Mapping& m : kUserFields) {
            if (equalsIgnoringCase(property.propname, m.rtfName) && !info.texts.contains(m.rtfName)
                && std::holds_alternative<std::monostate>(properties.get(m.field)))
                properties.set(m.field, *property.staticval);
        }
        properties.custom.push_back({property.propname, userValue(property.proptype, *property.staticval)});
    }
    for (Diagnostic& diagnostic : info.diagnostics)
        properties.diagnostics.push_back(std::move(diagnostic));
    return properties;
}

} // namespace tallyglass
