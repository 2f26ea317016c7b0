#include "PropertySet.h"

#include "CodePage.h"

#include <algorithm>

namespace tallyglass {

namespace {

constexpr std::uint16_t kByteOrderMark = 0xFFFE;
constexpr std::uint32_t kPidCodePage = 1;
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

std::optional<PropertySection> PropertySection::read(std::span<const std::byte> stream, const FormatId& format)
{
    const BoundedReader in(stream);
    const auto header = parseStreamHeader(in);
    if (!header)
        return std::nullopt;
    std::optional<std::uint32_t> sectionOffset;
    for (std::uint32_t i = 0; i < std::min(header->numPropertySets, kMaxSections) && !sectionOffset; ++i) {
        const std::uint64_t at = PropertySetStreamHeader::kSize + 20 * std::uint64_t(i);
        const auto id = in.bytes(at, format.size());
        const auto offset = in.u32(at + format.size());
        if (!id || !offset)
            return std::nullopt;
        if (std::equal(format.begin(), format.end(), id->begin(),
                       [](std::uint8_t a, std::byte b) { return a == std::to_integer<std::uint8_t>(b); }))
            sectionOffset = *offset;
    }
    if (!sectionOffset)
        return std::nullopt;

    const auto size = in.u32(*sectionOffset), count = in.u32(*sectionOffset + 4);
    if (!size || !count)
        return std::nullopt;
    const PropertySetHeader section{*size, *count};
    // A section that claims more than the stream holds is read as far as the stream goes:
    // a writer's wrong size costs nothing if the properties lie inside.
    const std::uint64_t available = in.size() - *sectionOffset;
    PropertySection result;
    result.m_section = *in.window(*sectionOffset, std::min<std::uint64_t>(section.size, available));
    if (section.numProperties > kMaxProperties
        || !result.m_section.contains(8, std::uint64_t(section.numProperties) * 8))
        return std::nullopt;
    result.m_entries.reserve(section.numProperties);
    for (std::uint32_t i = 0; i < section.numProperties; ++i) {
        const auto id = result.m_section.u32(8 + 8 * std::uint64_t(i));
        const auto offset = result.m_section.u32(12 + 8 * std::uint64_t(i));
        if (!id || !offset)
            return std::nullopt;
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

} // namespace tallyglass
