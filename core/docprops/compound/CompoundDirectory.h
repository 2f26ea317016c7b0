#pragma once

#include "docprops/BoundedReader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tallyglass {

// The compound file header as stored in its first 512 bytes, with the format's own names.
struct CompoundFileHeader {
    static constexpr std::size_t kSize = 512;
    static constexpr std::size_t kDifatSlots = 109;

    std::uint16_t minorVersion = 0;
    std::uint16_t majorVersion = 0;
    std::uint16_t byteOrder = 0;
    std::uint16_t sectorShift = 0;
    std::uint16_t miniSectorShift = 0;
    std::uint32_t numberOfDirectorySectors = 0;
    std::uint32_t numberOfFatSectors = 0;
    std::uint32_t firstDirectorySectorLocation = 0;
    std::uint32_t transactionSignatureNumber = 0;
    std::uint32_t miniStreamCutoffSize = 0;
    std::uint32_t firstMiniFatSectorLocation = 0;
    std::uint32_t numberOfMiniFatSectors = 0;
    std::uint32_t firstDifatSectorLocation = 0;
    std::uint32_t numberOfDifatSectors = 0;
    std::array<std::uint32_t, kDifatSlots> difat{};
};

// One 128-byte directory entry, with the format's own names.
struct DirectoryEntry {
    static constexpr std::size_t kSize = 128;
    enum ObjectType : std::uint8_t { Unknown = 0, Storage = 1, Stream = 2, RootStorage = 5 };

    std::u16string directoryEntryName; // without its terminating NUL
    std::uint8_t objectType = Unknown;
    std::uint8_t colorFlag = 0;
    std::uint32_t leftSiblingId = 0;
    std::uint32_t rightSiblingId = 0;
    std::uint32_t childId = 0;
    std::uint32_t startingSectorLocation = 0;
    std::uint64_t streamSize = 0;
};

// Sector numbers with a meaning of their own.
inline constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

// Names of the directory compare case-insensitively, the way the format folds them.
bool SameDirectoryName(std::u16string_view a, std::u16string_view b);

// The header from the file's first 512 bytes: no value when the signature, the byte order or
// the sector sizes are not those of a compound file. `fault` says what is wrong.
std::optional<CompoundFileHeader> ParseCompoundFileHeader(BoundedReader in, std::string& fault);

// One directory entry from its 128 bytes; no value when they are cut short.
std::optional<DirectoryEntry> ParseDirectoryEntry(BoundedReader in, std::uint16_t sectorShift);

} // namespace tallyglass
