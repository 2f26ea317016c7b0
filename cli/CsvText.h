#pragma once

#include "Report.h"

#include <string>
#include <string_view>

namespace tallyglass {

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled. The
// text is made valid UTF-8 first (U+FFFD for stray bytes).
std::string CsvField(std::string_view text);

// The 38 report labels without their trailing ": ", in catalogue order, ending in CR LF.
std::string CsvHeader();

// One file's 38 window texts in the same order, ending in CR LF.
std::string CsvRow(const FieldTexts& texts);

} // namespace tallyglass
