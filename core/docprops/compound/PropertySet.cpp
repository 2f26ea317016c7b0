#include "PropertySet.h"

#include "docprops/CodePage.h"

#include <algorithm>
#include <cstring>

namespace tallyglass {

namespace {

constexpr std::uint16_t kByteOrderMark = 0xFFFE;
constexpr std::uint32_t kPidDictionary = 0;
constexpr std::uint32_t kPidCodePage = 1;
constexpr std::uint16_t kCodePageUtf16 = 1200;
// A stream holds one section, or two with the user-defined one; more are not looked at.
constexpr std::uint32_t kMaxSections = 16;
// The standard sets carry a few dozen properties; a count above this is damage, and the
// section could not hold it anyway.
constexpr std::uint32_t kMaxProperties = 1 << 16;
// Property texts are titles, names and notes; one longer than this is damage, and decoding
// it would only cost time.
constexpr std::uint32_t kMaxTextBytes = 1 << 20;

std::optional<PropertySetStreamHeader> parseStreamHeader(BoundedReader in)
{
    const auto order = in.u16(0), version = in.u16(2);
    const auto system = in.u32(4), count = in.u32(24);
    if (!order || !version || !system || !count || *order != kByteOrderMark)
        return std::nullopt;
    return PropertySetStreamHeader{*order, *version, *system, *count};
}

} // namespace

std::optional<PropertySection> PropertySection::read(std::span<const std::byte> stream, const FormatId& format,
                                                    std::string& fault)
{
    fault.clear();
    const BoundedReader in(stream);
    const auto header = parseStreamHeader(in);
    if (!header) {
        fault = "its property set header is not one";
        return std::nullopt;
    }
    std::optional<std::uint32_t> sectionOffset;
    for (std::uint32_t i = 0; i < std::min(header->numPropertySets, kMaxSections) && !sectionOffset; ++i) {
        const std::uint64_t at = PropertySetStreamHeader::kSize + 20 * std::uint64_t(i);
        const auto id = in.bytes(at, format.size());
        const auto offset = in.u32(at + format.size());
        if (!id || !offset) {
            fault = "its section list is cut short at offset " + std::to_string(at);
            return std::nullopt;
        }
        if (std::equal(format.begin(), format.end(), id->begin(),
                       [](std::uint8_t a, std::byte b) { return a == std::to_integer<std::uint8_t>(b); }))
            sectionOffset = *offset;
    }
    if (!sectionOffset)
        return std::nullopt;

    const auto size = in.u32(*sectionOffset), count = in.u32(*sectionOffset + 4);
    if (!size || !count) {
        fault = "its section offset " + std::to_string(*sectionOffset) + " lies outside the stream";
        return std::nullopt;
    }
    const PropertySetHeader section{*size, *count};
    // A section that claims more than the stream holds is read as far as the stream goes:
    // a writer's wrong size costs nothing if the properties lie inside.
    const std::uint64_t available = in.size() - *sectionOffset;
    PropertySection result;
    result.m_section = *in.window(*sectionOffset, std::min<std::uint64_t>(section.size, available));
    if (section.numProperties > kMaxProperties
        || !result.m_section.contains(8, std::uint64_t(section.numProperties) * 8)) {
        fault = "its section at offset " + std::to_string(*sectionOffset) + " claims "
              + std::to_string(section.numProperties) + " properties";
        return std::nullopt;
    }
    result.m_entries.reserve(section.numProperties);
    for (std::uint32_t i = 0; i < section.numProperties; ++i) {
        const auto id = result.m_section.u32(8 + 8 * std::uint64_t(i));
        const auto offset = result.m_section.u32(12 + 8 * std::uint64_t(i));
        if (!id || !offset) {
            fault = "its property list is cut short";
            return std::nullopt;
        }
        result.m_entries.push_back({*id, *offset});
    }
    if (const auto page = result.value(kPidCodePage); page && page->first == VT_I2) {
        if (const auto stored = page->second.u16(0))
            result.m_codePage = *stored;
    }
    return result;
}

std::optional<std::pair<std::uint16_t, BoundedReader>> PropertySection::value(std::uint32_t id) const
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [id](const Entry& e) { return e.propertyIdentifier == id; });
    if (found == m_entries.end())
        return std::nullopt;
    const auto type = m_section.u16(found->offset);
    if (!type || !m_section.contains(std::uint64_t(found->offset) + 4, 0))
        return std::nullopt;
    const std::uint64_t start = std::uint64_t(found->offset) + 4;
    return std::pair{*type, *m_section.window(start, m_section.size() - start)};
}

std::optional<std::string> PropertySection::text(std::uint32_t id) const
{
    const auto v = value(id);
    if (!v)
        return std::nullopt;
    const auto length = v->second.u32(0);
    if (!length)
        return std::nullopt;
    if (v->first == VT_LPSTR) {
        const auto bytes = *length <= kMaxTextBytes ? v->second.bytes(4, *length) : std::nullopt;
        if (!bytes)
            return std::nullopt;
        return DecodeCodePageText(*bytes, m_codePage);
    }
    if (v->first == VT_LPWSTR) {
        // The length counts 16-bit characters, the terminating NUL among them.
        const std::uint64_t byteLength = 2 * std::uint64_t(*length);
        const auto bytes = byteLength <= kMaxTextBytes ? v->second.bytes(4, byteLength) : std::nullopt;
        if (!bytes)
            return std::nullopt;
        return Utf16LeToUtf8(*bytes);
    }
    return std::nullopt;
}

std::optional<std::int32_t> PropertySection::integer(std::uint32_t id) const
{
    const auto v = value(id);
    if (!v)
        return std::nullopt;
    if (v->first == VT_I2) {
        const auto stored = v->second.u16(0);
        return stored ? std::optional<std::int32_t>(std::int16_t(*stored)) : std::nullopt;
    }
    if (v->first == VT_I4) {
        const auto stored = v->second.u32(0);
        return stored ? std::optional<std::int32_t>(std::int32_t(*stored)) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<bool> PropertySection::boolean(std::uint32_t id) const
{
    const auto v = value(id);
    if (!v || v->first != VT_BOOL)
        return std::nullopt;
    // Writers store true as 0xFFFF; any other non-zero value is read as true as well.
    const auto stored = v->second.u16(0);
    return stored ? std::optional<bool>(*stored != 0) : std::nullopt;
}

std::optional<std::uint64_t> PropertySection::filetime(std::uint32_t id) const
{
    const auto v = value(id);
    if (!v || v->first != VT_FILETIME)
        return std::nullopt;
    return v->second.u64(0);
}

std::vector<std::uint32_t> PropertySection::identifiers() const
{
    std::vector<std::uint32_t> ids;
    ids.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        ids.push_back(e.propertyIdentifier);
    return ids;
}

std::optional<CustomValue> PropertySection::typed(std::uint32_t id) const
{
    const auto v = value(id);
    if (!v)
        return std::nullopt;
    const BoundedReader& in = v->second;
    switch (v->first) {
    case VT_LPSTR:
    case VT_LPWSTR:
        if (auto t = text(id))
            return CustomValue(std::move(*t));
        return std::nullopt;
    case VT_I2:
    case VT_I4:
        if (const auto i = integer(id))
            return CustomValue(std::int64_t(*i));
        return std::nullopt;
    case VT_UI4:
        if (const auto u = in.u32(0))
            return CustomValue(std::int64_t(*u));
        return std::nullopt;
    case VT_I8:
        if (const auto u = in.u64(0))
            return CustomValue(std::int64_t(*u));
        return std::nullopt;
    case VT_R8:
        if (const auto u = in.u64(0)) {
            double d = 0;
            static_assert(sizeof d == sizeof *u);
            std::memcpy(&d, &*u, sizeof d);
            return CustomValue(d);
        }
        return std::nullopt;
    case VT_BOOL:
        if (const auto b = boolean(id))
            return CustomValue(*b);
        return std::nullopt;
    case VT_FILETIME:
        if (const auto ticks = filetime(id)) {
            if (const auto when = FiletimeSeconds(*ticks))
                return CustomValue(DocumentDate{*when, DateZone::Given});
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<std::vector<std::pair<std::uint32_t, std::string>>> PropertySection::dictionary(std::size_t maxEntries) const
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [](const Entry& e) { return e.propertyIdentifier == kPidDictionary; });
    if (found == m_entries.end())
        return std::nullopt;
    // The dictionary has no type: its entry count comes first.
    const auto count = m_section.u32(found->offset);
    if (!count)
        return std::nullopt;
    std::vector<std::pair<std::uint32_t, std::string>> names;
    std::uint64_t at = std::uint64_t(found->offset) + 4;
    const bool wide = m_codePage == kCodePageUtf16;
    for (std::uint32_t i = 0; i < *count && names.size() < maxEntries; ++i) {
        const auto id = m_section.u32(at), length = m_section.u32(at + 4);
        if (!id || !length || *length > kMaxTextBytes)
            return std::nullopt;
        // The length counts characters, the terminating NUL among them; UTF-16 names are
        // padded to a multiple of four bytes.
        const std::uint64_t bytes = wide ? 2 * std::uint64_t(*length) : *length;
        const auto name = m_section.bytes(at + 8, bytes);
        if (!name)
            return std::nullopt;
        names.emplace_back(*id, wide ? Utf16LeToUtf8(*name) : DecodeCodePageText(*name, m_codePage));
        at += 8 + (wide ? (bytes + 3) / 4 * 4 : bytes);
    }
    return names;
}

std::optional<Seconds> FiletimeSeconds(std::uint64_t ticks)
{
    // FILETIME counts 100-nanosecond ticks from 1601-01-01 UTC; zero means no date.
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    // The last second of the year 9999: later dates have no four-digit year to show.
    constexpr std::int64_t kLastShownSecond = 253'402'300'799;
    if (ticks == 0)
        return std::nullopt;
    const std::int64_t unixSeconds = std::int64_t(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
    if (unixSeconds > kLastShownSecond)
        return std::nullopt;
    return Seconds(std::chrono::seconds(unixSeconds));
}

} // namespace tallyglass
