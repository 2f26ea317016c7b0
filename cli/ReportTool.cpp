// tallyglass-report: examines files the way the window does and prints their reports.

#include "DigestProgress.h"
#include "Extraction.h"
#include "JsonText.h"
#include "Report.h"
#include "TableWindow.h"

#include <clocale>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

using namespace tallyglass;

namespace {

constexpr int kUsageStatus = 2;

void printUsage(std::ostream& out)
{
    out << "Usage: tallyglass-report [--json] [--crlf] FILE...\n"
           "Prints the file-system fields, digests and document properties of each FILE.\n"
           "  --json     one JSON object per file and line, keyed by field name\n"
           "  --crlf     end lines with CR LF, exactly as the window's \"Copy All\" does\n"
           "  --help     show this text\n"
           "  --version  show the version\n"
           "Exit status: 0 when every file was examined, 1 when any was refused, 2 for bad usage.\n";
}

std::string jsonLine(const TableWindow& window)
{
    std::string line = "{";
    for (const FieldRow& row : FieldCatalogue()) {
        if (row.position > 1)
            line += ",";
        line += JsonString(row.idName);
        line += ":";
        line += JsonString(window.text(row.id));
    }
    return line + "}";
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");

    bool json = false;
    bool crlf = false;
    bool optionsDone = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg == "--json") {
            json = true;
        } else if (!optionsDone && arg == "--crlf") {
            crlf = true;
        } else if (!optionsDone && arg == "--help") {
            printUsage(std::cout);
            return 0;
        } else if (!optionsDone && arg == "--version") {
            std::cout << "tallyglass-report " << TALLYGLASS_VERSION_TEXT << "\n";
            return 0;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            std::cerr << "tallyglass-report: unknown option " << arg << "\n";
            printUsage(std::cerr);
            return kUsageStatus;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        printUsage(std::cerr);
        return kUsageStatus;
    }

    ExtractionServices services = SystemServices();
    TerminalDigestProgress progress(*services.digests);
    services.digests = &progress;
    TableWindow window([](std::string_view message) {
        std::cerr << "tallyglass-report: " << message << "\n";
    });
    const std::string_view lineEnd = crlf ? "\r\n" : "\n";
    int status = 0;
    bool first = true;
    for (const std::string& file : files) {
        window.Reset();
        window.CurrentPath = file;
        window.PathList = {file, std::string()};
        ExtractFile(window, services);
        if (window.Ended()) {
            status = window.endStatus;
            continue;
        }
        if (json) {
            std::cout << jsonLine(window) << "\n";
        } else {
            if (!first)
                std::cout << lineEnd;
            std::cout << ReportAll(window.texts, lineEnd);
        }
        first = false;
    }
    std::cout.flush();
    return status;
}
