#include "Report.h"

namespace tallyglass {

std::string ReportAll(const FieldTexts& texts, std::string_view lineEnd)
{
    FieldTicks all;
    all.fill(true);
    return ReportSelected(texts, all, lineEnd);
}

std::string ReportSelected(const FieldTexts& texts, const FieldTicks& ticks, std::string_view lineEnd)
{
    std::string report;
    for (const FieldRow& row : FieldCatalogue()) {
        const std::size_t i = std::size_t(row.id);
        if (!ticks[i])
            continue;
        report += row.reportLabel;
        report += texts[i];
        report += lineEnd;
    }
    return report;
}

} // namespace tallyglass
