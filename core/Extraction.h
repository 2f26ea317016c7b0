#pragma once

#include "Digests.h"
#include "DocumentProperties.h"
#include "FieldCatalogue.h"
#include "FileStatus.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tallyglass {

inline constexpr std::string_view kWaitingText = "Waiting ...";
inline constexpr std::string_view kCalculatingText = "Calculating ...";
inline constexpr std::string_view kInvalidPathText = "Invalid file path: ";
inline constexpr std::string_view kFolderNoticeText =
    "A folder was given, and folders are not examined. Choose a file: ";

// Exit status of a program that ended on a refused path.
inline constexpr int kRefusedPathStatus = 1;

// The window as the extraction sees it. The window holds the path under examination, the
// path list and the document object of the latest extraction; the extraction writes the value
// and tick boxes through it and never reads them back.
class ExtractionWindow {
public:
    virtual ~ExtractionWindow() = default;

    virtual void SetFieldText(FieldId field, std::string_view text) = 0;
    virtual void Untick(FieldId field) = 0;
    // Lets the window handle what is pending, user input included; an extraction started in
    // here runs to its end before this returns.
    virtual void Yield() = 0;
    // A modal message; returns when it is dismissed.
    virtual void ShowMessage(std::string_view text) = 0;
    // Ends the program. The window does not come back from it; a headless caller that does
    // marks itself ended, and the extraction then stops where it is.
    virtual void EndProgram(int status) = 0;
    virtual bool Ended() const { return false; }

    std::string CurrentPath;
    std::vector<std::string> PathList;
    std::unique_ptr<DocumentPropertiesComponent> CurrentDocument;
};

// The three services behind the extraction. A component factory that answers null stands for
// a document-properties component that is not available.
struct ExtractionServices {
    std::function<std::unique_ptr<FileSystemService>()> createFileSystem;
    DigestService* digests = nullptr;
    std::function<std::unique_ptr<DocumentPropertiesComponent>()> createDocumentComponent;
};

// The real services: statx, OpenSSL, our document reader.
ExtractionServices SystemServices();

// Empties all 38 value boxes and unticks all 38 tick boxes, in the clearing order.
void ClearFields(ExtractionWindow& window);

// Examines the file at window.CurrentPath (trimmed, not empty). Reads CurrentPath afresh at
// every step, so an extraction started inside one of its yields takes over the rest of it.
void ExtractFile(ExtractionWindow& window, const ExtractionServices& services);

// Fills the 29 document-property boxes; the first failure ends it silently.
void ReadDocumentProperties(ExtractionWindow& window, const ExtractionServices& services);

} // namespace tallyglass
