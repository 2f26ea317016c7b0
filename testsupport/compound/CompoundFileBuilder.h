#pragma once

// Lays out small compound files and property sets in memory, so the tests can build exactly
// the structure they need (and then damage it).

#include "docprops/DocumentReader.h"
#include "docprops/compound/PropertySet.h"
#include "SummaryValues.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tallyglass::test {

using Bytes = std::vector<std::byte>;

inline void put16(Bytes& b, std::size_t at, std::uint16_t v)
{
    if (b.size() < at + 2)
        b.resize(at + 2);
    b[at] = std::byte(v & 0xFF);
    b[at + 1] = std::byte(v >> 8);
}

inline void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    put16(b, at, std::uint16_t(v & 0xFFFF));
    put16(b, at + 2, std::uint16_t(v >> 16));
}

inline void put64(Bytes& b, std::size_t at, std::uint64_t v)
{
    put32(b, at, std::uint32_t(v & 0xFFFFFFFF));
    put32(b, at + 4, std::uint32_t(v >> 32));
}

inline std::uint32_t get32(const Bytes& b, std::size_t at)
{
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16
        | std::uint32_t(b[at + 3]) << 24;
}

inline Bytes bytesOf(std::string_view text)
{
    Bytes b(text.size());
    std::memcpy(b.data(), text.data(), text.size());
    return b;
}

// One property: its identifier and its TypedPropertyValue (type, padding, value).
struct Property {
    std::uint32_t id;
    Bytes typed;
};

inline Property typed(std::uint32_t id, std::uint16_t type, const Bytes& value)
{
    Bytes b;
    put16(b, 0, type);
    put16(b, 2, 0);
    b.insert(b.end(), value.begin(), value.end());
    while (b.size() % 4 != 0)
        b.push_back(std::byte{0});
    return {id, b};
}

// VT_LPSTR: the bytes as given, a NUL added.
inline Property lpstr(std::uint32_t id, std::string_view bytes)
{
    Bytes v;
    put32(v, 0, std::uint32_t(bytes.size() + 1));
    const Bytes text = bytesOf(bytes);
    v.insert(v.end(), text.begin(), text.end());
    v.push_back(std::byte{0});
    return typed(id, VT_LPSTR, v);
}

inline Property lpwstr(std::uint32_t id, std::u16string_view text)
{
    Bytes v;
    put32(v, 0, std::uint32_t(text.size() + 1));
    for (char16_t c : text)
        put16(v, v.size(), std::uint16_t(c));
    put16(v, v.size(), 0);
    return typed(id, VT_LPWSTR, v);
}

inline Property i2(std::uint32_t id, std::uint16_t value)
{
    Bytes v;
    put16(v, 0, value);
    return typed(id, VT_I2, v);
}

inline Property i4(std::uint32_t id, std::int32_t value)
{
    Bytes v;
    put32(v, 0, std::uint32_t(value));
    return typed(id, VT_I4, v);
}

inline Property boolean(std::uint32_t id, std::uint16_t value)
{
    Bytes v;
    put16(v, 0, value);
    return typed(id, VT_BOOL, v);
}

inline Property filetime(std::uint32_t id, std::uint64_t ticks)
{
    Bytes v;
    put64(v, 0, ticks);
    return typed(id, VT_FILETIME, v);
}

// FILETIME ticks of a Unix time.
inline std::uint64_t ticksOf(std::int64_t unixSeconds, std::uint64_t extraTicks = 0)
{
    return std::uint64_t(unixSeconds + 11644473600LL) * 10000000ULL + extraTicks;
}

// One section of a property set stream: its format and its properties in stored order.
struct Section {
    FormatId format;
    std::vector<Property> properties;
};

// A property set stream with the given sections, one after the other.
inline Bytes propertySet(const std::vector<Section>& sections)
{
    Bytes b;
    put16(b, 0, 0xFFFE);
    put16(b, 2, 0);
    put32(b, 4, 0x00020006);
    b.resize(24);
    put32(b, 24, std::uint32_t(sections.size()));
    for (const Section& s : sections) {
        for (std::size_t i = 0; i < s.format.size(); ++i)
            b.push_back(std::byte(s.format[i]));
        b.resize(b.size() + 4);
    }
    for (std::size_t n = 0; n < sections.size(); ++n) {
        const auto& properties = sections[n].properties;
        const std::size_t section = b.size();
        put32(b, 28 + 20 * n + 16, std::uint32_t(section));
        std::size_t valueAt = 8 + 8 * properties.size();
        put32(b, section + 4, std::uint32_t(properties.size()));
        for (std::size_t i = 0; i < properties.size(); ++i) {
            put32(b, section + 8 + 8 * i, properties[i].id);
            put32(b, section + 12 + 8 * i, std::uint32_t(valueAt));
            b.resize(section + valueAt);
            b.insert(b.end(), properties[i].typed.begin(), properties[i].typed.end());
            valueAt += properties[i].typed.size();
        }
        b.resize(section + valueAt);
        put32(b, section, std::uint32_t(valueAt));
    }
    return b;
}

inline Bytes propertySet(const FormatId& format, const std::vector<Property>& properties)
{
    return propertySet(std::vector<Section>{{format, properties}});
}

// The dictionary of a user-defined section (property 0, no type): identifier and name of
// each entry, names in an 8-bit code page with their NUL.
inline Property dictionary(const std::vector<std::pair<std::uint32_t, std::string>>& names)
{
    Bytes v;
    put32(v, 0, std::uint32_t(names.size()));
    for (const auto& [id, name] : names) {
        put32(v, v.size(), id);
        put32(v, v.size(), std::uint32_t(name.size() + 1));
        const Bytes text = bytesOf(name);
        v.insert(v.end(), text.begin(), text.end());
        v.push_back(std::byte{0});
    }
    while (v.size() % 4 != 0)
        v.push_back(std::byte{0});
    return {0, v};
}

inline constexpr std::uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSect = 0xFFFFFFFD,
                                kDifSect = 0xFFFFFFFC;

// A compound file with a root storage and streams at its root.
class CompoundFileBuilder {
public:
    explicit CompoundFileBuilder(unsigned sectorShift = 9) : m_shift(sectorShift) {}

    CompoundFileBuilder& stream(std::u16string name, Bytes content)
    {
        m_streams.push_back({std::move(name), std::move(content)});
        return *this;
    }
    // Free sectors before the streams, so that the streams lie far into the file.
    CompoundFileBuilder& padding(std::uint32_t sectors)
    {
        m_padding = sectors;
        return *this;
    }
    // Makes the padding sectors one stream of that name, its bytes left unwritten.
    CompoundFileBuilder& paddingStream(std::u16string name)
    {
        m_paddingName = std::move(name);
        return *this;
    }

    // A file as its written parts: the header and the parts after the padding, which a
    // sparse file leaves as a hole.
    struct Sparse {
        Bytes head;             // at offset 0
        std::uint64_t bodyAt;   // where `body` goes
        Bytes body;
        std::uint64_t size() const { return bodyAt + body.size(); }
    };

    Bytes build()
    {
        Sparse parts = buildSparse();
        Bytes file = std::move(parts.head);
        file.resize(std::size_t(parts.bodyAt));
        file.insert(file.end(), parts.body.begin(), parts.body.end());
        return file;
    }

    // Where build() put things, for tests that damage them.
    struct Layout {
        std::vector<std::uint32_t> streamStart; // per stream: sector, or mini sector
        std::uint32_t miniStreamStart = kEnd, miniFatStart = kEnd, directoryStart = kEnd;
        std::vector<std::uint32_t> fatSectors, difatSectors;
    } layout;

    std::size_t sectorSize() const { return std::size_t(1) << m_shift; }
    std::size_t offsetOf(std::uint32_t sector) const { return (std::size_t(sector) + 1) * sectorSize(); }
    std::size_t entryOffset(const Bytes&, std::uint32_t id) const
    {
        const std::size_t perSector = sectorSize() / 128;
        return offsetOf(layout.directoryStart + std::uint32_t(id / perSector)) + (id % perSector) * 128;
    }
    // Sets the FAT entry of a sector in a built file.
    void setFat(Bytes& file, std::uint32_t sector, std::uint32_t next) const
    {
        const std::size_t per = sectorSize() / 4;
        put32(file, offsetOf(layout.fatSectors[sector / per]) + 4 * (sector % per), next);
    }

    Sparse buildSparse()
    {
        const std::size_t ss = sectorSize();
        std::vector<std::uint32_t> fat; // grows as sectors are placed
        Bytes body;                      // the sectors after the header
        // Sectors placed after the padding, which the body does not hold.
        const auto place = [&](const Bytes& content) -> std::uint32_t {
            const std::uint32_t first = std::uint32_t(fat.size());
            const std::size_t count = std::max<std::size_t>(1, (content.size() + ss - 1) / ss);
            for (std::size_t i = 0; i < count; ++i)
                fat.push_back(i + 1 < count ? first + std::uint32_t(i) + 1 : kEnd);
            Bytes padded = content;
            padded.resize(count * ss);
            body.insert(body.end(), padded.begin(), padded.end());
            return first;
        };
        fat.assign(m_padding, kFree);
        if (!m_paddingName.empty()) {
            for (std::uint32_t i = 0; i < m_padding; ++i)
                fat[i] = i + 1 < m_padding ? i + 1 : kEnd;
        }

        Bytes miniStream;
        std::vector<std::uint32_t> miniFat;
        layout.streamStart.clear();
        for (const auto& [name, content] : m_streams) {
            if (content.size() >= 4096) {
                layout.streamStart.push_back(place(content));
                continue;
            }
            const std::uint32_t first = std::uint32_t(miniFat.size());
            const std::size_t count = std::max<std::size_t>(1, (content.size() + 63) / 64);
            for (std::size_t i = 0; i < count; ++i)
                miniFat.push_back(i + 1 < count ? first + std::uint32_t(i) + 1 : kEnd);
            Bytes padded = content;
            padded.resize(count * 64);
            miniStream.insert(miniStream.end(), padded.begin(), padded.end());
            layout.streamStart.push_back(first);
        }
        const std::size_t miniStreamSize = miniStream.size();
        if (!miniStream.empty()) {
            layout.miniStreamStart = place(miniStream);
            Bytes miniFatBytes;
            for (std::size_t i = 0; i < miniFat.size(); ++i)
                put32(miniFatBytes, 4 * i, miniFat[i]);
            miniFatBytes.resize(((miniFatBytes.size() + ss - 1) / ss) * ss, std::byte{0xFF});
            layout.miniFatStart = place(miniFatBytes);
        }

        Bytes directory;
        const auto entry = [&](std::u16string_view name, std::uint8_t type, std::uint32_t right,
                               std::uint32_t child, std::uint32_t start, std::uint64_t size) {
            const std::size_t at = directory.size();
            directory.resize(at + 128);
            for (std::size_t i = 0; i < name.size() && i < 31; ++i)
                put16(directory, at + 2 * i, std::uint16_t(name[i]));
            put16(directory, at + 64, std::uint16_t(2 * (std::min<std::size_t>(name.size(), 31) + 1)));
            directory[at + 66] = std::byte(type);
            directory[at + 67] = std::byte(1);
            put32(directory, at + 68, kFree);
            put32(directory, at + 72, right);
            put32(directory, at + 76, child);
            put32(directory, at + 116, start);
            put64(directory, at + 120, size);
        };
        const std::size_t children = m_streams.size() + (m_paddingName.empty() ? 0 : 1);
        entry(u"Root Entry", 5, kFree, children == 0 ? kFree : 1, layout.miniStreamStart, miniStreamSize);
        for (std::size_t i = 0; i < m_streams.size(); ++i) {
            const std::uint32_t right = i + 1 < children ? std::uint32_t(i + 2) : kFree;
            entry(m_streams[i].name, 2, right, kFree, layout.streamStart[i], m_streams[i].content.size());
        }
        if (!m_paddingName.empty())
            entry(m_paddingName, 2, kFree, kFree, 0, std::uint64_t(m_padding) * ss);
        directory.resize(((directory.size() + ss - 1) / ss) * ss);
        layout.directoryStart = place(directory);

        // The FAT and DIFAT sectors cover themselves too, so their counts are found together.
        const std::size_t perFat = ss / 4;
        std::size_t fatCount = 0, difatCount = 0;
        for (;;) {
            const std::size_t total = fat.size() + fatCount + difatCount;
            const std::size_t neededFat = (total + perFat - 1) / perFat;
            const std::size_t neededDifat = neededFat > 109 ? (neededFat - 109 + perFat - 2) / (perFat - 1) : 0;
            if (neededFat == fatCount && neededDifat == difatCount)
                break;
            fatCount = neededFat;
            difatCount = neededDifat;
        }
        layout.fatSectors.clear();
        layout.difatSectors.clear();
        for (std::size_t i = 0; i < fatCount; ++i) {
            layout.fatSectors.push_back(std::uint32_t(fat.size()));
            fat.push_back(kFatSect);
        }
        for (std::size_t i = 0; i < difatCount; ++i) {
            layout.difatSectors.push_back(std::uint32_t(fat.size()));
            fat.push_back(kDifSect);
        }
        Bytes fatBytes(fatCount * ss, std::byte{0xFF});
        for (std::size_t i = 0; i < fat.size(); ++i)
            put32(fatBytes, 4 * i, fat[i]);
        body.insert(body.end(), fatBytes.begin(), fatBytes.end());
        Bytes difatBytes(difatCount * ss, std::byte{0xFF});
        for (std::size_t i = 109; i < fatCount; ++i) {
            const std::size_t slot = i - 109;
            const std::size_t sector = slot / (perFat - 1);
            put32(difatBytes, sector * ss + 4 * (slot % (perFat - 1)), layout.fatSectors[i]);
        }
        for (std::size_t d = 0; d < difatCount; ++d)
            put32(difatBytes, d * ss + ss - 4, d + 1 < difatCount ? layout.difatSectors[d + 1] : kEnd);
        body.insert(body.end(), difatBytes.begin(), difatBytes.end());

        Bytes file(ss, std::byte{0});
        const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        std::memcpy(file.data(), signature, 8);
        put16(file, 24, 0x3E);
        put16(file, 26, m_shift == 12 ? 4 : 3);
        put16(file, 28, 0xFFFE);
        put16(file, 30, std::uint16_t(m_shift));
        put16(file, 32, 6);
        put32(file, 40, m_shift == 12 ? std::uint32_t(directory.size() / ss) : 0);
        put32(file, 44, std::uint32_t(fatCount));
        put32(file, 48, layout.directoryStart);
        put32(file, 56, 4096);
        put32(file, 60, layout.miniFatStart);
        put32(file, 64, layout.miniFatStart == kEnd ? 0 : std::uint32_t(miniFat.size() * 4 + ss - 1) / std::uint32_t(ss));
        put32(file, 68, difatCount > 0 ? layout.difatSectors[0] : kEnd);
        put32(file, 72, std::uint32_t(difatCount));
        for (std::size_t i = 0; i < 109; ++i)
            put32(file, 76 + 4 * i, i < fatCount ? layout.fatSectors[i] : kFree);
        return {std::move(file), (std::uint64_t(m_padding) + 1) * ss, std::move(body)};
    }

private:
    struct Stream {
        std::u16string name;
        Bytes content;
    };
    unsigned m_shift;
    std::uint32_t m_padding = 0;
    std::u16string m_paddingName;
    std::vector<Stream> m_streams;
};

// The names of the two property set streams in the root storage.
inline const std::u16string kSummary = u"\u0005SummaryInformation";
inline const std::u16string kDocSummary = u"\u0005DocumentSummaryInformation";

// What the reader makes of a file built in memory.
inline std::optional<SummaryValues> readBytes(const Bytes& file)
{
    const MemorySource source(file);
    return ReadDocumentSummary(source);
}

} // namespace tallyglass::test
