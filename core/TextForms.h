#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tallyglass {

using Seconds = std::chrono::sys_seconds;

// The one date text of the program, used by every date field and by the stored bulletin date:
// the locale's date format with the year widened to four digits, one space, the locale's time
// format, in local time. A time of day of exactly midnight gives the date alone.
std::string DateText(Seconds when);

// Reads back what DateText wrote (date alone, or date and time) as local time.
std::optional<Seconds> ParseDateText(std::string_view text);

// Counts: signed decimal, no grouping, no padding.
std::string DecimalText(std::int64_t value);

std::string BooleanText(bool value);

} // namespace tallyglass
