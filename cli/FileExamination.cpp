#include "FileExamination.h"

#include "TableWindow.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tallyglass {

namespace {

// Passes every question to the real service and keeps the status it gave.
class RecordingFileSystem final : public FileSystemService {
public:
    RecordingFileSystem(std::unique_ptr<FileSystemService> inner, std::optional<FileObject>& record)
        : m_inner(std::move(inner)), m_record(record) {}
    bool FileExists(const std::string& path) override { return m_inner->FileExists(path); }
    bool FolderExists(const std::string& path) override { return m_inner->FolderExists(path); }
    std::variant<FileObject, FileStatusError> GetFile(const std::string& path) override
    {
        auto status = m_inner->GetFile(path);
        if (const auto* file = std::get_if<FileObject>(&status))
            m_record = *file;
        else
            m_record.reset();
        return status;
    }

private:
    std::unique_ptr<FileSystemService> m_inner;
    std::optional<FileObject>& m_record;
};

// Opens the file once more, the way the examination reads it, for what the open meets.
NoAtime probeNoAtime(const std::string& path)
{
    struct stat status {};
    const int fd = OpenForReading(path, status);
    if (fd >= 0)
        ::close(fd);
    return TakeLatestOpenOnThisThread(path).value_or(NoAtime::NotOpened);
}

} // namespace

Examination ExamineFile(const std::string& path, const ExtractionServices& services)
{
    Examination result;
    result.path = path;
    result.examinedAt = std::chrono::time_point_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now());

    ExtractionServices recording = services;
    recording.createFileSystem = [&services, &result] {
        return std::make_unique<RecordingFileSystem>(services.createFileSystem(), result.file);
    };
    TableWindow window([&result](std::string_view message) { result.messages.emplace_back(message); });
    window.CurrentPath = path;
    window.PathList = {path, std::string()};
    ExtractFile(window, recording);
    if (window.Ended()) {
        result.refused = true;
        result.status = window.endStatus;
        result.file.reset();
        return result;
    }
    // The examination has just opened the file; only when it had no reason to does it take
    // one more open to learn the answer.
    const std::optional<NoAtime> opened = TakeLatestOpenOnThisThread(path);
    result.noatime = opened ? *opened : probeNoAtime(path);
    result.texts = window.texts;
    if (window.CurrentDocument) {
        if (const DocumentProperties* model = window.CurrentDocument->Properties())
            result.document = *model;
    }
    return result;
}

std::string ReasonLines(const Examination& e)
{
    std::string lines;
    for (const std::string& message : e.messages)
        lines += "tallyglass-report: " + message + "\n";
    if (e.document)
        for (const Diagnostic& d : e.document->diagnostics)
            lines += "tallyglass-report: " + e.path + ": " + DiagnosticText(d) + "\n";
    return lines;
}

} // namespace tallyglass
