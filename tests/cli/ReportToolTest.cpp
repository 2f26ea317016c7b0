#include "../core/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
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

ToolRun run(const std::string& arguments)
{
    std::string command = TALLYGLASS_REPORT_TOOL;
    command += ' ';
    command += arguments;
    command += " 2>/dev/null";
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
    EXPECT_NE(r.out.find(",\"Sha256\":\"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\"}\n"),
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
