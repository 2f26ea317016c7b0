#include "../core/TestFiles.h"

#include "TextBytes.h"
#include "TextForms.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

namespace {

struct ToolRun {
    std::string out;
    int status = -1;
};

// The paths in single quotes after the options, for the shell. Built by appending only: GCC 12
// takes a string literal joined to the front of a temporary string for overlapping copies.
std::string quoted(std::initializer_list<std::string> paths, const char* options = "")
{
    std::string out(options);
    for (const std::string& path : paths) {
        if (!out.empty())
            out += ' ';
        out += '\'';
        out += path;
        out += '\'';
    }
    return out;
}

ToolRun run(const std::string& arguments, const std::string& stderrTo = "/dev/null")
{
    std::string command = TALLYGLASS_REPORT_TOOL;
    command += ' ';
    command += arguments;
    command += " 2>";
    command += stderrTo;
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun result;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(ReportTool, PrintsTheFullReportOfEachFile)
{
    TempFolder folder;
    const std::string a = folder.write("a.txt", "abc");
    const std::string b = folder.write("b.txt", "");
    const ToolRun r = run(quoted({a, b}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("File Name: a.txt\nTitle: \n"), 0u);
    EXPECT_NE(r.out.find("MD5 Hash: 900150983cd24fb0d6963f7d28e17f72\n"), std::string::npos);
    // A blank line between the two reports, none at the end.
    EXPECT_NE(r.out.find("\n\nFile Name: b.txt\n"), std::string::npos);
    EXPECT_EQ(count(r.out, "\n"), 38u * 2 + 1);
    EXPECT_NE(r.out.find("File Size: 0\n"), std::string::npos);
}

TEST(ReportTool, CrlfGivesTheClipboardText)
{
    TempFolder folder;
    const std::string a = folder.write("a.txt", "abc");
    const ToolRun r = run(quoted({a}, "--crlf"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(count(r.out, "\r\n"), 38u);
    EXPECT_EQ(count(r.out, "\n"), 38u);
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "\r\n");
}

TEST(ReportTool, JsonLinesKeyedByFieldInCatalogueOrder)
{
    TempFolder folder;
    const std::string a = folder.write("q\"uote.txt", "abc");
    const ToolRun r = run(quoted({a, a}, "--json"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(count(r.out, "\n"), 2u);
    EXPECT_EQ(r.out.find("{\"FileName\":\"q\\\"uote.txt\",\"Title\":\"\","), 0u);
    EXPECT_NE(r.out.find(",\"Sha256\":\"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\",\"Times\":{"),
              std::string::npos);
    EXPECT_LT(r.out.find("\"MultimediaClips\""), r.out.find("\"FilePath\""));
}

TEST(ReportTool, ARefusedFileIsSkippedAndTheStatusSaysSo)
{
    TempFolder folder;
    const std::string a = folder.write("a.txt", "abc");
    const ToolRun r = run(quoted({(folder.path() / "missing").string(), a, folder.path().string()}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(count(r.out, "File Name: "), 1u);
    EXPECT_EQ(r.out.find("File Name: a.txt\n"), 0u);
}

TEST(ReportTool, Usage)
{
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("--bogus x").status, 2);
    const ToolRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: tallyglass-report"), std::string::npos);
    const ToolRun version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tallyglass-report 1.00\n");
}

namespace {

// The lines of a report that depend on where and when the fixture was checked out are masked;
// everything else (document properties, size, digests) must match the committed report.
std::string masked(const std::string& report)
{
    static const char* const kPlaceLines[] = {"File Path: ", "Created Date (FS): ", "Last Modified (FS): ",
                                              "Last Accessed (FS): "};
    std::string out;
    std::size_t start = 0;
    while (start < report.size()) {
        std::size_t end = report.find('\n', start);
        end = end == std::string::npos ? report.size() : end + 1;
        std::string line = report.substr(start, end - start);
        for (const char* label : kPlaceLines)
            if (line.rfind(label, 0) == 0)
                line.replace(std::strlen(label), std::string::npos, "*\n");
        out += line;
        start = end;
    }
    return out;
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(ReportTool, GoldenReportsOfRealDocuments)
{
    // Every "<document>.report" beside a fixture is that document's expected report, written in
    // LC_ALL=C.UTF-8 and TZ=UTC.
    std::size_t compared = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TALLYGLASS_TEST_DATA)) {
        if (entry.path().extension() != ".report")
            continue;
        const std::filesystem::path document = entry.path().parent_path() / entry.path().stem();
        ASSERT_TRUE(std::filesystem::exists(document)) << document;
        const ToolRun r = run(quoted({document.string()}));
        EXPECT_EQ(r.status, 0) << document;
        EXPECT_EQ(masked(r.out), readFile(entry.path())) << document;
        ++compared;
    }
    EXPECT_GE(compared, 6u);
}

namespace {

// Copies of the fixtures of the test data (schemas left out; copies, so that no other test's
// reading moves their access times), sorted, with a path that names nothing in the middle.
std::vector<std::string> corpusWithARefusedPath(const TempFolder& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TALLYGLASS_TEST_DATA)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".xsd")
            continue;
        const auto relative = std::filesystem::relative(entry.path(), TALLYGLASS_TEST_DATA);
        const auto copy = folder.path() / "corpus" / relative;
        std::filesystem::create_directories(copy.parent_path());
        std::filesystem::copy_file(entry.path(), copy);
        files.push_back(copy.string());
    }
    std::sort(files.begin(), files.end());
    files.insert(files.begin() + std::ptrdiff_t(files.size() / 2), "/nonexistent/refused.doc");
    return files;
}

std::string quoted(const std::string& path)
{
    std::string out = "'";
    for (const char c : path)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Everything that differs between two runs over the same files: the examination and start
// times, the command line and the resources used.
std::string withoutRunTimes(std::string out)
{
    static const std::regex kTimes(
        R"("Time":"[^"]*"|<start_time>[^<]*</start_time>|<command_line>[^<]*</command_line>|<rusage>[\s\S]*</rusage>)");
    return std::regex_replace(out, kTimes, "*");
}

} // namespace

TEST(ReportTool, ParallelJobsGiveTheBytesOfOneJob)
{
    TempFolder folder;
    const std::vector<std::string> files = corpusWithARefusedPath(folder);
    std::string list;
    for (const std::string& f : files)
        list += f + '\n';
    const std::string listFile = folder.write("list", list);
    for (const char* format : {"", "--json", "--csv", "--dfxml"}) {
        std::string one, oneErr;
        for (const char* jobs : {"1", "3"}) {
            const std::string err = (folder.path() / "err").string();
            const ToolRun r = run(std::string(format) + " --jobs " + jobs + " --files-from " + quoted(listFile), err);
            EXPECT_EQ(r.status, 1) << format << jobs;
            const std::string errText = readFile(err);
            EXPECT_NE(errText.find("Invalid file path: /nonexistent/refused.doc\n"), std::string::npos);
            if (one.empty()) {
                one = r.out;
                oneErr = errText;
                EXPECT_GT(r.out.size(), files.size() * 100) << format;
            } else {
                EXPECT_EQ(withoutRunTimes(r.out), withoutRunTimes(one)) << format;
                EXPECT_EQ(errText, oneErr) << format;
            }
        }
    }
}

TEST(ReportTool, FilesFromNulSeparatedNamesWithNewlinesAndCommandLinePaths)
{
    TempFolder folder;
    const std::string first = folder.write("first.txt", "1");
    const std::string odd = folder.write("two\nlines.txt", "2");
    const std::string spaced = folder.write(" spaced ", "3");
    const std::string last = folder.write("last.txt", "4");
    const std::string nulList = folder.write("list0", odd + std::string(1, '\0') + spaced + std::string(1, '\0'));
    const ToolRun r = run("--json " + quoted(first) + " --null --files-from " + quoted(nulList) + " " + quoted(last));
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> names;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        names.push_back(nlohmann::json::parse(line)["FileName"]);
    EXPECT_EQ(names, (std::vector<std::string>{"first.txt", "two\nlines.txt", " spaced ", "last.txt"}));

    // From standard input, one a line.
    const ToolRun piped = run("--json --files-from - < " + quoted(folder.write("lines", first + "\n\n" + last + "\n")));
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(count(piped.out, "\n"), 2u);

    EXPECT_EQ(run("--files-from " + quoted((folder.path() / "no-such-list").string())).status, 2);
    EXPECT_EQ(run("--jobs 0 " + quoted(first)).status, 2);
    EXPECT_EQ(run("--jobs x " + quoted(first)).status, 2);
    EXPECT_EQ(run("--json --csv " + quoted(first)).status, 2);
}

TEST(ReportTool, CsvReadsBackWithPythonsCsvModule)
{
    TempFolder folder;
    const std::vector<std::string> files = {
        folder.write("comma, \"quoted\"\nand a line.txt", "abc"),
        folder.write("r\xC3\xA9sum\xC3\xA9.txt", ""),
        std::string(TALLYGLASS_TEST_DATA) + "/ole/Bug45473.doc",
    };
    std::string args = "--csv";
    for (const std::string& f : files)
        args += " " + quoted(f);
    const std::string csv = (folder.path() / "out.csv").string();
    EXPECT_EQ(run(args + " > " + quoted(csv)).status, 0);
    const std::string raw = readFile(csv);
    EXPECT_EQ(count(raw, "\r\n"), 4u); // three rows and the header; the quoted LF is no row end

    // The rows as Python's csv module reads them, back as JSON; the window texts as JSON.
    const std::string script = folder.write("read.py",
        "import csv, json, sys\n"
        "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
        "    print(json.dumps(list(csv.reader(f))))\n");
    FILE* pipe = popen(("python3 " + quoted(script) + " " + quoted(csv)).c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0);
    const auto rows = nlohmann::json::parse(out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][0], "File Name");
    EXPECT_EQ(rows[0][30], "File Path");
    const ToolRun json = run(args.replace(0, 5, "--json"));
    std::istringstream lines(json.out);
    std::size_t row = 1;
    for (std::string line; std::getline(lines, line); ++row) {
        const auto object = nlohmann::ordered_json::parse(line);
        ASSERT_EQ(rows[row].size(), 38u);
        std::size_t column = 0;
        for (auto it = object.begin(); column < 38; ++it, ++column)
            EXPECT_EQ(rows[row][column], it.value()) << row << " " << it.key();
    }
    EXPECT_EQ(row, 4u);
}

TEST(ReportTool, DfxmlValidatesAgainstTheSchema)
{
    TempFolder folder;
    std::string args = "--dfxml";
    for (const std::string& f : corpusWithARefusedPath(folder))
        args += " " + quoted(f);
    args += " " + quoted(folder.write("r\xE9sum\xE9\r.txt", "x"));
    const std::string unreadable = folder.write("unreadable.txt", "x");
    ::chmod(unreadable.c_str(), 0);
    args += " " + quoted(unreadable);
    const std::string xml = (folder.path() / "out.dfxml").string();
    EXPECT_EQ(run(args + " > " + quoted(xml)).status, 1);
    const std::string text = readFile(xml);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dfxml ", 0), 0u);
    EXPECT_NE(text.find("<hashdigest type=\"SHA256\">2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a4881</hashdigest>"),
              std::string::npos);
    EXPECT_NE(text.find("tg:bytes=\"" + tallyglass::Base64(folder.path().string() + "/r\xE9sum\xE9\r.txt") + "\""), std::string::npos);
    const std::string schema = std::string(TALLYGLASS_TEST_DATA) + "/dfxml/dfxml.xsd";
    const std::string check = "xmllint --nonet --noout --schema " + quoted(schema) + " " + quoted(xml) + " 2>&1";
    FILE* pipe = popen(check.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << out;
}

TEST(ReportTool, TypedValuesAndTimesNameTheSameAsTheTexts)
{
    // For the golden documents: every typed value the model gives says what its text says, and
    // a date's ISO form names the instant its text names (the texts are written in TZ=UTC).
    std::size_t compared = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TALLYGLASS_TEST_DATA)) {
        if (entry.path().extension() != ".report")
            continue;
        const std::string document = (entry.path().parent_path() / entry.path().stem()).string();
        const ToolRun r = run("--json " + quoted(document));
        ASSERT_EQ(r.status, 0) << document;
        const auto j = nlohmann::json::parse(r.out);
        const auto sameInstant = [&](const std::string& iso, const std::string& text) {
            std::tm tm{};
            EXPECT_NE(strptime(iso.c_str(), "%Y-%m-%dT%H:%M:%S", &tm), nullptr) << iso;
            const std::chrono::sys_seconds when{std::chrono::seconds(timegm(&tm))};
            EXPECT_EQ(tallyglass::ParseDateText(text), when) << document << " " << iso << " " << text;
            ++compared;
        };
        for (const char* stamp : {"LastModified", "LastAccessed", "CreateDate"})
            if (!j["Times"][stamp].is_null())
                sameInstant(j["Times"][stamp], j[stamp]);
        for (const auto& [name, value] : j["Values"].items()) {
            const std::string text = j[name];
            if (value.is_string() && tallyglass::ParseDateText(text) && name.rfind("Date", 0) == 0)
                sameInstant(value, text);
            else if (value.is_string())
                EXPECT_EQ(value, text) << document << " " << name;
            else if (value.is_number_integer())
                EXPECT_EQ(std::to_string(value.get<long long>()), text) << document << " " << name;
            else if (value.is_boolean())
                EXPECT_EQ(value ? "True" : "False", text) << document << " " << name;
            else
                continue;
            ++compared;
        }
        for (const char* date : {"DateCreated", "DateLastSaved", "DateLastPrinted"})
            if (!j["Times"][date].is_null())
                sameInstant(j["Times"][date]["time"], j[date]);
    }
    EXPECT_GE(compared, 18u);
}
