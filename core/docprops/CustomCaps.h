#pragma once

#include "PropertyModel.h"

#include <cstddef>
#include <string>

namespace tallyglass {

// Documents carry a handful of custom properties, a few hundred at the most (a document
// management system's fields); a list longer than this is hostile, and keeping it would let
// memory grow with the file.
inline constexpr std::size_t kMaxCustomProperties = 1000;

// Custom names and values are labels, numbers and notes; a text longer than this is cut, so
// that a thousand properties never hold more than a few megabytes.
inline constexpr std::size_t kMaxCustomTextBytes = 4096;

// The text cut to kMaxCustomTextBytes, never inside a UTF-8 sequence.
inline std::string CapCustomText(std::string text)
{
    if (text.size() <= kMaxCustomTextBytes)
        return text;
    std::size_t end = kMaxCustomTextBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

inline CustomValue CapCustomValue(CustomValue value)
{
    if (auto* text = std::get_if<std::string>(&value))
        *text = CapCustomText(std::move(*text));
    return value;
}

} // namespace tallyglass
