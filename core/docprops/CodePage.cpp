#include "CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <string_view>

namespace tallyglass {

namespace {

constexpr std::uint16_t kCodePageUtf16 = 1200;
constexpr std::uint16_t kCodePageUtf8 = 65001;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

void dropTrailingNuls(std::string& text)
{
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
}

// The iconv name of a Windows code page. The CJK pages have names of their own; the Mac
// pages Office writes in old files have theirs; every other page is tried as "CPnnnn".
std::string iconvName(std::uint16_t codePage)
{
    switch (codePage) {
    case 932: return "CP932";
    case 936: return "GBK";
    case 949: return "CP949";
    case 950: return "BIG5";
    case 10000: return "MACINTOSH";
    case 10007: return "MAC-CYRILLIC";
    case 10029: return "MAC-CENTRALEUROPE";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 28595: return "ISO-8859-5";
    case 28597: return "ISO-8859-7";
    case 28605: return "ISO-8859-15";
    case 51932: return "EUC-JP";
    case 54936: return "GB18030";
    default: return "CP" + std::to_string(codePage);
    }
}

// Converts through iconv; each byte it cannot decode becomes U+FFFD and the conversion goes
// on after it.
bool convert(const char* from, std::span<const std::byte> bytes, std::string& out)
{
    const iconv_t cd = iconv_open("UTF-8", from);
    if (cd == iconv_t(-1))
        return false;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, std::size_t(outPtr - buffer));
        if (done != std::size_t(-1))
            break;
        if (errno == E2BIG)
            continue;
        // An invalid sequence, or one cut off by the end of the text.
        out.append(kReplacement);
        if (errno == EINVAL) {
            inLeft = 0;
        } else {
            ++in;
            --inLeft;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Some pages (1255, 1258) hold back a letter in case a combining mark follows; this
    // lets it out.
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, std::size_t(outPtr - buffer));
    iconv_close(cd);
    return true;
}

bool isAscii(std::span<const std::byte> bytes)
{
    for (std::byte b : bytes) {
        if (std::to_integer<unsigned>(b) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

std::string Utf16LeToUtf8(std::span<const std::byte> bytes)
{
    std::string out;
    out.reserve(bytes.size());
    const auto unitAt = [&](std::size_t i) {
        return char16_t(std::to_integer<unsigned>(bytes[i]) | (std::to_integer<unsigned>(bytes[i + 1]) << 8));
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = unitAt(2 * i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char16_t low = unitAt(2 * (i + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(low) - 0xDC00));
                ++i;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF)
            out.append(kReplacement);
        else
            appendUtf8(out, unit);
    }
    dropTrailingNuls(out);
    // A writer that ends a text with one NUL byte leaves an odd byte that means nothing.
    if (bytes.size() % 2 != 0 && bytes.back() != std::byte{0})
        out.append(kReplacement);
    return out;
}

bool CodePageConvertible(std::uint16_t codePage)
{
    if (codePage == kCodePageUtf16 || codePage == kCodePageUtf8)
        return true;
    const iconv_t cd = iconv_open("UTF-8", iconvName(codePage).c_str());
    if (cd == iconv_t(-1))
        return false;
    iconv_close(cd);
    return true;
}

std::string DecodeCodePageText(std::span<const std::byte> bytes, std::uint16_t codePage)
{
    if (codePage == kCodePageUtf16)
        return Utf16LeToUtf8(bytes);
    while (!bytes.empty() && bytes.back() == std::byte{0})
        bytes = bytes.first(bytes.size() - 1);
    std::string out;
    // Plain ASCII reads the same in every single- and multi-byte page a document uses.
    if (isAscii(bytes)) {
        out.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return out;
    }
    const std::string name = codePage == kCodePageUtf8 ? std::string("UTF-8") : iconvName(codePage);
    if (!convert(name.c_str(), bytes, out)) {
        out.clear();
        convert("CP1252", bytes, out);
    }
    dropTrailingNuls(out);
    return out;
}

} // namespace tallyglass
