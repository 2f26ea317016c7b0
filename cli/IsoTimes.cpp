#include "IsoTimes.h"

#include <cstdio>

namespace tallyglass {

namespace {

std::string wholeSeconds(Seconds when)
{
    const auto day = std::chrono::floor<std::chrono::days>(when);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{when - day};
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02lld", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), static_cast<long long>(time.seconds().count()));
    return buffer;
}

} // namespace

std::string IsoUtc(Seconds when)
{
    return wholeSeconds(when) + "Z";
}

std::string IsoUtcNanoseconds(Nanoseconds when)
{
    const auto seconds = std::chrono::floor<std::chrono::seconds>(when);
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%09lld",
                  static_cast<long long>((when - seconds).count()));
    return wholeSeconds(seconds) + fraction + "Z";
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
