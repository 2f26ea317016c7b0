#include "JsonText.h"

#include <cstdint>
#include <cstdio>

namespace tallyglass {

namespace {

// Length of the valid UTF-8 sequence at the start of `s`, or 0.
std::size_t validSequence(std::string_view s)
{
    const auto b = [&](std::size_t i) { return std::uint8_t(s[i]); };
    const std::uint8_t c = b(0);
    if (c < 0x80)
        return 1;
    std::size_t n = 0;
    std::uint32_t min = 0;
    if ((c & 0xE0) == 0xC0) { n = 2; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { n = 3; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { n = 4; min = 0x10000; }
    else return 0;
    if (s.size() < n)
        return 0;
    std::uint32_t cp = c & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b(i) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    while (!text.empty()) {
        const std::size_t n = validSequence(text);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            text.remove_prefix(1);
            continue;
        }
        const char c = text[0];
        if (n > 1) {
            out.append(text.substr(0, n));
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (std::uint8_t(c) < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(std::uint8_t(c)));
            out += escaped;
        } else {
            out += c;
        }
        text.remove_prefix(n);
    }
    out += '"';
    return out;
}

} // namespace tallyglass
