#pragma once

#include "Extraction.h"
#include "WebLauncher.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace tallyglass {

// What the main window hands its work to. The program uses the real ones; tests replace any
// of them, so that nothing blocks on a dialog, ends the test process or opens a browser.
struct WindowServices {
    ExtractionServices extraction;
    // A modal message with one OK button; returns when it is dismissed.
    std::function<void(const QString& text)> showMessage;
    // Ends the program with the status. The real one never returns; a replacement that does
    // leaves the window ended, and nothing more happens in it.
    std::function<void(int status)> endProgram;
    // The file-open dialog, shown with the file name it held after its last use. Answers the
    // chosen file, or nothing when the user cancels.
    std::function<std::optional<QString>(QWidget* parent, const QString& fileName)> chooseFile;
    WebLauncher launcher;
};

// The real services: the system's extraction with its digests run off the window's thread, a
// message box, the file-open dialog, and the immediate end of the program.
WindowServices SystemWindowServices(WebLauncher launcher);

// The message box of the program: modal, one OK button, no icon, the application's title.
void ShowMessageBox(const QString& text);

// The open-file dialog "Choose a File for Extraction".
std::optional<QString> ChooseFileToExamine(QWidget* parent, const QString& fileName);

} // namespace tallyglass
