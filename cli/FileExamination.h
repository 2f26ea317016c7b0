#pragma once

#include "ByteSource.h"
#include "Extraction.h"
#include "FileStatus.h"
#include "Report.h"
#include "docprops/PropertyModel.h"

#include <optional>
#include <string>
#include <vector>

namespace tallyglass {

// Everything the report tool learns of one file: the 38 window texts, the status and the
// document model behind them, and the messages the window would have shown.
struct Examination {
    std::string path;             // as it was given
    bool refused = false;         // no file at that path: no report, only the message
    int status = 0;               // the program's exit status for a refused path
    std::vector<std::string> messages;
    FieldTexts texts;
    std::optional<FileObject> file;             // none when the status could not be read
    std::optional<DocumentProperties> document; // none when the component has no model
    NoAtime noatime = NoAtime::NotOpened;
    Nanoseconds examinedAt{};     // when the examination started
};

// Examines one file the way the window does. Every call makes its own window, file-status
// service and document component, so examinations may run side by side on several threads as
// long as the services' digest routine may (ours keeps what it keeps per thread).
Examination ExamineFile(const std::string& path, const ExtractionServices& services);

// What standard error gets for the file, one line each: the messages the window would have
// shown ("tallyglass-report: Invalid file path: x"), then the reasons the document gave fewer
// values ("tallyglass-report: FILE: damaged: directory chain loops at sector 7").
std::string ReasonLines(const Examination& examination);

} // namespace tallyglass
