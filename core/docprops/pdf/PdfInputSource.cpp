#include "PdfInputSource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tallyglass {

PdfInputSource::PdfInputSource(const PdfBytes& source, Clock::time_point deadline)
    : m_source(source), m_size(source.size()), m_deadline(deadline)
{
}

void PdfInputSource::checkTime()
{
    if (m_timeUp || Clock::now() >= m_deadline) {
        m_timeUp = true;
        throw PdfTimeUp();
    }
}

const char* PdfInputSource::block(std::uint64_t offset, std::uint64_t& blockStart, std::uint64_t& blockLength)
{
    Block* chosen = nullptr;
    for (auto& candidate : m_blocks) {
        if (candidate.length != 0 && offset >= candidate.start && offset < candidate.start + candidate.length) {
            chosen = &candidate;
            break;
        }
    }
    if (!chosen) {
        checkTime();
        chosen = &*std::min_element(m_blocks.begin(), m_blocks.end(),
                                    [](const Block& a, const Block& b) { return a.used < b.used; });
        const std::uint64_t start = offset - offset % kBlockSize;
        const std::uint64_t length = std::min(kBlockSize, m_size - start);
        chosen->length = 0;
        if (!m_source.readAt(start, chosen->bytes.data(), std::size_t(length))) {
            m_readFailed = true;
            throw std::runtime_error("the file could not be read at offset " + std::to_string(start));
        }
        chosen->start = start;
        chosen->length = length;
    }
    chosen->used = ++m_uses;
    blockStart = chosen->start;
    blockLength = chosen->length;
    return chosen->bytes.data();
}

void PdfInputSource::seek(qpdf_offset_t offset, int whence)
{
    qpdf_offset_t base = 0;
    if (whence == SEEK_CUR)
        base = m_offset;
    else if (whence == SEEK_END)
        base = qpdf_offset_t(m_size);
    else if (whence != SEEK_SET)
        throw std::logic_error("pdf: seek with an unknown origin");
    // Offsets come from the file; their sum is checked before it is formed.
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0)
        throw std::runtime_error("pdf: seek outside the file");
    m_offset = base + offset;
}

size_t PdfInputSource::read(char* into, size_t length)
{
    if (std::uint64_t(m_offset) >= m_size) {
        last_offset = qpdf_offset_t(m_size);
        return 0;
    }
    last_offset = m_offset;
    const std::uint64_t wanted = std::min<std::uint64_t>(length, m_size - std::uint64_t(m_offset));
    std::uint64_t done = 0;
    // A long read (stream data) goes straight to the source; short ones are served by the block.
    if (wanted >= kBlockSize) {
        checkTime();
        if (!m_source.readAt(std::uint64_t(m_offset), into, std::size_t(wanted))) {
            m_readFailed = true;
            throw std::runtime_error("the file could not be read at offset " + std::to_string(m_offset));
        }
        done = wanted;
    } else {
        while (done < wanted) {
            std::uint64_t start = 0, blockLength = 0;
            const std::uint64_t at = std::uint64_t(m_offset) + done;
            const char* bytes = block(at, start, blockLength);
            const std::uint64_t n = std::min(wanted - done, start + blockLength - at);
            std::memcpy(into + done, bytes + (at - start), std::size_t(n));
            done += n;
        }
    }
    m_offset += qpdf_offset_t(done);
    return std::size_t(done);
}

void PdfInputSource::unreadCh(char)
{
    if (m_offset > 0)
        --m_offset;
}

qpdf_offset_t PdfInputSource::findAndSkipNextEOL()
{
    const auto end = qpdf_offset_t(m_size);
    if (m_offset >= end) {
        last_offset = end;
        m_offset = end;
        return end;
    }
    // Find the first CR or LF, then step past every CR and LF that follows it.
    qpdf_offset_t eol = -1;
    while (m_offset < end) {
        std::uint64_t start = 0, blockLength = 0;
        const char* bytes = block(std::uint64_t(m_offset), start, blockLength);
        const char* p = bytes + (std::uint64_t(m_offset) - start);
        const char* stop = bytes + blockLength;
        if (eol < 0) {
            while (p < stop && *p != '\r' && *p != '\n')
                ++p;
            if (p == stop) {
                m_offset = qpdf_offset_t(start + blockLength);
                continue;
            }
            eol = qpdf_offset_t(start + std::uint64_t(p - bytes));
            ++p;
        }
        while (p < stop && (*p == '\r' || *p == '\n'))
            ++p;
        m_offset = qpdf_offset_t(start + std::uint64_t(p - bytes));
        if (p < stop)
            break;
    }
    return eol < 0 ? end : eol;
}

} // namespace tallyglass
