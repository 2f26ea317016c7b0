#pragma once

#include "ByteSource.h"
#include "CompoundDirectory.h"

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

// A compound file read through positioned reads: the header at once, then only the FAT,
// DIFAT, directory and mini FAT sectors that the streams asked for need, each read once.
class CompoundFile {
public:
    // No value when the bytes are not a compound file or its header and root entry cannot be
    // read; `fault` then says what is wrong, and stays empty when there is no compound file
    // signature at all.
    static std::optional<CompoundFile> open(const ByteSource& source, std::string& fault);

    // The stream of that name among the root storage's children: no value when there is none
    // or its chain cannot be followed (fault() then says where). At most `limit` bytes of it
    // are read.
    std::optional<std::vector<std::byte>> readRootStream(std::u16string_view name, std::uint64_t limit);
    // What stopped the latest read, or empty.
    const std::string& fault() const { return m_fault; }
    // The size the directory gives the stream of the latest read, which may exceed its limit.
    std::uint64_t lastStreamSize() const { return m_lastStreamSize; }

private:
    std::optional<DirectoryEntry> entry(std::uint32_t id);
    // The root storage's child of that name, found by walking its tree.
    std::optional<DirectoryEntry> findRootChild(std::u16string_view name);
    CompoundFile(const ByteSource& source, const CompoundFileHeader& header);

    std::uint64_t sectorSize() const { return std::uint64_t(1) << m_header.sectorShift; }
    std::uint32_t entriesPerSector() const { return std::uint32_t(sectorSize() / 4); }
    std::nullopt_t fail(std::string what);
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
        explicit Chain(const char* chainName) : name(chainName) {}
        const char* name;
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
    Chain m_difatChain{"DIFAT"};
    Chain m_directoryChain{"directory"};
    Chain m_miniFatChain{"mini FAT"};
    Chain m_miniStreamChain{"mini stream"};
    std::optional<DirectoryEntry> m_root;
    std::string m_fault;
    std::uint64_t m_lastStreamSize = 0;
};

} // namespace tallyglass
