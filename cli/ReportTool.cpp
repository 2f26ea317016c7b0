// tallyglass-report: examines files the way the window does and prints their reports.

#include "BatchProgress.h"
#include "BatchRunner.h"
#include "DigestProgress.h"
#include "Extraction.h"
#include "FileExamination.h"
#include "PathList.h"
#include "ReportOutput.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

using namespace tallyglass;

namespace {

constexpr int kUsageStatus = 2;
constexpr unsigned kMaxJobs = 256;

void printUsage(std::ostream& out)
{
    out << "Usage: tallyglass-report [OPTION]... [FILE]...\n"
           "Prints the file-system fields, digests and document properties of each FILE.\n"
           "  --json             one JSON object per file and line: the 38 texts keyed by field\n"
           "                     name, then Times, Values, CustomProperties, Diagnostics, Examined\n"
           "  --csv              a header row of the report labels and one row per file\n"
           "                     (RFC 4180, UTF-8, CR LF)\n"
           "  --dfxml            one Digital Forensics XML document for the whole run\n"
           "  --crlf             end lines with CR LF, exactly as the window's \"Copy All\" does\n"
           "  --files-from LIST  also examine the paths in LIST (\"-\" for standard input), one a\n"
           "                     line, in the place of this option among the FILEs\n"
           "  --null             the paths in LIST are separated by NUL bytes (find -print0)\n"
           "  --jobs N           examine N files at once (default 1); the output is the same\n"
           "  --help             show this text\n"
           "  --version          show the version\n"
           "Names and paths are bytes. Where one is not valid UTF-8, JSON and CSV show U+FFFD for\n"
           "each stray byte; the JSON object then adds FileNameBytes and FilePathBytes with the\n"
           "exact bytes in base64, and DFXML gives them in a tg:bytes attribute.\n"
           "Reasons why a document gave fewer values go to standard error, one a line:\n"
           "  tallyglass-report: FILE: damaged: ...\n"
           "Exit status: 0 when every file was examined, 1 when any was refused, 2 for bad usage.\n";
}

struct Options {
    ReportSettings report;
    unsigned jobs = 1;
    bool nul = false;
    // In command-line order: a path, or a list of paths to read.
    struct Source {
        std::string text;
        bool isList = false;
    };
    std::vector<Source> sources;
};

// Answers the exit status when the program is to stop here.
std::optional<int> parseOptions(int argc, char** argv, Options& options)
{
    options.report.commandLine.assign(argv, argv + argc);
    bool optionsDone = false;
    int formats = 0;
    const auto value = [&](int& i, const std::string& arg, std::string_view name) -> std::optional<std::string> {
        const std::string prefix = std::string(name) + "=";
        if (arg.rfind(prefix, 0) == 0)
            return arg.substr(prefix.size());
        if (i + 1 < argc)
            return std::string(argv[++i]);
        return std::nullopt;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsDone || arg == "-" || arg.size() < 2 || arg[0] != '-') {
            options.sources.push_back({arg, false});
        } else if (arg == "--") {
            optionsDone = true;
        } else if (arg == "--json") {
            options.report.format = ReportFormat::Json;
            ++formats;
        } else if (arg == "--csv") {
            options.report.format = ReportFormat::Csv;
            ++formats;
        } else if (arg == "--dfxml") {
            options.report.format = ReportFormat::Dfxml;
            ++formats;
        } else if (arg == "--crlf") {
            options.report.crlf = true;
        } else if (arg == "--null") {
            options.nul = true;
        } else if (arg == "--files-from" || arg.rfind("--files-from=", 0) == 0) {
            const auto list = value(i, arg, "--files-from");
            if (!list) {
                std::cerr << "tallyglass-report: --files-from needs a file, or - for standard input\n";
                return kUsageStatus;
            }
            options.sources.push_back({*list, true});
        } else if (arg == "--jobs" || arg.rfind("--jobs=", 0) == 0) {
            const auto n = value(i, arg, "--jobs");
            char* end = nullptr;
            const unsigned long jobs = n ? std::strtoul(n->c_str(), &end, 10) : 0;
            if (!n || n->empty() || *end != '\0' || (*n)[0] == '-' || jobs < 1 || jobs > kMaxJobs) {
                std::cerr << "tallyglass-report: --jobs needs a number from 1 to " << kMaxJobs << "\n";
                return kUsageStatus;
            }
            options.jobs = unsigned(jobs);
        } else if (arg == "--help") {
            printUsage(std::cout);
            return 0;
        } else if (arg == "--version") {
            std::cout << "tallyglass-report " << TALLYGLASS_VERSION_TEXT << "\n";
            return 0;
        } else {
            std::cerr << "tallyglass-report: unknown option " << arg << "\n";
            printUsage(std::cerr);
            return kUsageStatus;
        }
    }
    if (formats > 1) {
        std::cerr << "tallyglass-report: choose one of --json, --csv and --dfxml\n";
        return kUsageStatus;
    }
    return std::nullopt;
}

// The paths to examine, lists read in their places. Answers false when a list cannot be read.
bool collectPaths(const Options& options, std::vector<std::string>& paths)
{
    for (const Options::Source& source : options.sources) {
        if (!source.isList) {
            paths.push_back(source.text);
            continue;
        }
        std::vector<std::string> listed;
        if (source.text == "-") {
            listed = ReadPathList(std::cin, options.nul);
        } else {
            std::ifstream in(source.text, std::ios::binary);
            if (!in) {
                std::cerr << "tallyglass-report: cannot read the list " << source.text << ": "
                          << std::strerror(errno) << "\n";
                return false;
            }
            listed = ReadPathList(in, options.nul);
        }
        paths.insert(paths.end(), std::make_move_iterator(listed.begin()), std::make_move_iterator(listed.end()));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");

    Options options;
    if (const auto stop = parseOptions(argc, argv, options))
        return *stop;
    std::vector<std::string> paths;
    if (!collectPaths(options, paths))
        return kUsageStatus;
    if (options.sources.empty()) {
        printUsage(std::cerr);
        return kUsageStatus;
    }

    ExtractionServices services = SystemServices();
    // The three digests of a file come from one reading of it.
    OnePassDigests onePass;
    services.digests = &onePass;
    // With one job a large file's digests show their progress on a terminal; with several at
    // once the batch line stands for them all.
    TerminalDigestProgress digestProgress(*services.digests, 2, "MD5, SHA-1, SHA-256");
    if (options.jobs == 1)
        services.digests = &digestProgress;
    const auto output = MakeReportOutput(std::cout, options.report);
    BatchProgress progress(paths.size(), StderrIsTerminal());
    int status = 0;

    // What a file leaves for the writing: its report already made, on the thread that examined
    // it, so that only the writing waits for the input order.
    struct Examined {
        std::optional<int> refusedStatus;
        std::string reasons;
        std::string piece;
    };
    output->begin(std::chrono::time_point_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now()));
    RunInOrder<Examined>(
        paths.size(), options.jobs,
        [&](std::size_t i) {
            const Examination e = ExamineFile(paths[i], services);
            Examined done;
            done.reasons = ReasonLines(e);
            if (e.refused)
                done.refusedStatus = e.status;
            else
                done.piece = output->piece(e);
            return done;
        },
        [&](std::size_t, Examined&& e) {
            progress.clearLine();
            std::cerr << e.reasons;
            if (e.refusedStatus)
                status = *e.refusedStatus;
            else
                output->add(e.piece);
            progress.fileDone();
        });
    output->end();

    std::cout.flush();
    if (!std::cout) {
        std::cerr << "tallyglass-report: the reports could not be written: " << std::strerror(errno) << "\n";
        return kRefusedPathStatus;
    }
    return status;
}
