#pragma once

#include "ByteSource.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tallyglass::rtf {

// The first bytes of a file, read a slice at a time as the tokenizer asks for them, never
// past `limit`.
class RtfInput {
public:
    RtfInput(const ByteSource& source, std::uint64_t limit);

    // The next byte, or -1 at the limit, at the end of the file or after a failed read.
    int next()
    {
        const int c = peek();
        if (c >= 0)
            ++m_offset;
        return c;
    }
    // The byte next() would answer, without taking it.
    int peek()
    {
        const std::uint64_t at = m_offset - m_sliceStart;
        if (m_offset >= m_sliceStart && at < m_slice.size())
            return std::to_integer<int>(m_slice[std::size_t(at)]);
        return refill();
    }
    // Passes over `count` bytes without reading them; false when they run past the limit.
    bool skip(std::uint64_t count);

    std::uint64_t offset() const { return m_offset; }
    std::uint64_t limit() const { return m_limit; }
    // The limit is the file's end (not the read cap) and no read failed.
    bool atFileEnd() const { return m_limit == m_source.size() && !m_failed; }
    bool failed() const { return m_failed; }

private:
    bool fill();
    int refill();

    const ByteSource& m_source;
    std::uint64_t m_limit;
    std::uint64_t m_offset = 0;      // of the next byte
    std::uint64_t m_sliceStart = 0;  // file offset of m_slice[0]
    std::vector<std::byte> m_slice;
    bool m_failed = false;
};

enum class TokenKind {
    GroupOpen,
    GroupClose,
    Word,   // \name or \nameN
    Symbol, // \* \~ \- \_ and the like; `symbol` holds the character
    Byte,   // a text byte, plain or from \'hh
    End,    // nothing more: see Tokenizer::ending()
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string name;          // Word: the letters, lower and upper case as written
    bool hasParameter = false; // Word: a numeric parameter followed the letters
    std::int64_t parameter = 0;
    char symbol = 0;
    std::uint8_t byte = 0;
    bool escaped = false; // Byte: written as \'hh
    std::uint64_t offset = 0;
};

// Why the tokens ended.
enum class Ending {
    None,           // not ended yet
    FileEnd,        // the file ended between tokens
    ReadLimit,      // the read cap was reached
    InsideWord,     // the file ended inside a control word or a \'hh
    InsideBin,      // the file ended inside the data of a \bin
    BinPastLimit,   // a \bin skip would run past the read cap
    ReadFailed,
};

// RTF's tokens: groups, control words with their parameters, control symbols, text bytes.
// Line ends in the source are not text and are passed over. \binN data is skipped here, so
// no caller ever sees its bytes.
class Tokenizer {
public:
    // RTF names no control word longer than this; longer runs of letters are not a word we
    // know, and their letters are passed over without being kept.
    static constexpr std::size_t kMaxWordLetters = 32;
    // A parameter is a signed 16- or 32-bit number: ten digits hold every such value.
    static constexpr std::size_t kMaxParameterDigits = 10;

    explicit Tokenizer(RtfInput& input) : m_input(input) {}

    Token next();
    Ending ending() const { return m_ending; }
    std::uint64_t offset() const { return m_input.offset(); }

    // Set when a word or parameter ran over its cap; the token still comes, as a word no
    // one knows or without its parameter.
    bool overlongWord() const { return m_overlongWord; }
    bool overlongParameter() const { return m_overlongParameter; }
    std::uint64_t binSkipAsked() const { return m_binAsked; }

private:
    Token end(Ending why);
    Token word(std::uint64_t at);

    RtfInput& m_input;
    Ending m_ending = Ending::None;
    bool m_overlongWord = false;
    bool m_overlongParameter = false;
    std::uint64_t m_binAsked = 0;
};

} // namespace tallyglass::rtf
