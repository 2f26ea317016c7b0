#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tallyglass {

// Text of a property set in its code page, as UTF-8. Bytes the code page cannot decode
// become U+FFFD; a code page this system does not know is read as Windows-1252. Trailing
// NULs are dropped.
std::string DecodeCodePageText(std::span<const std::byte> bytes, std::uint16_t codePage);

// True when texts in this code page can be converted; DecodeCodePageText reads the others as
// Windows-1252.
bool CodePageConvertible(std::uint16_t codePage);

// UTF-16LE as UTF-8; an unpaired surrogate or a trailing odd byte becomes U+FFFD. Trailing
// NULs are dropped.
std::string Utf16LeToUtf8(std::span<const std::byte> bytes);

} // namespace tallyglass
