#pragma once

#include "ByteSource.h"
#include "docprops/pdf/PdfObjects.h"

#include <span>

namespace tallyglass {

// The examined bytes as qpdf's side of the reader asks for them: every read goes through the
// ByteSource, so it stays bounded, counted and positioned.
class SourceBytes final : public PdfBytes {
public:
    explicit SourceBytes(const ByteSource& source) : m_source(source) {}
    std::uint64_t size() const override { return m_source.size(); }
    bool readAt(std::uint64_t offset, char* into, std::size_t length) const override
    {
        return m_source.readAt(offset, std::as_writable_bytes(std::span(into, length)));
    }

private:
    const ByteSource& m_source;
};

} // namespace tallyglass
