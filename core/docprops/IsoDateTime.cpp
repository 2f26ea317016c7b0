#include "IsoDateTime.h"
#include "XmlReading.h"

#include <chrono>
#include <ctime>
#include <limits>

namespace tallyglass {

namespace {

// A small cursor over the text; every reader either consumes what it accepts or nothing.
class Cursor {
public:
    explicit Cursor(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }
    bool take(char c)
    {
        if (atEnd() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    std::optional<char> takeAnyOf(std::string_view set)
    {
        if (atEnd() || set.find(m_text[m_pos]) == std::string_view::npos)
            return std::nullopt;
        return m_text[m_pos++];
    }
    // Exactly `count` decimal digits.
    std::optional<int> fixedDigits(int count)
    {
        if (m_text.size() - m_pos < std::size_t(count))
            return std::nullopt;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            const char c = m_text[m_pos + std::size_t(i)];
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        m_pos += std::size_t(count);
        return value;
    }
    // One or more digits, refused when the value passes `limit`.
    std::optional<std::uint64_t> number(std::uint64_t limit)
    {
        const std::size_t start = m_pos;
        std::uint64_t value = 0;
        while (!atEnd() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            value = value * 10 + std::uint64_t(m_text[m_pos] - '0');
            if (value > limit)
                return std::nullopt;
            ++m_pos;
        }
        if (m_pos == start)
            return std::nullopt;
        return value;
    }
    bool atFraction() const { return !atEnd() && (m_text[m_pos] == '.' || m_text[m_pos] == ','); }
    // A decimal fraction after '.' or ',': its digits are dropped, but there must be one.
    bool skipFraction()
    {
        if (!takeAnyOf(".,"))
            return true;
        const std::size_t start = m_pos;
        while (!atEnd() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
            ++m_pos;
        return m_pos > start;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

struct Fields {
    int year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    std::optional<int> zoneOffsetMinutes;
};

std::optional<Fields> readFields(std::string_view text)
{
    Cursor in(TrimXmlSpace(text));
    Fields f;
    const auto year = in.fixedDigits(4);
    if (!year)
        return std::nullopt;
    f.year = *year;
    if (in.take('-')) {
        const auto month = in.fixedDigits(2);
        if (!month)
            return std::nullopt;
        f.month = *month;
        if (in.take('-')) {
            const auto day = in.fixedDigits(2);
            if (!day)
                return std::nullopt;
            f.day = *day;
            if (in.takeAnyOf("Tt")) {
                const auto hour = in.fixedDigits(2);
                if (!hour || !in.take(':'))
                    return std::nullopt;
                const auto minute = in.fixedDigits(2);
                if (!minute)
                    return std::nullopt;
                f.hour = *hour;
                f.minute = *minute;
                if (in.take(':')) {
                    const auto second = in.fixedDigits(2);
                    if (!second || !in.skipFraction())
                        return std::nullopt;
                    f.second = *second;
                }
            }
        }
    }
    if (in.takeAnyOf("Zz")) {
        f.zoneOffsetMinutes = 0;
    } else if (const auto sign = in.takeAnyOf("+-")) {
        const auto hours = in.fixedDigits(2);
        if (!hours)
            return std::nullopt;
        int minutes = 0;
        const bool colon = in.take(':');
        if (colon || !in.atEnd()) {
            const auto m = in.fixedDigits(2);
            if (!m)
                return std::nullopt;
            minutes = *m;
        }
        if (*hours > 23 || minutes > 59)
            return std::nullopt;
        f.zoneOffsetMinutes = (*sign == '-' ? -1 : 1) * (*hours * 60 + minutes);
    }
    if (!in.atEnd())
        return std::nullopt;
    if (f.year < 1 || f.hour > 23 || f.minute > 59 || f.second > 59)
        return std::nullopt;
    return f;
}

} // namespace

std::optional<Seconds> ParseIsoDateTime(std::string_view text, ZonelessTime zoneless)
{
    using namespace std::chrono;
    const auto f = readFields(text);
    if (!f)
        return std::nullopt;
    const year_month_day date{year{f->year}, month{unsigned(f->month)}, day{unsigned(f->day)}};
    if (!date.ok())
        return std::nullopt;

    if (f->zoneOffsetMinutes || zoneless == ZonelessTime::Utc) {
        return Seconds(sys_days(date)) + hours(f->hour) + minutes(f->minute) +
               seconds(f->second) - minutes(f->zoneOffsetMinutes.value_or(0));
    }

    return LocalInstant(f->year, f->month, f->day, f->hour, f->minute, f->second);
}

std::optional<Seconds> LocalInstant(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                                    std::int64_t minute, std::int64_t second)
{
    using namespace std::chrono;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23
        || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    if (!year_month_day{std::chrono::year{int(year)}, std::chrono::month{unsigned(month)}, std::chrono::day{unsigned(day)}}.ok())
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = int(year) - 1900;
    tm.tm_mon = int(month) - 1;
    tm.tm_mday = int(day);
    tm.tm_hour = int(hour);
    tm.tm_min = int(minute);
    tm.tm_sec = int(second);
    tm.tm_isdst = -1;
    // mktime answers -1 both for failure and for one second before 1970 in UTC; only a
    // success fills in the weekday, so that tells the two apart.
    tm.tm_wday = -1;
    const std::time_t t = std::mktime(&tm);
    if (tm.tm_wday < 0)
        return std::nullopt;
    return Seconds(seconds(t));
}

std::optional<std::int32_t> ParseIsoDurationMinutes(std::string_view text)
{
    // Each component is capped well below what could overflow the sum; anything near the cap
    // is far beyond a 32-bit count of minutes anyway.
    constexpr std::uint64_t kMaxComponent = 1'000'000'000'000ULL;
    Cursor in(TrimXmlSpace(text));
    if (!in.take('P'))
        return std::nullopt;

    std::uint64_t totalSeconds = 0;
    bool any = false;
    // Date part: years, months, weeks, days, each at most once and in this order.
    std::string_view dateUnits = "YMWD";
    for (;;) {
        Cursor probe = in;
        const auto value = probe.number(kMaxComponent);
        if (!value)
            break;
        const auto unit = probe.takeAnyOf(dateUnits);
        if (!unit)
            return std::nullopt;
        in = probe;
        any = true;
        dateUnits.remove_prefix(dateUnits.find(*unit) + 1);
        if ((*unit == 'Y' || *unit == 'M') && *value != 0)
            return std::nullopt;
        if (*unit == 'W')
            totalSeconds += *value * 7 * 86400;
        else if (*unit == 'D')
            totalSeconds += *value * 86400;
    }
    if (in.take('T')) {
        bool anyTime = false;
        std::string_view timeUnits = "HMS";
        for (;;) {
            Cursor probe = in;
            const auto value = probe.number(kMaxComponent);
            if (!value)
                break;
            // Only seconds may carry a fraction; a fraction of an hour would not be dropped
            // but misread.
            const bool fraction = probe.atFraction();
            if (!probe.skipFraction())
                return std::nullopt;
            const auto unit = probe.takeAnyOf(timeUnits);
            if (!unit || (fraction && *unit != 'S'))
                return std::nullopt;
            in = probe;
            anyTime = true;
            timeUnits.remove_prefix(timeUnits.find(*unit) + 1);
            totalSeconds += *value * (*unit == 'H' ? 3600 : *unit == 'M' ? 60 : 1);
        }
        if (!anyTime)
            return std::nullopt;
        any = true;
    }
    if (!any || !in.atEnd())
        return std::nullopt;
    const std::uint64_t minutes = totalSeconds / 60;
    if (minutes > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return std::int32_t(minutes);
}

} // namespace tallyglass
