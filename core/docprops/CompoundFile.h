#pragma once

#include "ByteSource.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

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

// A compound file read through positioned reads: the header at once, then only the FAT,
// DIFAT, directory and mini FAT sectors that the streams asked for need, each read once.
class CompoundFile {
public:
    // No value when the bytes are not a compound file or its header and root entry cannot be
    // read.
    static std::optional<CompoundFile> open(const ByteSource& source);

    const CompoundFileHeader& header() const { return m_header; }

    // The stream of that name among the root storage's children: no value when there is none
    // or its chain cannot be followed. At most `limit` bytes of it are read.
    std::optional<std::vector<std::byte>> readRootStream(std::u16string_view name, std::uint64_t limit);

    std::optional<DirectoryEntry> entry(std::uint32_t id);
    // The root storage's child of that name, found by walking its tree.
    std::optional<DirectoryEntry> findRootChild(std::u16string_view name);

private:
    CompoundFile(const ByteSource& source, const CompoundFileHeader& header);

    std::uint64_t sectorSize() const { return std::uint64_t(1) << m_header.sectorShift; }
    std::uint32_t entriesPerSector() const { return std::uint32_t(sectorSize() / 4); }
    std::optional<std::uint64_t> sectorOffset(std::uint32_t sector) const;
    std::optional<std::vector<std::byte>> readSector(std::uint32_t sector) const;

    using SectorTable = std::map<std::uint32_t, std::vector<std::uint32_t>>;
    // The sector numbers a FAT, mini FAT or DIFAT sector holds, read once and kept under `key`;
    // `locate` names the sector on the first use. Null when it cannot be read.
    template <typename Locate>
    const std::vector<std::uint32_t>* tableSector(SectorTable& cache, std::uint32_t key, Locate locate);

    std::optional<std::uint32_t> fatSectorLocation(std::uint32_t index);
    std::optional<std::uint32_t> nextSector(std::uint32_t sector);
    std::optional<std::uint32_t> nextMiniSector(std::uint32_t miniSector);

    // A chain walked lazily: its sectors so far, and those it has visited.
    struct Chain {
        std::uint32_t first = kEndOfChain;
        std::vector<std::uint32_t> sectors;
        std::unordered_set<std::uint32_t> visited;
    };
    // The sector at position `index` of a chain, following it as far as needed.
    template <typename Next>
    std::optional<std::uint32_t> chainAt(Chain& chain, std::uint64_t index, Next next);

    std::optional<std::vector<std::byte>> readRegularStream(std::uint32_t start, std::uint64_t size);
    std::optional<std::vector<std::byte>> readMiniStream(std::uint32_t start, std::uint64_t size);

    const ByteSource* m_source;
    CompoundFileHeader m_header;
    std::uint64_t m_sectorCount; // whole or partial sectors after the header
    SectorTable m_fatSectors;     // by FAT index
    SectorTable m_miniFatSectors; // by mini FAT index
    SectorTable m_difatSectors;   // by sector number
    std::map<std::uint32_t, std::vector<std::byte>> m_directorySectors;   // by chain position
    std::map<std::uint64_t, std::vector<std::byte>> m_miniStreamSectors;  // by chain position
    Chain m_difatChain;
    Chain m_directoryChain;
    Chain m_miniFatChain;
    Chain m_miniStreamChain;
    std::optional<DirectoryEntry> m_root;
};

} // namespace tallyglass
