#include "IsoTimes.h"

#include <cstdio>

namespace tallyglass {

namespace {

// "YYYY-MM-DDTHH:MM:SS" then the fraction, if any, and "Z", formed in one buffer.
std::string formed(Seconds when, const long long* nanoseconds)
{
    const auto day = std::chrono::floor<std::chrono::days>(when);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{when - day};
    char buffer[64];
    const int y = int(date.year());
    const unsigned mo = unsigned(date.month()), d = unsigned(date.day());
    const int h = int(time.hours().count()), mi = int(time.minutes().count());
    const long long s = static_cast<long long>(time.seconds().count());
    const int length = nanoseconds
        ? std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02lld.%09lldZ", y, mo, d, h, mi, s, *nanoseconds)
        : std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02lldZ", y, mo, d, h, mi, s);
    return std::string(buffer, std::size_t(length));
}

} // namespace

std::string IsoUtc(Seconds when)
{
    return formed(when, nullptr);
}

std::string IsoUtcNanoseconds(Nanoseconds when)
{
    const auto seconds = std::chrono::floor<std::chrono::seconds>(when);
    const long long fraction = static_cast<long long>((when - seconds).count());
    return formed(seconds, &fraction);
}

std::string_view ZoneName(DateZone zone)
{
    switch (zone) {
    case DateZone::Given: return "given";
    case DateZone::AssumedLocal: return "assumed-local";
    case DateZone::AssumedUtc: return "assumed-utc";
    }
    return "given";
}

} // namespace tallyglass
