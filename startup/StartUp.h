#pragma once

#include "BulletinCheck.h"
#include "WindowServices.h"

#include <string>
#include <vector>

namespace tallyglass {

class frmMain;

// The command string as the desktop's shell hands one to a program: the arguments joined by
// one space, an argument that holds a space or is empty in double quotes.
std::string CommandStringOf(const std::vector<std::string>& args);

// The path list of a start: the command string, trimmed of spaces and split. A file name may
// hold a double quote, which no command string can carry; when an argument holds one, the list
// is the arguments themselves, followed by the usual empty element.
std::vector<std::string> PathListOf(const std::vector<std::string>& args);

// The window's load sequence: the path list and the current path from the arguments, the
// bulletin check, and the examination of the first path. The window is shown by the caller,
// or by the extraction's first yield when the caller asked for that.
void Form_Load(frmMain& window, const std::vector<std::string>& args, const Clock& now,
               const WebLauncher& launch);

// What a start may replace; the program leaves all of it empty and gets the real ones.
struct StartUpOptions {
    std::function<void(const QString& text)> showMessage;
    WebLauncher launcher;
    Clock now;
};

// Builds the application, runs the load sequence, shows the window and runs until it ends;
// ends the process and never returns.
[[noreturn]] void RunProgram(int argc, char** argv, StartUpOptions options = {});

} // namespace tallyglass
