#include "CompoundFile.h"

#include <algorithm>
#include <string>

namespace tallyglass {

namespace {

constexpr std::uint16_t kMiniSectorShift = 6;
// The format fixes the cutoff; a header that says otherwise is not trusted on it.
constexpr std::uint64_t kMiniStreamCutoffSize = 4096;
constexpr std::uint64_t kMiniSectorSize = std::uint64_t(1) << kMiniSectorShift;

// A document's root storage holds a few dozen children, an installer database a few
// thousand; a tree with more than this is hostile, and walking it would only cost time.
constexpr std::size_t kMaxRootChildren = 1 << 20;

std::vector<std::uint32_t> sectorNumbers(const std::vector<std::byte>& sector)
{
    const BoundedReader in(sector);
    std::vector<std::uint32_t> numbers(sector.size() / 4);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = in.u32(4 * i).value_or(kFreeSector);
    return numbers;
}

} // namespace

CompoundFile::CompoundFile(const ByteSource& source, const CompoundFileHeader& header)
    : m_source(&source), m_header(header)
{
    const std::uint64_t size = source.size();
    const std::uint64_t sectors = size / sectorSize() + (size % sectorSize() != 0 ? 1 : 0);
    m_sectorCount = sectors > 0 ? sectors - 1 : 0;
    m_directoryChain.first = header.firstDirectorySectorLocation;
    m_difatChain.first = header.firstDifatSectorLocation;
    m_miniFatChain.first = header.firstMiniFatSectorLocation;
}

std::optional<CompoundFile> CompoundFile::open(const ByteSource& source, std::string& fault)
{
    fault.clear();
    std::vector<std::byte> head(CompoundFileHeader::kSize);
    if (source.size() < head.size()) {
        // Shorter than a header: a compound file only if the signature says so.
        std::vector<std::byte> start(std::size_t(source.size()));
        if (source.readAt(0, start) && !ParseCompoundFileHeader(BoundedReader(start), fault) && !fault.empty())
            fault = "the header is cut short at " + std::to_string(source.size()) + " bytes";
        return std::nullopt;
    }
    if (!source.readAt(0, head)) {
        fault = "the header cannot be read";
        return std::nullopt;
    }
    const auto header = ParseCompoundFileHeader(BoundedReader(head), fault);
    if (!header)
        return std::nullopt;
    CompoundFile file(source, *header);
    const auto root = file.entry(0);
    if (!root) {
        fault = file.m_fault.empty() ? "the root directory entry cannot be read" : file.m_fault;
        return std::nullopt;
    }
    if (root->objectType != DirectoryEntry::RootStorage) {
        fault = "the first directory entry is of type " + std::to_string(root->objectType) + ", not the root storage";
        return std::nullopt;
    }
    file.m_root = root;
    file.m_miniStreamChain.first = root->startingSectorLocation;
    file.m_fault.clear();
    return file;
}

std::nullopt_t CompoundFile::fail(std::string what)
{
    m_fault = std::move(what);
    return std::nullopt;
}

std::optional<std::uint64_t> CompoundFile::sectorOffset(std::uint32_t sector) const
{
    if (sector > kMaxRegularSector || sector >= m_sectorCount)
        return std::nullopt;
    return (std::uint64_t(sector) + 1) << m_header.sectorShift;
}

std::optional<std::vector<std::byte>> CompoundFile::readSector(std::uint32_t sector) const
{
    const auto offset = sectorOffset(sector);
    if (!offset)
        return std::nullopt;
    std::vector<std::byte> bytes(sectorSize());
    if (!m_source->readAt(*offset, bytes))
        return std::nullopt;
    return bytes;
}

template <typename Next>
std::optional<std::uint32_t> CompoundFile::chainAt(Chain& chain, std::uint64_t index, Next next)
{
    while (chain.sectors.size() <= index) {
        std::uint32_t sector = chain.first;
        if (!chain.sectors.empty()) {
            const auto following = next(chain.sectors.back());
            if (!following)
                return std::nullopt;
            sector = *following;
        }
        // The chain ends here, leaves the file, or comes back to a sector it has visited.
        const std::string at = std::string(chain.name) + " chain";
        if (sector > kMaxRegularSector)
            return fail(at + " ends after " + std::to_string(chain.sectors.size()) + " sectors");
        if (sector >= m_sectorCount)
            return fail(at + " leaves the file at sector " + std::to_string(sector));
        if (!chain.visited.insert(sector).second)
            return fail(at + " loops at sector " + std::to_string(sector));
        chain.sectors.push_back(sector);
    }
    return chain.sectors[std::size_t(index)];
}

template <typename Locate>
const std::vector<std::uint32_t>* CompoundFile::tableSector(SectorTable& cache, std::uint32_t key, Locate locate)
{
    auto cached = cache.find(key);
    if (cached == cache.end()) {
        const std::optional<std::uint32_t> location = locate();
        const auto bytes = location ? readSector(*location) : std::nullopt;
        if (!bytes)
            return nullptr;
        cached = cache.emplace(key, sectorNumbers(*bytes)).first;
    }
    return &cached->second;
}

std::optional<std::uint32_t> CompoundFile::fatSectorLocation(std::uint32_t index)
{
    if (index >= m_header.numberOfFatSectors)
        return std::nullopt;
    if (index < CompoundFileHeader::kDifatSlots)
        return m_header.difat[index];
    // Each DIFAT sector holds the locations of further FAT sectors and, in its last slot,
    // the location of the next DIFAT sector.
    const std::uint32_t perSector = entriesPerSector() - 1;
    const std::uint32_t slot = index - std::uint32_t(CompoundFileHeader::kDifatSlots);
    const auto difatSectorNumbers = [this](std::uint32_t sector) {
        return tableSector(m_difatSectors, sector, [sector] { return std::optional<std::uint32_t>(sector); });
    };
    const auto nextDifat = [&](std::uint32_t sector) -> std::optional<std::uint32_t> {
        const auto* numbers = difatSectorNumbers(sector);
        if (numbers == nullptr)
            return std::nullopt;
        return numbers->back();
    };
    const auto difatSector = chainAt(m_difatChain, slot / perSector, nextDifat);
    if (!difatSector)
        return std::nullopt;
    const auto* numbers = difatSectorNumbers(*difatSector);
    if (numbers == nullptr)
        return std::nullopt;
    return (*numbers)[slot % perSector];
}

std::optional<std::uint32_t> CompoundFile::nextSector(std::uint32_t sector)
{
    const std::uint32_t index = sector / entriesPerSector();
    const auto* numbers = tableSector(m_fatSectors, index, [&] { return fatSectorLocation(index); });
    if (numbers == nullptr)
        return std::nullopt;
    return (*numbers)[sector % entriesPerSector()];
}

std::optional<std::uint32_t> CompoundFile::nextMiniSector(std::uint32_t miniSector)
{
    const std::uint32_t index = miniSector / entriesPerSector();
    const auto* numbers = tableSector(m_miniFatSectors, index, [&] {
        return chainAt(m_miniFatChain, index, [this](std::uint32_t s) { return nextSector(s); });
    });
    if (numbers == nullptr)
        return std::nullopt;
    return (*numbers)[miniSector % entriesPerSector()];
}

std::optional<DirectoryEntry> CompoundFile::entry(std::uint32_t id)
{
    if (id > kMaxRegularSector)
        return std::nullopt;
    const std::uint32_t perSector = std::uint32_t(sectorSize() / DirectoryEntry::kSize);
    const std::uint32_t position = id / perSector;
    auto cached = m_directorySectors.find(position);
    if (cached == m_directorySectors.end()) {
        const auto sector =
            chainAt(m_directoryChain, position, [this](std::uint32_t s) { return nextSector(s); });
        if (!sector)
            return std::nullopt;
        auto bytes = readSector(*sector);
        if (!bytes)
            return std::nullopt;
        cached = m_directorySectors.emplace(position, std::move(*bytes)).first;
    }
    const auto window = BoundedReader(cached->second)
                            .window(std::uint64_t(id % perSector) * DirectoryEntry::kSize, DirectoryEntry::kSize);
    if (!window)
        return std::nullopt;
    return ParseDirectoryEntry(*window, m_header.sectorShift);
}

std::optional<DirectoryEntry> CompoundFile::findRootChild(std::u16string_view name)
{
    if (!m_root)
        return std::nullopt;
    // The children hang in a red-black tree that writers do not always keep in order, so
    // the whole tree is walked; the visited set ends walks that come back on themselves.
    std::vector<std::uint32_t> pending{m_root->childId};
    std::unordered_set<std::uint32_t> visited;
    while (!pending.empty() && visited.size() < kMaxRootChildren) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id == kNoStream || id == 0 || !visited.insert(id).second)
            continue;
        const auto child = entry(id);
        if (!child)
            continue;
        if (SameDirectoryName(child->directoryEntryName, name))
            return child;
        pending.push_back(child->leftSiblingId);
        pending.push_back(child->rightSiblingId);
    }
    return std::nullopt;
}

std::optional<std::vector<std::byte>> CompoundFile::readRootStream(std::u16string_view name, std::uint64_t limit)
{
    const auto found = findRootChild(name);
    // A stream that is not there is no damage, whatever the walk met on its way.
    m_fault.clear();
    m_lastStreamSize = 0;
    if (!found || found->objectType != DirectoryEntry::Stream)
        return std::nullopt;
    m_lastStreamSize = found->streamSize;
    const std::uint64_t wanted = std::min(found->streamSize, limit);
    // A stream cannot hold more than the file does; a size that says so is false.
    if (wanted > m_source->size())
        return fail("its size " + std::to_string(found->streamSize) + " exceeds the file's");
    if (found->streamSize < kMiniStreamCutoffSize)
        return readMiniStream(found->startingSectorLocation, wanted);
    return readRegularStream(found->startingSectorLocation, wanted);
}

std::optional<std::vector<std::byte>> CompoundFile::readRegularStream(std::uint32_t start, std::uint64_t size)
{
    std::vector<std::byte> bytes(static_cast<std::size_t>(size));
    std::unordered_set<std::uint32_t> visited;
    std::uint32_t sector = start;
    std::uint64_t done = 0;
    while (done < size) {
        // Sectors that follow one another in the file are read in one go.
        const std::uint32_t runStart = sector;
        std::uint64_t runBytes = 0;
        for (;;) {
            if (!sectorOffset(sector))
                return fail("its chain leaves the file at sector " + std::to_string(sector));
            if (!visited.insert(sector).second)
                return fail("its chain loops at sector " + std::to_string(sector));
            // The last sector of a file may be cut short after the stream's own bytes.
            runBytes += std::min(sectorSize(), size - done - runBytes);
            if (done + runBytes == size)
                break;
            const auto next = nextSector(sector);
            if (!next)
                return fail("the FAT sector for sector " + std::to_string(sector) + " cannot be read");
            const bool follows = *next == sector + 1;
            sector = *next;
            if (!follows)
                break;
        }
        if (!m_source->readAt(*sectorOffset(runStart),
                              std::span(bytes).subspan(std::size_t(done), std::size_t(runBytes))))
            return std::nullopt;
        done += runBytes;
    }
    return bytes;
}

std::optional<std::vector<std::byte>> CompoundFile::readMiniStream(std::uint32_t start, std::uint64_t size)
{
    std::vector<std::byte> bytes(static_cast<std::size_t>(size));
    std::unordered_set<std::uint32_t> visited;
    std::uint32_t miniSector = start;
    const auto nextInMiniStream = [this](std::uint32_t s) { return nextSector(s); };
    for (std::uint64_t done = 0; done < size;) {
        if (miniSector > kMaxRegularSector)
            return fail("its mini chain ends after " + std::to_string(done / kMiniSectorSize) + " mini sectors");
        if (!visited.insert(miniSector).second)
            return fail("its mini chain loops at mini sector " + std::to_string(miniSector));
        const std::uint64_t part = std::min(kMiniSectorSize, size - done);
        const std::uint64_t position = std::uint64_t(miniSector) * kMiniSectorSize;
        if (position + part > m_root->streamSize)
            return fail("its mini sector " + std::to_string(miniSector) + " lies beyond the mini stream");
        // A mini sector never straddles two sectors of the mini stream. Those sectors are
        // read whole and kept, since the two property streams usually share them.
        const std::uint64_t index = position >> m_header.sectorShift;
        auto cached = m_miniStreamSectors.find(index);
        if (cached == m_miniStreamSectors.end()) {
            const auto sector = chainAt(m_miniStreamChain, index, nextInMiniStream);
            const auto offset = sector ? sectorOffset(*sector) : std::nullopt;
            if (!offset)
                return std::nullopt;
            // The mini stream may end the file in a sector cut short.
            std::vector<std::byte> content(std::size_t(std::min(sectorSize(), m_source->size() - *offset)));
            if (!m_source->readAt(*offset, content))
                return std::nullopt;
            cached = m_miniStreamSectors.emplace(index, std::move(content)).first;
        }
        const auto piece = BoundedReader(cached->second).bytes(position & (sectorSize() - 1), part);
        if (!piece)
            return std::nullopt;
        std::copy(piece->begin(), piece->end(), bytes.begin() + std::ptrdiff_t(done));
        done += part;
        if (done < size) {
            const auto next = nextMiniSector(miniSector);
            if (!next)
                return std::nullopt;
            miniSector = *next;
        }
    }
    return bytes;
}

} // namespace tallyglass
