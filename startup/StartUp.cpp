#include "StartUp.h"

#include "ApplicationLook.h"
#include "ProgramEnd.h"
#include "frmMain.h"
#include "modCLArgs.h"
#include "modWebLaunch.h"

#include <QApplication>

#include <algorithm>
#include <chrono>

namespace tallyglass {

namespace {

std::string trimSpaces(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

Seconds systemNow()
{
    return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

} // namespace

std::string CommandStringOf(const std::vector<std::string>& args)
{
    std::string command;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            command += ' ';
        const std::string& arg = args[i];
        if (arg.empty() || arg.find(' ') != std::string::npos)
            command += '"' + arg + '"';
        else
            command += arg;
    }
    return command;
}

std::vector<std::string> PathListOf(const std::vector<std::string>& args)
{
    const bool quoteInName = std::any_of(args.begin(), args.end(), [](const std::string& arg) {
        return arg.find('"') != std::string::npos;
    });
    if (quoteInName) {
        std::vector<std::string> list = args;
        list.emplace_back();
        return list;
    }
    return modCLArgs::SplitCommandLine(trimSpaces(CommandStringOf(args)));
}

void Form_Load(frmMain& window, const std::vector<std::string>& args, const Clock& now,
               const WebLauncher& launch)
{
    window.PathList = PathListOf(args);
    window.CurrentPath = window.PathList.front();
    CheckBulletin(now, launch);
    window.ExtractCurrentPath();
}

void RunProgram(int argc, char** argv, StartUpOptions options)
{
    // The application takes its own options (-platform and the like) out of argv; what is
    // left are our arguments, as the file system's bytes.
    auto owned = std::make_unique<QApplication>(argc, argv);
    QApplication& app = *owned;
    AdoptApplication(std::move(owned));
    ApplyApplicationLook(app);

    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    const WebLauncher launcher = options.launcher ? options.launcher : WebLauncher(modWebLaunch::LaunchWebPage);
    WindowServices services = SystemWindowServices(launcher);
    if (options.showMessage)
        services.showMessage = options.showMessage;

    // The window lives as long as the program, which ends only through EndProgramNow.
    auto* window = new frmMain(std::move(services));
    // A file on the command line is examined in the load sequence; the window comes up at the
    // extraction's first yield, with the file-system fields filled and the digests to come, so
    // a large file shows its progress. A refused path never reaches that yield, and its
    // message is the only window.
    window->ShowAtFirstYield();
    Form_Load(*window, args, options.now ? options.now : Clock(systemNow), launcher);
    window->show();
    // The window ends the program itself; should the loop ever return, the end is the same.
    EndProgramNow(app.exec());
}

} // namespace tallyglass
