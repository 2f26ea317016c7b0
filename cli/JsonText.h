#pragma once

#include <string>
#include <string_view>

namespace tallyglass {

// A JSON string literal of the text. Bytes that are not valid UTF-8 (a file name may hold any
// bytes) become U+FFFD, since JSON text is Unicode.
std::string JsonString(std::string_view text);

} // namespace tallyglass
