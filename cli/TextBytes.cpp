#include "TextBytes.h"

#include <cstdint>

namespace tallyglass {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at the start of `s` (not empty), or 0; its code point in
// `cp`.
std::size_t validSequence(std::string_view s, std::uint32_t& cp)
{
    const auto b = [&](std::size_t i) { return std::uint8_t(s[i]); };
    const std::uint8_t c = b(0);
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    std::size_t n = 0;
    std::uint32_t min = 0;
    if ((c & 0xE0) == 0xC0) { n = 2; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { n = 3; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { n = 4; min = 0x10000; }
    else return 0;
    if (s.size() < n)
        return 0;
    cp = c & (0x7Fu >> n);
    for (std::size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b(i) & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

bool xmlCarries(std::uint32_t cp)
{
    if (cp < 0x20)
        return cp == '\t' || cp == '\n';
    return cp != 0xFFFE && cp != 0xFFFF;
}

template <bool Xml>
std::string replaced(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        std::uint32_t cp = 0;
        const std::size_t n = validSequence(text, cp);
        if (n == 0 || (Xml && !xmlCarries(cp))) {
            out += kReplacement;
            text.remove_prefix(n == 0 ? 1 : n);
            continue;
        }
        out.append(text.substr(0, n));
        text.remove_prefix(n);
    }
    return out;
}

template <bool Xml>
bool exact(std::string_view text)
{
    while (!text.empty()) {
        std::uint32_t cp = 0;
        const std::size_t n = validSequence(text, cp);
        if (n == 0 || (Xml && !xmlCarries(cp)))
            return false;
        text.remove_prefix(n);
    }
    return true;
}

} // namespace

bool IsValidUtf8(std::string_view text) { return exact<false>(text); }
std::string Utf8Replaced(std::string_view text) { return replaced<false>(text); }
bool IsXmlExact(std::string_view text) { return exact<true>(text); }
std::string XmlReplaced(std::string_view text) { return replaced<true>(text); }

std::string Base64(std::string_view bytes)
{
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const std::uint32_t v = std::uint32_t(std::uint8_t(bytes[i])) << 16 |
                                std::uint32_t(std::uint8_t(bytes[i + 1])) << 8 | std::uint8_t(bytes[i + 2]);
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (i < bytes.size()) {
        std::uint32_t v = std::uint32_t(std::uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size())
            v |= std::uint32_t(std::uint8_t(bytes[i + 1])) << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

} // namespace tallyglass
