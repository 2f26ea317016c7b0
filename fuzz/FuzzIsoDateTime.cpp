// Bytes as the text of a date, a duration or a number in a package part.
#include "docprops/IsoDateTime.h"
#include "docprops/package/PackageXml.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tallyglass;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)ParseIsoDateTime(text, ZonelessTime::Utc);
    (void)ParseIsoDateTime(text, ZonelessTime::Local);
    (void)ParseXmlDate(text, ZonelessTime::Utc);
    (void)ParseIsoDurationMinutes(text);
    (void)ParseXmlInteger(text);
    (void)ParseXmlInteger64(text);
    (void)ParseXmlNumber(text);
    return 0;
}
