#include "DocumentReader.h"

namespace tallyglass {

std::optional<SummaryValues> ReadCompoundFileSummary(const ByteSource&)
{
    return std::nullopt;
}

} // namespace tallyglass
