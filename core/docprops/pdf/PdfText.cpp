#include "PdfText.h"

#include <array>
#include <cstdint>

namespace tallyglass {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// PDFDocEncoding where it differs from ISO Latin-1; 0 marks a code that means no character.
constexpr char32_t pdfDocCharacter(unsigned char byte)
{
    constexpr std::array<char32_t, 8> low = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};
    constexpr std::array<char32_t, 33> high = {
        0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039, 0x203A, 0x2212,
        0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141,
        0x0152, 0x0160, 0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0,      0x20AC};
    if (byte >= 0x18 && byte <= 0x1F)
        return low[byte - 0x18];
    if (byte >= 0x80 && byte <= 0xA0)
        return high[byte - 0x80];
    if (byte == 0x7F || byte == 0xAD)
        return 0;
    return byte;
}

// Appends a character unless it would take the text past `limit`; false once the text is full.
bool append(std::string& out, char32_t c, std::size_t limit)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = kReplacement;
    char bytes[4];
    std::size_t n = 0;
    if (c < 0x80) {
        bytes[n++] = char(c);
    } else if (c < 0x800) {
        bytes[n++] = char(0xC0 | (c >> 6));
        bytes[n++] = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        bytes[n++] = char(0xE0 | (c >> 12));
        bytes[n++] = char(0x80 | ((c >> 6) & 0x3F));
        bytes[n++] = char(0x80 | (c & 0x3F));
    } else {
        bytes[n++] = char(0xF0 | (c >> 18));
        bytes[n++] = char(0x80 | ((c >> 12) & 0x3F));
        bytes[n++] = char(0x80 | ((c >> 6) & 0x3F));
        bytes[n++] = char(0x80 | (c & 0x3F));
    }
    if (out.size() + n > limit)
        return false;
    out.append(bytes, n);
    return true;
}

std::string fromUtf16(std::string_view bytes, std::size_t limit)
{
    std::string out;
    bool inLanguageTag = false;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t unit = char32_t((unsigned char)bytes[i] << 8 | (unsigned char)bytes[i + 1]);
        // An escape (U+001B) opens and closes a language tag, which is no part of the text.
        if (unit == 0x1B) {
            inLanguageTag = !inLanguageTag;
            continue;
        }
        if (inLanguageTag)
            continue;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t next = char32_t((unsigned char)bytes[i + 2] << 8 | (unsigned char)bytes[i + 3]);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
                i += 2;
            }
        }
        if (!append(out, unit, limit))
            return out;
    }
    if (bytes.size() % 2 != 0)
        append(out, kReplacement, limit);
    return out;
}

std::string fromPdfDoc(std::string_view bytes, std::size_t limit)
{
    std::string out;
    for (const char byte : bytes) {
        const char32_t c = byte == 0 ? kReplacement : pdfDocCharacter((unsigned char)byte);
        if (!append(out, c == 0 ? kReplacement : c, limit))
            break;
    }
    return out;
}

std::string_view withoutTrailingNuls(std::string_view text)
{
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string CleanUtf8(std::string_view text, std::size_t limit)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = (unsigned char)text[i];
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        std::size_t taken = 1;
        while (length > 1 && taken < length && i + taken < text.size()
               && ((unsigned char)text[i + taken] & 0xC0) == 0x80) {
            c = (c << 6) | ((unsigned char)text[i + taken] & 0x3F);
            ++taken;
        }
        // Overlong forms, surrogates and values past U+10FFFF are as bad as a broken sequence.
        const bool whole = length != 0 && taken == length
            && !(length == 3 && c < 0x800) && !(length == 4 && (c < 0x10000 || c > 0x10FFFF))
            && !(c >= 0xD800 && c <= 0xDFFF);
        if (!append(out, whole ? c : kReplacement, limit))
            break;
        i += whole ? length : taken;
    }
    return out;
}

std::string DecodePdfText(std::string_view bytes)
{
    if (bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFE && (unsigned char)bytes[1] == 0xFF) {
        bytes.remove_prefix(2);
        // A NUL at the end of UTF-16 is a pair of zero bytes.
        while (bytes.size() >= 2 && bytes[bytes.size() - 1] == 0 && bytes[bytes.size() - 2] == 0)
            bytes.remove_suffix(2);
        return fromUtf16(bytes, kMaxPdfTextBytes);
    }
    bytes = withoutTrailingNuls(bytes);
    if (bytes.size() >= 3 && (unsigned char)bytes[0] == 0xEF && (unsigned char)bytes[1] == 0xBB
        && (unsigned char)bytes[2] == 0xBF)
        return CleanUtf8(bytes.substr(3));
    return fromPdfDoc(bytes, kMaxPdfTextBytes);
}

} // namespace tallyglass
