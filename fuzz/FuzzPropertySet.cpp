// Bytes as a property set stream: every section format we read, every getter on every
// property it lists, and the dictionary.
#include "docprops/compound/PropertySet.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tallyglass;
    const auto bytes = std::as_bytes(std::span(data, size));
    for (const FormatId& format : {kFmtidSummaryInformation, kFmtidDocSummaryInformation,
                                   kFmtidUserDefinedProperties, kFmtidHwpSummaryInformation}) {
        const auto section = PropertySection::read(bytes, format);
        if (!section)
            continue;
        for (const std::uint32_t id : section->identifiers()) {
            (void)section->text(id);
            (void)section->integer(id);
            (void)section->boolean(id);
            (void)section->filetime(id);
            (void)section->typed(id);
        }
        (void)section->dictionary(1000);
    }
    return 0;
}
