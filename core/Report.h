#pragma once

#include "FieldCatalogue.h"

#include <array>
#include <string>

namespace tallyglass {

using FieldTexts = std::array<std::string, kFieldCount>;
using FieldTicks = std::array<bool, kFieldCount>;

inline constexpr std::string_view kReportLineEnd = "\r\n";

// "Copy All": every field in catalogue order, each line its report label, the value verbatim
// and CR LF, the last line included.
std::string ReportAll(const FieldTexts& texts, std::string_view lineEnd = kReportLineEnd);

// "Copy Selected": the same lines for the ticked fields only; empty when nothing is ticked.
std::string ReportSelected(const FieldTexts& texts, const FieldTicks& ticks,
                           std::string_view lineEnd = kReportLineEnd);

} // namespace tallyglass
