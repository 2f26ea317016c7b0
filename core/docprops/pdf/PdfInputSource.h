#pragma once

#include "PdfObjects.h"

#include <qpdf/InputSource.hh>

#include <array>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tallyglass {

// Thrown from a read once the time a PDF may take is spent. qpdf turns most exceptions from
// its input into warnings and goes on, but every later read throws again, so it unwinds fast.
class PdfTimeUp final : public std::runtime_error {
public:
    PdfTimeUp() : std::runtime_error("reading took longer than allowed") {}
};

// qpdf's view of one of our byte sources: every byte qpdf asks for is a positioned read of the
// source, bounded by its size and counted by it. Reads go through a few cached blocks, since
// qpdf's tokenizer asks for 128 bytes at a time, backs up often and goes back and forth between
// an object and the cross-reference section.
class PdfInputSource final : public InputSource {
public:
    using Clock = std::chrono::steady_clock;

    PdfInputSource(const PdfBytes& source, Clock::time_point deadline);

    qpdf_offset_t findAndSkipNextEOL() override;
    std::string const& getName() const override { return m_name; }
    qpdf_offset_t tell() override { return m_offset; }
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override { m_offset = 0; }
    size_t read(char* into, size_t length) override;
    void unreadCh(char ch) override;

    // True once a read found the time spent; the reader says so instead of qpdf's warnings.
    bool timeUp() const { return m_timeUp; }
    // True when the source refused a read inside its size (an I/O error, a file cut short
    // while being read).
    bool readFailed() const { return m_readFailed; }

private:
    // 4 KiB keeps the bytes read of a large, well-formed file close to what qpdf needs: the
    // header, the tail, the cross-reference sections and the few objects it resolves.
    static constexpr std::uint64_t kBlockSize = 4096;
    static constexpr std::size_t kBlocks = 8;

    struct Block {
        std::array<char, kBlockSize> bytes{};
        std::uint64_t start = 0;
        std::uint64_t length = 0; // 0: nothing loaded
        std::uint64_t used = 0;   // when it last served a read, for replacing the oldest
    };

    // The block holding `offset` (which lies inside the source), loaded if it is not already.
    const char* block(std::uint64_t offset, std::uint64_t& blockStart, std::uint64_t& blockLength);
    void checkTime();

    const PdfBytes& m_source;
    const std::uint64_t m_size;
    const Clock::time_point m_deadline;
    const std::string m_name = "pdf";
    qpdf_offset_t m_offset = 0;
    std::array<Block, kBlocks> m_blocks{};
    std::uint64_t m_uses = 0;
    bool m_timeUp = false;
    bool m_readFailed = false;
};

} // namespace tallyglass
