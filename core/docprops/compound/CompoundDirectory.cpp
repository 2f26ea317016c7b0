#include "CompoundDirectory.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tallyglass {

namespace {

constexpr std::array<unsigned char, 8> kHeaderSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                           0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint16_t kByteOrderMark = 0xFFFE;
constexpr std::uint16_t kMiniSectorShift = 6;

char16_t foldCase(char16_t c)
{
    // The names compared are ours and plain ASCII, so folding ASCII letters is all that can
    // make two of them meet.
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

std::string hex16(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", unsigned(value));
    return text;
}

} // namespace

bool SameDirectoryName(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return foldCase(x) == foldCase(y); });
}

std::optional<CompoundFileHeader> ParseCompoundFileHeader(BoundedReader in, std::string& fault)
{
    const auto signature = in.bytes(0, kHeaderSignature.size());
    if (!signature || std::memcmp(signature->data(), kHeaderSignature.data(), kHeaderSignature.size()) != 0)
        return std::nullopt;
    fault = "the header is cut short";
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
    if (h.byteOrder != kByteOrderMark) {
        fault = "the header's byte order mark is " + hex16(h.byteOrder) + " at offset 28";
        return std::nullopt;
    }
    if (h.sectorShift != 9 && h.sectorShift != 12) {
        fault = "the header's sector shift is " + std::to_string(h.sectorShift) + " at offset 30";
        return std::nullopt;
    }
    if (h.miniSectorShift != kMiniSectorShift) {
        fault = "the header's mini sector shift is " + std::to_string(h.miniSectorShift) + " at offset 32";
        return std::nullopt;
    }
    fault.clear();
    return h;
}

std::optional<DirectoryEntry> ParseDirectoryEntry(BoundedReader in, std::uint16_t sectorShift)
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

} // namespace tallyglass
