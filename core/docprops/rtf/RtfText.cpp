#include "RtfText.h"

#include "../CodePage.h"

#include <span>

namespace tallyglass::rtf {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
// Raw bytes are decoded in slices of this size, so a long text never holds more than one
// slice undecoded.
constexpr std::size_t kByteSlice = 4096;

// Where the last character of a double-byte text starts: a lead byte that is the last byte
// has lost its second half.
bool endsInLoneLeadByte(std::string_view bytes, std::uint16_t codePage)
{
    std::size_t i = 0;
    while (i < bytes.size())
        i += IsLeadByte(codePage, std::uint8_t(bytes[i])) ? 2 : 1;
    return i > bytes.size();
}

} // namespace

bool IsDoubleByteCodePage(std::uint16_t codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

bool IsLeadByte(std::uint16_t codePage, std::uint8_t b)
{
    switch (codePage) {
    case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950: return b >= 0x81 && b <= 0xFE;
    case 1361: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
    default: return false;
    }
}

std::uint16_t CodePageOfCharset(std::int64_t charset)
{
    switch (charset) {
    case 77: return 10000;
    case 78: return 10001;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

void TextBuilder::byte(std::uint8_t value, std::uint16_t codePage)
{
    if (m_cut)
        return;
    settleSurrogate();
    if (codePage != m_codePage) {
        flushBytes();
        m_codePage = codePage;
    }
    m_bytes.push_back(char(value));
    if (m_bytes.size() < kByteSlice)
        return;
    // A slice may not end between the two bytes of a character; the lead byte waits for
    // its partner.
    std::string keep;
    if (IsDoubleByteCodePage(m_codePage) && endsInLoneLeadByte(m_bytes, m_codePage)) {
        keep.assign(1, m_bytes.back());
        m_bytes.pop_back();
    }
    flushBytes();
    m_bytes = std::move(keep);
}

void TextBuilder::unicode(std::int64_t value)
{
    if (m_cut)
        return;
    flushBytes();
    // RTF writes the code unit as a signed 16-bit number; some writers write it unsigned.
    if (value < 0)
        value += 0x10000;
    if (value < 0 || value > 0xFFFF) {
        settleSurrogate();
        append(kReplacement);
        return;
    }
    const auto unit = char16_t(value);
    if (unit >= 0xDC00 && unit <= 0xDFFF && m_highSurrogate != 0) {
        appendCodePoint(0x10000 + ((char32_t(m_highSurrogate) - 0xD800) << 10) + (char32_t(unit) - 0xDC00));
        m_highSurrogate = 0;
        return;
    }
    settleSurrogate();
    if (unit >= 0xD800 && unit <= 0xDBFF)
        m_highSurrogate = unit;
    else if (unit >= 0xDC00 && unit <= 0xDFFF)
        append(kReplacement);
    else if (unit != 0)
        appendCodePoint(unit);
}

void TextBuilder::utf8(std::string_view text)
{
    if (m_cut)
        return;
    flushBytes();
    settleSurrogate();
    append(text);
}

std::string TextBuilder::finish()
{
    flushBytes();
    settleSurrogate();
    return m_out;
}

void TextBuilder::flushBytes()
{
    if (m_bytes.empty())
        return;
    // A lead byte with nothing after it in this run of bytes (the text ends, or a \u or
    // another font follows) is dropped: its second byte is not ours to guess.
    if (IsDoubleByteCodePage(m_codePage) && endsInLoneLeadByte(m_bytes, m_codePage))
        m_bytes.pop_back();
    const auto bytes = std::as_bytes(std::span(m_bytes.data(), m_bytes.size()));
    const std::string decoded = DecodeCodePageText(bytes, m_codePage == 0 ? 1252 : m_codePage);
    m_bytes.clear();
    append(decoded);
}

void TextBuilder::settleSurrogate()
{
    if (m_highSurrogate == 0)
        return;
    m_highSurrogate = 0;
    append(kReplacement);
}

void TextBuilder::appendCodePoint(char32_t c)
{
    std::string text;
    if (c < 0x80) {
        text.push_back(char(c));
    } else if (c < 0x800) {
        text.push_back(char(0xC0 | (c >> 6)));
        text.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        text.push_back(char(0xE0 | (c >> 12)));
        text.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        text.push_back(char(0x80 | (c & 0x3F)));
    } else {
        text.push_back(char(0xF0 | (c >> 18)));
        text.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        text.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        text.push_back(char(0x80 | (c & 0x3F)));
    }
    append(text);
}

void TextBuilder::append(std::string_view text)
{
    if (m_cut)
        return;
    if (m_out.size() + text.size() <= kMaxTextBytes) {
        m_out.append(text);
        return;
    }
    // Cut at the last whole character that fits: never half of a UTF-8 sequence.
    std::size_t room = kMaxTextBytes - m_out.size();
    while (room > 0 && (std::uint8_t(text[room]) & 0xC0) == 0x80)
        --room;
    m_out.append(text.substr(0, room));
    m_cut = true;
}

} // namespace tallyglass::rtf
