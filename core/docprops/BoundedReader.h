#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tallyglass {

// A read-only window over bytes already in memory (a sector, a stream). Every read of the
// compound-file and property-set readers goes through one: each checks offset + size against
// the window without overflowing and answers no value, never a zero, when it does not fit.
class BoundedReader {
public:
    BoundedReader() = default;
    explicit BoundedReader(std::span<const std::byte> bytes) : m_bytes(bytes) {}

    std::uint64_t size() const { return m_bytes.size(); }

    bool contains(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= m_bytes.size() && length <= m_bytes.size() - offset;
    }

    std::optional<std::span<const std::byte>> bytes(std::uint64_t offset, std::uint64_t length) const
    {
        if (!contains(offset, length))
            return std::nullopt;
        return m_bytes.subspan(std::size_t(offset), std::size_t(length));
    }

    // The window [offset, offset + length) of this one.
    std::optional<BoundedReader> window(std::uint64_t offset, std::uint64_t length) const
    {
        const auto span = bytes(offset, length);
        if (!span)
            return std::nullopt;
        return BoundedReader(*span);
    }

    std::optional<std::uint8_t> u8(std::uint64_t offset) const { return little<std::uint8_t>(offset); }
    std::optional<std::uint16_t> u16(std::uint64_t offset) const { return little<std::uint16_t>(offset); }
    std::optional<std::uint32_t> u32(std::uint64_t offset) const { return little<std::uint32_t>(offset); }
    std::optional<std::uint64_t> u64(std::uint64_t offset) const { return little<std::uint64_t>(offset); }

private:
    // Both formats are little-endian whatever the machine.
    template <typename T>
    std::optional<T> little(std::uint64_t offset) const
    {
        const auto span = bytes(offset, sizeof(T));
        if (!span)
            return std::nullopt;
        T value = 0;
        for (std::size_t i = sizeof(T); i-- > 0;)
            value = T((value << 8) | T(std::to_integer<std::uint8_t>((*span)[i])));
        return value;
    }

    std::span<const std::byte> m_bytes;
};

} // namespace tallyglass
