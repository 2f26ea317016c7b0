#include "ReportOutput.h"

#include "CsvText.h"
#include "DfxmlWriter.h"
#include "JsonText.h"
#include "Report.h"

namespace tallyglass {

namespace {

// The window's "Copy All" text of each file, a blank line between two files.
class TextOutput final : public ReportOutput {
public:
    TextOutput(std::ostream& out, bool crlf) : m_out(out), m_lineEnd(crlf ? "\r\n" : "\n") {}
    void add(const Examination& e) override
    {
        if (!m_first)
            m_out << m_lineEnd;
        m_out << ReportAll(e.texts, m_lineEnd);
        m_first = false;
    }

private:
    std::ostream& m_out;
    std::string_view m_lineEnd;
    bool m_first = true;
};

// One JSON object per file and line.
class JsonOutput final : public ReportOutput {
public:
    explicit JsonOutput(std::ostream& out) : m_out(out) {}
    void add(const Examination& e) override { m_out << JsonLine(e) << '\n'; }

private:
    std::ostream& m_out;
};

class CsvOutput final : public ReportOutput {
public:
    explicit CsvOutput(std::ostream& out) : m_out(out) {}
    void begin(Nanoseconds) override { m_out << CsvHeader(); }
    void add(const Examination& e) override { m_out << CsvRow(e.texts); }

private:
    std::ostream& m_out;
};

class DfxmlOutput final : public ReportOutput {
public:
    DfxmlOutput(std::ostream& out, std::vector<std::string> commandLine) : m_writer(out, std::move(commandLine)) {}
    void begin(Nanoseconds startTime) override { m_writer.begin(startTime); }
    void add(const Examination& e) override { m_writer.add(e); }
    void end() override { m_writer.end(); }

private:
    DfxmlWriter m_writer;
};

} // namespace

std::unique_ptr<ReportOutput> MakeReportOutput(std::ostream& out, const ReportSettings& settings)
{
    switch (settings.format) {
    case ReportFormat::Json: return std::make_unique<JsonOutput>(out);
    case ReportFormat::Csv: return std::make_unique<CsvOutput>(out);
    case ReportFormat::Dfxml: return std::make_unique<DfxmlOutput>(out, settings.commandLine);
    case ReportFormat::Text: break;
    }
    return std::make_unique<TextOutput>(out, settings.crlf);
}

} // namespace tallyglass
