#include "DocumentReader.h"
#include "PackageFormats.h"
#include "ZipPackage.h"

namespace tallyglass {

std::optional<SummaryValues> ReadPackageSummary(const ByteSource& source)
{
    const auto package = ZipPackage::open(source);
    if (!package)
        return std::nullopt;
    // A package that says it is OpenDocument is read as such even without meta.xml; one that
    // says nothing is OpenDocument only when its meta.xml reads as OpenDocument metadata.
    if (IsOdfPackage(*package))
        return ReadOdfSummary(*package).value_or(SummaryValues{});
    if (IsOoxmlPackage(*package))
        return ReadOoxmlSummary(*package);
    return ReadOdfSummary(*package);
}

} // namespace tallyglass
