#pragma once

#include "FileExamination.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tallyglass {

enum class ReportFormat { Text, Json, Csv, Dfxml };

struct ReportSettings {
    ReportFormat format = ReportFormat::Text;
    bool crlf = false;                    // text reports only
    std::vector<std::string> commandLine; // for the DFXML creator block
};

// Where the reports of a run go, one examined file after the other, in input order. Refused
// paths are never handed over.
class ReportOutput {
public:
    virtual ~ReportOutput() = default;
    virtual void begin(Nanoseconds /*startTime*/) {}
    virtual void add(const Examination& examination) = 0;
    virtual void end() {}
};

std::unique_ptr<ReportOutput> MakeReportOutput(std::ostream& out, const ReportSettings& settings);

} // namespace tallyglass
