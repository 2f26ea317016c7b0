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
    TextOutput(std::ostream& out, bool crlf) : ReportOutput(out), m_lineEnd(crlf ? "\r\n" : "\n") {}
    std::string piece(const Examination& e) const override { return ReportAll(e.texts, m_lineEnd); }
    void add(const std::string& piece) override
    {
        if (!m_first)
            m_out << m_lineEnd;
        m_out << piece;
        m_first = false;
    }

private:
    std::string_view m_lineEnd;
    bool m_first = true;
};

// One JSON object per file and line.
class JsonOutput final : public ReportOutput {
public:
    explicit JsonOutput(std::ostream& out) : ReportOutput(out) {}
    std::string piece(const Examination& e) const override { return JsonLine(e) + '\n'; }
};

class CsvOutput final : public ReportOutput {
public:
    explicit CsvOutput(std::ostream& out) : ReportOutput(out) {}
    void begin(Nanoseconds) override { m_out << CsvHeader(); }
    std::string piece(const Examination& e) const override { return CsvRow(e.texts); }
};

class DfxmlOutput final : public ReportOutput {
public:
    DfxmlOutput(std::ostream& out, std::vector<std::string> commandLine)
        : ReportOutput(out), m_writer(out, std::move(commandLine))
    {
    }
    void begin(Nanoseconds startTime) override { m_writer.begin(startTime); }
    std::string piece(const Examination& e) const override { return DfxmlWriter::FileObject(e); }
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
