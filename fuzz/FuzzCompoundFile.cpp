// Bytes as a compound file: the header, the directory and the chains of the streams the
// document reader asks for.
#include "docprops/compound/CompoundFile.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tallyglass;
    const MemorySource source(std::as_bytes(std::span(data, size)));
    std::string fault;
    auto file = CompoundFile::open(source, fault);
    if (!file)
        return 0;
    for (const std::u16string_view name : {u"\u0005SummaryInformation", u"\u0005DocumentSummaryInformation",
                                           u"\u0005HwpSummaryInformation", u"EncryptionInfo"})
        (void)file->readRootStream(name, 1 << 20);
    return 0;
}
