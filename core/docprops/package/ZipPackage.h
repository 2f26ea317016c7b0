#pragma once

#include "ByteSource.h"
#include "docprops/PropertyModel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct zip;

namespace tallyglass {

// A zip archive read through libzip with positioned reads of a ByteSource: the central
// directory and the few parts asked for are read, never the whole file. Parts come out whole
// and bounded in size, or not at all.
class ZipPackage {
public:
    // XML parts of document properties are a few kilobytes; anything beyond this is not a
    // properties part but a decompression bomb or a damaged entry, and is not read.
    static constexpr std::uint64_t kMaxPartBytes = 1024 * 1024;
    // Office documents carry tens to a few thousand parts; a directory longer than this is
    // not a document, and libzip would keep a record of every entry in memory.
    static constexpr std::uint64_t kMaxEntries = 20000;

    // No value when the bytes are no zip archive libzip can follow, or when the archive
    // declares more entries than kMaxEntries; `notes` then gets the reason.
    static std::unique_ptr<ZipPackage> open(const ByteSource& source, DocumentProperties* notes = nullptr);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // True when the archive has an entry of this name (with `ignoreCase`, as readPart finds it).
    bool hasEntry(std::string_view name, bool ignoreCase = false) const;

    // The inflated content of an entry, looked up by exact name, or with `ignoreCase` by a
    // name that differs only in ASCII case when no exact match exists. No value when the
    // entry is absent, encrypted, compressed in a way libzip cannot undo, damaged (a corrupt
    // deflate stream, a CRC mismatch), or larger than kMaxPartBytes, declared or inflated.
    // `notes` gets the reason when the entry is there but cannot be read.
    std::optional<std::string> readPart(std::string_view name, bool ignoreCase = false,
                                        DocumentProperties* notes = nullptr) const;

    struct SourceState;

private:
    ZipPackage(std::unique_ptr<SourceState> state, zip* archive);
    std::optional<std::uint64_t> locate(std::string_view name, bool ignoreCase) const;

    std::unique_ptr<SourceState> m_state;
    zip* m_archive;
};

} // namespace tallyglass
