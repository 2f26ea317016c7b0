#include "TextForms.h"

#include <langinfo.h>

#include <cstring>
#include <ctime>

namespace tallyglass {

namespace {

// Locales such as C write the year with two digits ("%y"); a two-digit year is ambiguous in
// a file's history, so every date here carries all four.
std::string dateFormat()
{
    std::string format = nl_langinfo(D_FMT);
    for (std::size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] == '%') {
            if (format[i + 1] == 'y')
                format[i + 1] = 'Y';
            ++i;
        }
    }
    return format;
}

std::string timeFormat()
{
    return nl_langinfo(T_FMT);
}

std::string formatTm(const std::string& format, const std::tm& tm)
{
    char buffer[256];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format.c_str(), &tm);
    return std::string(buffer, n);
}

std::optional<Seconds> parseWith(std::string_view text, const std::string& format)
{
    const std::string copy(text);
    std::tm tm{};
    tm.tm_isdst = -1;
    const char* end = strptime(copy.c_str(), format.c_str(), &tm);
    if (end == nullptr)
        return std::nullopt;
    while (*end == ' ')
        ++end;
    if (*end != '\0')
        return std::nullopt;
    const std::time_t t = std::mktime(&tm);
    if (t == std::time_t(-1) && !(tm.tm_year == 69 && tm.tm_mon == 11 && tm.tm_mday == 31))
        return std::nullopt;
    return Seconds(std::chrono::seconds(t));
}

} // namespace

std::string DateText(Seconds when)
{
    const std::time_t t = std::time_t(when.time_since_epoch().count());
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr)
        return {};
    const std::string date = formatTm(dateFormat(), tm);
    if (tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0)
        return date;
    return date + " " + formatTm(timeFormat(), tm);
}

std::optional<Seconds> ParseDateText(std::string_view text)
{
    const std::string date = dateFormat();
    if (auto both = parseWith(text, date + " " + timeFormat()))
        return both;
    return parseWith(text, date);
}

std::string DecimalText(std::int64_t value)
{
    return std::to_string(value);
}

std::string BooleanText(bool value)
{
    return value ? "True" : "False";
}

} // namespace tallyglass
