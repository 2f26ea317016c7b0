// Bytes as a zip archive: its directory, and the parts the package readers ask for.
#include "docprops/package/ZipPackage.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tallyglass;
    const MemorySource source(std::as_bytes(std::span(data, size)));
    DocumentProperties notes;
    const auto package = ZipPackage::open(source, &notes);
    if (!package)
        return 0;
    for (const char* name : {"mimetype", "meta.xml", "_rels/.rels", "docProps/core.xml", "docProps/app.xml",
                             "docProps/custom.xml", "[Content_Types].xml"}) {
        (void)package->hasEntry(name, true);
        (void)package->readPart(name, true, &notes);
    }
    return 0;
}
