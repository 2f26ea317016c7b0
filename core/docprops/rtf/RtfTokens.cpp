#include "RtfTokens.h"

#include <algorithm>

namespace tallyglass::rtf {

namespace {

// Bytes asked of the file at a time: the information group of a real document lies within
// the first few of these.
constexpr std::size_t kSliceBytes = 16 * 1024;

bool isLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

int hexValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfInput::RtfInput(const ByteSource& source, std::uint64_t limit)
    : m_source(source), m_limit(std::min(limit, source.size()))
{
}

bool RtfInput::fill()
{
    if (m_failed || m_offset >= m_limit)
        return false;
    const std::size_t size = std::size_t(std::min<std::uint64_t>(kSliceBytes, m_limit - m_offset));
    m_slice.resize(size);
    if (!m_source.readAt(m_offset, m_slice)) {
        m_slice.clear();
        m_failed = true;
        return false;
    }
    m_sliceStart = m_offset;
    return true;
}

int RtfInput::refill()
{
    if (!fill())
        return -1;
    return std::to_integer<int>(m_slice[0]);
}

bool RtfInput::skip(std::uint64_t count)
{
    if (count > m_limit - m_offset) {
        m_offset = m_limit;
        return false;
    }
    m_offset += count;
    return true;
}

Token Tokenizer::end(Ending why)
{
    if (m_ending == Ending::None)
        m_ending = why;
    Token token;
    token.kind = TokenKind::End;
    token.offset = m_input.offset();
    return token;
}

Token Tokenizer::next()
{
    if (m_ending != Ending::None)
        return end(m_ending);
    for (;;) {
        const std::uint64_t at = m_input.offset();
        const int c = m_input.next();
        if (c < 0) {
            if (m_input.failed())
                return end(Ending::ReadFailed);
            return end(m_input.atFileEnd() ? Ending::FileEnd : Ending::ReadLimit);
        }
        Token token;
        token.offset = at;
        switch (c) {
        case '\r':
        case '\n':
            continue;
        case '{':
            token.kind = TokenKind::GroupOpen;
            return token;
        case '}':
            token.kind = TokenKind::GroupClose;
            return token;
        case '\\':
            return word(at);
        default:
            token.kind = TokenKind::Byte;
            token.byte = std::uint8_t(c);
            return token;
        }
    }
}

Token Tokenizer::word(std::uint64_t at)
{
    Token token;
    token.offset = at;
    const int first = m_input.peek();
    if (first < 0)
        return end(m_input.failed() ? Ending::ReadFailed
                   : m_input.atFileEnd() ? Ending::InsideWord : Ending::ReadLimit);
    if (!isLetter(first)) {
        m_input.next();
        switch (first) {
        case '\'': {
            // Two hex digits; the file may end between them.
            int digits[2] = {0, 0};
            for (int& digit : digits) {
                const int c = m_input.peek();
                if (c < 0)
                    return end(m_input.failed() ? Ending::ReadFailed
                               : m_input.atFileEnd() ? Ending::InsideWord : Ending::ReadLimit);
                digit = hexValue(c);
                if (digit < 0) {
                    // Not an escape after all; what follows is read as it stands.
                    token.kind = TokenKind::Symbol;
                    token.symbol = '\'';
                    return token;
                }
                m_input.next();
            }
            token.kind = TokenKind::Byte;
            token.byte = std::uint8_t(digits[0] * 16 + digits[1]);
            token.escaped = true;
            return token;
        }
        case '\\':
        case '{':
        case '}':
            token.kind = TokenKind::Byte;
            token.byte = std::uint8_t(first);
            token.escaped = true;
            return token;
        case '\r':
        case '\n':
            // A backslash before a line end is a paragraph mark.
            token.kind = TokenKind::Word;
            token.name = "par";
            return token;
        default:
            token.kind = TokenKind::Symbol;
            token.symbol = char(first);
            return token;
        }
    }

    token.kind = TokenKind::Word;
    std::size_t letters = 0;
    // Letters beyond the cap are passed over (the read cap bounds how many there can be) and
    // make the word one nobody knows.
    while (isLetter(m_input.peek())) {
        const int c = m_input.next();
        if (letters < kMaxWordLetters)
            token.name.push_back(char(c));
        ++letters;
    }
    if (letters > kMaxWordLetters) {
        m_overlongWord = true;
        token.name.clear();
    }
    bool negative = false;
    if (m_input.peek() == '-') {
        m_input.next();
        negative = true;
    }
    std::size_t digits = 0;
    std::int64_t value = 0;
    // Digits beyond the cap are passed over the same way and leave the word without its
    // parameter.
    while (isDigit(m_input.peek())) {
        const int c = m_input.next();
        if (digits < kMaxParameterDigits)
            value = value * 10 + (c - '0');
        ++digits;
    }
    if (m_input.peek() < 0) {
        // The file ends with no delimiter after the word: it may have been cut short.
        return end(m_input.failed() ? Ending::ReadFailed
                   : m_input.atFileEnd() ? Ending::InsideWord : Ending::ReadLimit);
    }
    if (m_input.peek() == ' ')
        m_input.next();
    if (digits > kMaxParameterDigits) {
        m_overlongParameter = true;
    } else if (digits > 0) {
        token.hasParameter = true;
        token.parameter = negative ? -value : value;
    }

    if (token.name == "bin") {
        // Binary data of the given length follows; it is passed over unread, and only as far
        // as the read cap allows.
        const std::uint64_t count = token.hasParameter && token.parameter > 0 ? std::uint64_t(token.parameter) : 0;
        m_binAsked = count;
        if (!m_input.skip(count))
            return end(m_input.atFileEnd() ? Ending::InsideBin : Ending::BinPastLimit);
    }
    return token;
}

} // namespace tallyglass::rtf
