#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tallyglass::rtf {

// One text value of the information group as it is spelled in RTF: bytes in a code page
// (plain characters and \'hh escapes), interleaved with \uN characters, turned into UTF-8.
class TextBuilder {
public:
    // A text longer than this is cut: no field of ours needs more, and a hostile file could
    // otherwise make one value as large as everything it lets us read.
    static constexpr std::size_t kMaxTextBytes = 64 * 1024;

    // A byte of text in the given Windows code page.
    void byte(std::uint8_t value, std::uint16_t codePage);
    // A \uN character: N as RTF writes it, a signed 16-bit number (-7014 means U+E49A).
    void unicode(std::int64_t value);
    // Plain UTF-8 the reader supplies itself (a tab, a non-breaking space).
    void utf8(std::string_view text);

    // The text so far, with a pending lead byte or high surrogate settled.
    std::string finish();
    // True once the text reached its cap and later characters were dropped.
    bool cut() const { return m_cut; }

private:
    void flushBytes();
    void settleSurrogate();
    void append(std::string_view utf8Text);
    void appendCodePoint(char32_t c);

    std::string m_out;
    std::string m_bytes; // raw bytes not yet decoded, all in m_codePage
    std::uint16_t m_codePage = 0;
    char16_t m_highSurrogate = 0;
    bool m_cut = false;
};

// True for the code pages whose characters take one or two bytes, with a lead byte saying so.
bool IsDoubleByteCodePage(std::uint16_t codePage);
bool IsLeadByte(std::uint16_t codePage, std::uint8_t value);

// The Windows code page of an RTF font's \fcharset, or 0 when the charset means "the
// document's own" (ANSI, default, symbol) or is not one we know.
std::uint16_t CodePageOfCharset(std::int64_t charset);

} // namespace tallyglass::rtf
