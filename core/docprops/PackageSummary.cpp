#include "DocumentReader.h"

namespace tallyglass {

std::optional<SummaryValues> ReadPackageSummary(const ByteSource&)
{
    return std::nullopt;
}

} // namespace tallyglass
