#pragma once

#include "docprops/BoundedReader.h"
#include "docprops/PropertyModel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tallyglass {

using FormatId = std::array<std::uint8_t, 16>; // a GUID as stored: first three fields little-endian

// F29F85E0-4FF9-1068-AB91-08002B27B3D9
inline constexpr FormatId kFmtidSummaryInformation = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                                      0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
// D5CDD502-2E9C-101B-9397-08002B2CF9AE
inline constexpr FormatId kFmtidDocSummaryInformation = {0x02, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                                         0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};

// D5CDD505-2E9C-101B-9397-08002B2CF9AE: the user-defined section of the Document Summary
// Information stream.
inline constexpr FormatId kFmtidUserDefinedProperties = {0x05, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                                         0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};
// 9FA2B660-1061-11D4-B4C6-006097C09D8C: the summary set of Hangul word processor files, with
// the Summary Information set's property identifiers.
inline constexpr FormatId kFmtidHwpSummaryInformation = {0x60, 0xB6, 0xA2, 0x9F, 0x61, 0x10, 0xD4, 0x11,
                                                         0xB4, 0xC6, 0x00, 0x60, 0x97, 0xC0, 0x9D, 0x8C};

// The property types we read.
enum VarType : std::uint16_t {
    VT_I2 = 0x0002,
    VT_I4 = 0x0003,
    VT_R8 = 0x0005,
    VT_BOOL = 0x000B,
    VT_UI4 = 0x0013,
    VT_I8 = 0x0014,
    VT_LPSTR = 0x001E,
    VT_LPWSTR = 0x001F,
    VT_FILETIME = 0x0040,
};

// The property set stream header, with the format's own names; the stream lists its
// sections after it as (FMTID, Offset) pairs.
struct PropertySetStreamHeader {
    static constexpr std::size_t kSize = 28;
    std::uint16_t byteOrder = 0;
    std::uint16_t version = 0;
    std::uint32_t systemIdentifier = 0;
    std::uint32_t numPropertySets = 0;
};

// A section's header, followed by NumProperties (PropertyIdentifier, Offset) pairs.
struct PropertySetHeader {
    std::uint32_t size = 0;
    std::uint32_t numProperties = 0;
};

// The section of one format in a property set stream. Each getter answers no value when the
// property is missing, of another type, or its value does not fit in the section.
class PropertySection {
public:
    // No value when the stream has no section of that format or the structure is broken;
    // `fault` says what is broken, and stays empty when the section is simply not there.
    static std::optional<PropertySection> read(std::span<const std::byte> stream, const FormatId& format,
                                               std::string& fault);
    static std::optional<PropertySection> read(std::span<const std::byte> stream, const FormatId& format)
    {
        std::string fault;
        return read(stream, format, fault);
    }

    // The section's code page (property 1, stored as VT_I2 but meant unsigned); 1252 when
    // absent.
    std::uint16_t codePage() const { return m_codePage; }

    std::optional<std::string> text(std::uint32_t id) const;
    std::optional<std::int32_t> integer(std::uint32_t id) const;
    std::optional<bool> boolean(std::uint32_t id) const;
    std::optional<std::uint64_t> filetime(std::uint32_t id) const;

    // The property identifiers in the order the section lists them.
    std::vector<std::uint32_t> identifiers() const;
    // A property of any type we read, as a custom value; no value for other types.
    std::optional<CustomValue> typed(std::uint32_t id) const;
    // The names of the dictionary (property 0), by property identifier, in its order. No value
    // when the section has no dictionary or it is damaged.
    std::optional<std::vector<std::pair<std::uint32_t, std::string>>> dictionary(std::size_t maxEntries) const;

private:
    struct Entry {
        std::uint32_t propertyIdentifier;
        std::uint32_t offset;
    };
    // The value of a property as (type, the bytes after the type and its padding).
    std::optional<std::pair<std::uint16_t, BoundedReader>> value(std::uint32_t id) const;

    BoundedReader m_section;
    std::vector<Entry> m_entries;
    std::uint16_t m_codePage = 1252;
};

// A FILETIME as an instant; no value for zero (no date) and for dates past the year 9999.
std::optional<Seconds> FiletimeSeconds(std::uint64_t ticks);

} // namespace tallyglass
