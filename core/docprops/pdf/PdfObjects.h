#pragma once

// The boundary between qpdf and the rest of the reader. qpdf 11.3's headers do not compile as
// C++20 under clang (JSON.hh holds a vector of a type not yet complete), so the files that
// include them are built as C++17 and meet the rest only through this header, which needs
// nothing newer: bytes in through PdfBytes, what the file stores out as PdfObjects.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tallyglass {

// Positioned reads of the examined bytes.
class PdfBytes {
public:
    virtual ~PdfBytes() = default;
    virtual std::uint64_t size() const = 0;
    // Fills `length` bytes at `into` from `offset`, or answers false.
    virtual bool readAt(std::uint64_t offset, char* into, std::size_t length) const = 0;
};

// Why values are missing, in the reader's words; the mapping turns them into diagnostics.
struct PdfNote {
    enum class Kind { Damaged, OverCap, Encrypted };
    Kind kind;
    std::string detail;
};

// One entry of the information dictionary, as stored.
struct PdfInfoEntry {
    enum class Kind { String, Integer, Real, Boolean, Name };
    std::string key;   // without the slash, #xx escapes decoded
    Kind kind = Kind::String;
    std::string bytes; // a string's bytes (decrypted) or a name without its slash
    long long integer = 0;
    double real = 0;
    bool boolean = false;
};

struct PdfObjects {
    std::vector<PdfInfoEntry> info;       // by key; entries of other kinds left out
    std::optional<std::string> xmp;       // the catalog's metadata stream, decoded
    std::optional<std::int32_t> pages;    // from the page tree, or its root's /Count
    std::vector<PdfNote> notes;
    // qpdf's first warning, kept for when nothing could be read.
    std::string firstWarning;
};

// XMP metadata is a few kilobytes; 1 MiB inflated leaves room for the largest real packets
// and stops a compressed stream from growing without bound in memory.
inline constexpr std::size_t kMaxXmpBytes = 1024 * 1024;

// A damaged cross-reference table is rebuilt by scanning the whole file for objects. That is
// worth it for any document people send each other; beyond 64 MiB the scan alone would take
// longer than anyone waits for a properties dialog, so larger damaged files are not repaired.
inline constexpr std::uint64_t kMaxRebuiltFileSize = 64ULL * 1024 * 1024;

// Opens the PDF with qpdf (the empty user password only; warnings kept, never printed) and
// collects what the properties are made of. Reading stops at `deadline`.
PdfObjects ReadPdfObjects(const PdfBytes& bytes, std::chrono::steady_clock::time_point deadline);

} // namespace tallyglass
