#pragma once

#include "docprops/PropertyModel.h"

#include <optional>
#include <string_view>

namespace tallyglass {

// Reads a PDF date, "D:YYYYMMDDHHmmSSOHH'mm'": everything after the year may be left off
// (a missing month or day is the first, a missing time midnight); O is Z, + or -, and the
// apostrophes may be missing. Writers also leave off the "D:", put digits after Z
// ("Z00'00'"), or blanks around the value; all are allowed. A date without a zone is local
// time, and says so. No value for anything else, including dates that do not exist.
std::optional<DocumentDate> ParsePdfDate(std::string_view text);

// An XMP date: ISO 8601, or (as some writers store it) a PDF date.
std::optional<DocumentDate> ParseXmpDate(std::string_view text);

} // namespace tallyglass
