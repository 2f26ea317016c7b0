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
// paths are never handed over. A file's part of the output is made apart from its writing, so
// that it can be made on the thread that examined the file while earlier parts are written.
class ReportOutput {
public:
    virtual ~ReportOutput() = default;
    virtual void begin(Nanoseconds /*startTime*/) {}
    // One file's part of the output; safe to call from any thread, it holds nothing of the run.
    virtual std::string piece(const Examination& examination) const = 0;
    // Writes one file's part, in input order.
    virtual void add(const std::string& piece) { m_out << piece; }
    virtual void end() {}

protected:
    explicit ReportOutput(std::ostream& out) : m_out(out) {}
    std::ostream& m_out;
};

std::unique_ptr<ReportOutput> MakeReportOutput(std::ostream& out, const ReportSettings& settings);

} // namespace tallyglass
