#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tallyglass {

// The longest text we keep of one PDF string, in UTF-8 bytes. Info values are a line or a
// paragraph; a longer one is cut at a character boundary rather than shown or copied whole.
inline constexpr std::size_t kMaxPdfTextBytes = 64 * 1024;

// A PDF text string as UTF-8: UTF-16BE after its byte-order mark FE FF (language escapes
// dropped), UTF-8 after its mark EF BB BF, otherwise PDFDocEncoding. Bytes or sequences that
// mean no character become U+FFFD; NULs at the end, which some writers pad with, are dropped.
std::string DecodePdfText(std::string_view bytes);

// Well-formed UTF-8 of at most `limit` bytes: invalid sequences replaced by U+FFFD, and the
// text cut before the first character that would not fit whole.
std::string CleanUtf8(std::string_view text, std::size_t limit = kMaxPdfTextBytes);

} // namespace tallyglass
