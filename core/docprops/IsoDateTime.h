#pragma once

#include "TextForms.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace tallyglass {

// What a date and time without a zone designator means. Office Open XML writers mean UTC;
// OpenDocument writers store the local time of the machine that saved the file, and the
// nearest reading of that is the local time of the machine examining it.
enum class ZonelessTime { Utc, Local };

// Reads an ISO 8601 date and time as office packages store it: "YYYY-MM-DDThh:mm:ss" with an
// optional fraction of any length (dropped) and an optional zone ("Z", "+hh:mm", "-hhmm",
// "+hh"); a date alone, a year and month or a year alone mean the first moment of that span.
// Blanks around the value are allowed. No value for anything else, including dates that do
// not exist (February 30th) and years outside 1 to 9999.
std::optional<Seconds> ParseIsoDateTime(std::string_view text, ZonelessTime zoneless);

// The instant that a date and time on the examining machine's clock names, in its zone and
// with its daylight saving. No value for a date or time that does not exist (February 30th,
// 24:00, a second past 59), for years outside 1 to 9999 and for times the clock cannot name.
std::optional<Seconds> LocalInstant(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                                    std::int64_t minute, std::int64_t second);

// Reads an ISO 8601 duration ("PT1H2M3.5S", "P1DT4H") as whole minutes, the fraction of a
// minute dropped. No value for negative durations, for durations in years or months (their
// length depends on the calendar), for malformed text and for totals beyond a 32-bit count.
std::optional<std::int32_t> ParseIsoDurationMinutes(std::string_view text);

} // namespace tallyglass
