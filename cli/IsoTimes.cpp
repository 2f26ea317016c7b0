#include "IsoTimes.h"

#include <cstdio>
#include <optional>

namespace tallyglass {

namespace {

// "YYYY-MM-DDTHH:MM:SS", then the fraction when there is one, then "Z", in one buffer.
std::string formed(Seconds when, std::optional<long long> nanoseconds)
{
    const auto day = std::chrono::floor<std::chrono::days>(when);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{when - day};
    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02lld", int(date.year()),
                               unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                               int(time.minutes().count()), static_cast<long long>(time.seconds().count()));
    if (nanoseconds)
        length += std::snprintf(buffer + length, sizeof buffer - std::size_t(length), ".%09lld", *nanoseconds);
    return std::string(buffer, std::size_t(length)) + 'Z';
}

} // namespace

std::string IsoUtc(Seconds when)
{
    return formed(when, std::nullopt);
}

std::string IsoUtcNanoseconds(Nanoseconds when)
{
    const auto seconds = std::chrono::floor<std::chrono::seconds>(when);
    return formed(seconds, static_cast<long long>((when - seconds).count()));
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
