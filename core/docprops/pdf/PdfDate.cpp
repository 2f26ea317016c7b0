#include "PdfDate.h"

#include "docprops/XmlReading.h"

#include <chrono>

namespace tallyglass {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

class Digits {
public:
    explicit Digits(std::string_view text) : m_text(text) {}
    bool atEnd() const { return m_at == m_text.size(); }
    bool digitsAhead(std::size_t n) const
    {
        if (m_text.size() - m_at < n)
            return false;
        for (std::size_t i = 0; i < n; ++i)
            if (!isDigit(m_text[m_at + i]))
                return false;
        return true;
    }
    int number(std::size_t n)
    {
        int value = 0;
        for (std::size_t i = 0; i < n; ++i)
            value = value * 10 + (m_text[m_at++] - '0');
        return value;
    }
    bool take(char c)
    {
        if (atEnd() || m_text[m_at] != c)
            return false;
        ++m_at;
        return true;
    }
    char peek() const { return atEnd() ? '\0' : m_text[m_at]; }
    std::string_view rest() const { return m_text.substr(m_at); }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

std::optional<DocumentDate> ParsePdfDate(std::string_view text)
{
    using namespace std::chrono;
    text = trimmed(text);
    if (text.starts_with("D:"))
        text.remove_prefix(2);
    Digits in(text);
    if (!in.digitsAhead(4))
        return std::nullopt;
    const int year = in.number(4);
    int parts[5] = {1, 1, 0, 0, 0}; // month, day, hour, minute, second
    for (int& part : parts) {
        if (!in.digitsAhead(2))
            break;
        part = in.number(2);
    }
    const auto [month, day, hour, minute, second] = parts;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{unsigned(month)}, std::chrono::day{unsigned(day)}};
    if (year < 1 || !date.ok() || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;

    std::optional<int> offsetMinutes;
    if (in.take('Z')) {
        offsetMinutes = 0;
        // "Z00'00'": the offset some writers put after Z anyway, which can only be zero.
        for (const char c : in.rest())
            if (!isDigit(c) && c != '\'')
                return std::nullopt;
    } else if (in.peek() == '+' || in.peek() == '-') {
        const int sign = in.take('-') ? -1 : (in.take('+'), 1);
        if (!in.digitsAhead(2))
            return std::nullopt;
        const int hours = in.number(2);
        int mins = 0;
        in.take('\'');
        if (in.digitsAhead(2))
            mins = in.number(2);
        in.take('\'');
        if (hours > 23 || mins > 59 || !in.atEnd())
            return std::nullopt;
        offsetMinutes = sign * (hours * 60 + mins);
    } else if (!in.atEnd()) {
        return std::nullopt;
    }

    if (offsetMinutes) {
        const Seconds when = Seconds(sys_days(date)) + hours(hour) + minutes(minute) + seconds(second)
            - minutes(*offsetMinutes);
        return DocumentDate{when, DateZone::Given};
    }
    const auto when = LocalInstant(year, month, day, hour, minute, second);
    if (!when)
        return std::nullopt;
    return DocumentDate{*when, DateZone::AssumedLocal};
}

std::optional<DocumentDate> ParseXmpDate(std::string_view text)
{
    text = TrimXmlSpace(text);
    if (text.starts_with("D:"))
        return ParsePdfDate(text);
    return ParseXmlDate(text, ZonelessTime::Local);
}

} // namespace tallyglass
