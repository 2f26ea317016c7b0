#pragma once

#include "FileExamination.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace tallyglass {

// A JSON string literal of the text. Bytes that are not valid UTF-8 (a file name may hold any
// bytes) become U+FFFD, since JSON text is Unicode; the report keeps such a name's bytes apart.
std::string JsonString(std::string_view text);

// The report of one examined file as one JSON object: the 38 window texts keyed by field name
// in catalogue order, then FileNameBytes / FilePathBytes (base64, only when the name or path is
// not valid UTF-8), Times, Values, CustomProperties, Diagnostics and Examined.
nlohmann::ordered_json JsonReport(const Examination& examination);

// The object on one line, without its line end.
std::string JsonLine(const Examination& examination);

} // namespace tallyglass
