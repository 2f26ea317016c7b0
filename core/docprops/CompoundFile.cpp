#include "CompoundFile.h"

#include "BoundedReader.h"

#include <algorithm>
#include <cstring>

namespace tallyglass {

namespace {

constexpr std::array<unsigned char, 8> kHeaderSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                           0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint16_t kByteOrderMark = 0xFFFE;
constexpr std::uint16_t kMiniSectorShift = 6;
// The format fixes the cutoff; a header that says otherwise is not trusted on it.
constexpr std::uint64_t kMiniStreamCutoffSize = 4096;
constexpr std::uint64_t kMiniSectorSize = std::uint64_t(1) << kMiniSectorShift;

// A document's root storage holds a few dozen children, an installer database a few
// thousand; a tree with more than this is hostile, and walking it would only cost time.
constexpr std::size_t kMaxRootChildren = 1 << 20;

std::optional<CompoundFileHeader> parseHeader(BoundedReader in)
{
    const auto signature = in.bytes(0, kHeaderSignature.size());
    if (!signature || std::memcmp(signature->data(), kHeaderSignature.data(), kHeaderSignature.size()) != 0)
        return std::nullopt;
    CompoundFileHeader h;
    const auto minor = in.u16(24), major = in.u16(26), order = in.u16(28), shift = in.u16(30),
               miniShift = in.u16(32);
    const auto dirSectors = in.u32(40), fatSectors = in.u32(44), firstDir = in.u32(48),
               transaction = in.u32(52), cutoff = in.u32(56), firstMiniFat = in.u32(60),
               miniFatSectors = in.u32(64), firstDifat = in.u32(68), difatSectors = in.u32(72);
    if (!minor || !major || !order || !shift || !miniShift || !dirSectors || !fatSectors || !firstDir
        || !transaction || !cutoff || !firstMiniFat || !miniFatSectors || !firstDifat || !difatSectors)
        return std::nullopt;
    h.minorVersion = *minor;
    h.majorVersion = *major;
    h.byteOrder = *order;
    h.sectorShift = *shift;
    h.miniSectorShift = *miniShift;
    h.numberOfDirectorySectors = *dirSectors;
    h.numberOfFatSectors = *fatSectors;
    h.firstDirectorySectorLocation = *firstDir;
    h.transactionSignatureNumber = *transaction;
    h.miniStreamCutoffSize = *cutoff;
    h.firstMiniFatSectorLocation = *firstMiniFat;
    h.numberOfMiniFatSectors = *miniFatSectors;
    h.firstDifatSectorLocation = *firstDifat;
    h.numberOfDifatSectors = *difatSectors;
    for (std::size_t i = 0; i < h.difat.size(); ++i) {
        const auto slot = in.u32(76 + 4 * i);
        if (!slot)
            return std::nullopt;
        h.difat[i] = *slot;
    }
    // Version 3 files have 512-byte sectors and version 4 files 4096-byte ones; writers
    // have been seen to mix up the version number, never the sector size, so only the
    // size decides.
    if (h.byteOrder != kByteOrderMark || (h.sectorShift != 9 && h.sectorShift != 12)
        || h.miniSectorShift != kMiniSectorShift)
        return std::nullopt;
    return h;
}

std::optional<DirectoryEntry> parseEntry(BoundedReader in, std::uint16_t sectorShift)
{
    DirectoryEntry e;
    const auto nameLength = in.u16(64);
    const auto type = in.u8(66), color = in.u8(67);
    const auto left = in.u32(68), right = in.u32(72), child = in.u32(76), start = in.u32(116);
    const auto size = in.u64(120);
    if (!nameLength || !type || !color || !left || !right || !child || !start || !size)
        return std::nullopt;
    // The name length counts bytes with the terminating NUL; a length outside the field
    // leaves the entry nameless, so it matches nothing.
    if (*nameLength >= 2 && *nameLength <= 64 && *nameLength % 2 == 0) {
        for (std::uint64_t i = 0; i + 1 < *nameLength / 2u; ++i) {
            const auto unit = in.u16(2 * i);
            if (!unit)
                return std::nullopt;
            e.directoryEntryName.push_back(char16_t(*unit));
        }
    }
    e.objectType = *type;
    e.colorFlag = *color;
    e.leftSiblingId = *left;
    e.rightSiblingId = *right;
    e.childId = *child;
    e.startingSectorLocation = *start;
    // Old writers left the high half of the size uninitialised in files of 512-byte
    // sectors, whose streams cannot exceed 2 GiB anyway.
    e.streamSize = sectorShift == 9 ? (*size & 0xFFFFFFFFu) : *size;
    return e;
}

std::vector<std::uint32_t> sectorNumbers(const std::vector<std::byte>& sector)
{
    const BoundedReader in(sector);
    std::vector<std::uint32_t> numbers(sector.size() / 4);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = in.u32(4 * i).value_or(kFreeSector);
    return numbers;
}

char16_t foldCase(char16_t c)
{
    // The names compared are ours and plain ASCII, so folding ASCII letters is all that can
    // make two of them meet.
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

} // namespace

bool SameDirectoryName(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return foldCase(x) == foldCase(y); });
}

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

std::optional<CompoundFile> CompoundFile::open(const ByteSource& source)
{
    std::vector<std::byte> head(CompoundFileHeader::kSize);
    if (!source.readAt(0, head))
        return std::nullopt;
    const auto header = parseHeader(BoundedReader(head));
    if (!header)
        return std::nullopt;
    CompoundFile file(source, *header);
    const auto root = file.entry(0);
    if (!root || root->objectType != DirectoryEntry::RootStorage)
        return std::nullopt;
    file.m_root = root;
    file.m_miniStreamChain.first = root->startingSectorLocation;
    return file;
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
        if (sector > kMaxRegularSector || sector >= m_sectorCount || !chain.visited.insert(sector).second)
            return std::nullopt;
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
    return parseEntry(*window, m_header.sectorShift);
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
    if (!found || found->objectType != DirectoryEntry::Stream)
        return std::nullopt;
    const std::uint64_t wanted = std::min(found->streamSize, limit);
    // A stream cannot hold more than the file does; a size that says so is false.
    if (wanted > m_source->size())
        return std::nullopt;
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
            if (!sectorOffset(sector) || !visited.insert(sector).second)
                return std::nullopt;
            // The last sector of a file may be cut short after the stream's own bytes.
            runBytes += std::min(sectorSize(), size - done - runBytes);
            if (done + runBytes == size)
                break;
            const auto next = nextSector(sector);
            if (!next)
                return std::nullopt;
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
        if (miniSector > kMaxRegularSector || !visited.insert(miniSector).second)
            return std::nullopt;
        const std::uint64_t part = std::min(kMiniSectorSize, size - done);
        const std::uint64_t position = std::uint64_t(miniSector) * kMiniSectorSize;
        if (position + part > m_root->streamSize)
            return std::nullopt;
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
