#pragma once

#include "FieldRowWidgets.h"
#include "Report.h"

#include <array>
#include <string>

namespace tallyglass {

using FieldRows = std::array<FieldRowWidgets, kFieldCount>;

// What the value boxes and the tick boxes hold at this moment.
FieldTexts TextsOf(const FieldRows& rows);
FieldTicks TicksOf(const FieldRows& rows);

// The text of one value box, as UTF-8.
std::string TextOf(const FieldRowWidgets& row);

// Replaces everything the clipboard holds with the text alone, as plain text.
void PlaceOnClipboard(const std::string& text);

} // namespace tallyglass
