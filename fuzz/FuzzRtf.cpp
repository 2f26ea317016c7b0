// Bytes in, the RTF reader's model out, with what must hold for any input: the read stays
// within the first MiB (and the five signature bytes), every text is valid UTF-8 within its cap.
#include "ByteSource.h"
#include "docprops/rtf/RtfDocument.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace {

using namespace tallyglass;

bool validUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto c = std::uint8_t(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((std::uint8_t(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void checkText(std::string_view text)
{
    check(text.size() <= 64 * 1024);
    check(validUtf8(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const MemorySource source(std::as_bytes(std::span(data, size)));
    const DocumentProperties properties = ReadRtfDocument(source);
    check(source.bytesRead() <= 5 + (1u << 20));
    check(properties.opened == IsRtfDocument(source));
    for (const PropertyValue& value : properties.values) {
        if (const auto* text = std::get_if<std::string>(&value))
            checkText(*text);
    }
    for (const CustomProperty& property : properties.custom) {
        checkText(property.name);
        if (const auto* text = std::get_if<std::string>(&property.value))
            checkText(*text);
    }
    return 0;
}
