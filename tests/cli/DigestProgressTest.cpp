#include "DigestProgress.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace tallyglass;

namespace {

std::string commandOutput(const std::string& command)
{
    std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    std::array<char, 4096> buffer{};
    std::size_t n;
    while (pipe && (n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0)
        out.append(buffer.data(), n);
    return out;
}

} // namespace

TEST(DigestProgress, LineTellsPercentSpeedAndTimeLeft)
{
    struct Case {
        const char* algorithm;
        std::uint64_t done, size;
        double seconds;
        const char* line;
    };
    const Case cases[] = {
        {"MD5", 0, 1000, 0.0, "MD5   0%  0.0 MB/s  --:-- left"},
        {"SHA-1", 250'000'000, 1'000'000'000, 0.5, "SHA-1  25%  500.0 MB/s  0:02 left"},
        {"SHA-256", 999'999'999, 1'000'000'000, 2.0, "SHA-256  99%  500.0 MB/s  0:00 left"},
        {"MD5", 1'000'000'000, 1'000'000'000, 4.0, "MD5 100%  250.0 MB/s  0:00 left"},
        {"MD5", 1'000'000, 10'000'000'000, 1.0, "MD5   0%  1.0 MB/s  2:46:39 left"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgressLineText(c.algorithm, c.done, c.size, c.seconds), c.line);
}

// The report tool on a large file: on a terminal the line of its one reading through the three
// digests comes and goes; elsewhere standard error holds the file's reason alone.
TEST(DigestProgress, ReportToolShowsTheLineOnATerminalOnly)
{
    if (std::system("command -v script >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "script (util-linux) is missing";
    char folder[] = "/tmp/tallyglass-progress-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string file = std::string(folder) + "/big.bin";
    ASSERT_EQ(std::system(("truncate -s 200M " + file).c_str()), 0);
    const std::string tool = TALLYGLASS_REPORT_TOOL;

    const std::string terminal =
        commandOutput("script -qec '" + tool + " " + file + " >/dev/null' /dev/null </dev/null");
    EXPECT_NE(terminal.find("\rMD5, SHA-1, SHA-256 "), std::string::npos) << terminal;
    EXPECT_EQ(terminal.find("\rSHA-256 "), std::string::npos);
    EXPECT_NE(terminal.find("MB/s"), std::string::npos);
    // The last line is erased before the file's reason (zeros are no document) is written.
    const std::string reason = "tallyglass-report: " + file + ": not a document of a known kind";
    const auto erased = terminal.rfind("\r\033[K");
    ASSERT_NE(erased, std::string::npos);
    EXPECT_EQ(terminal.substr(erased + 4), reason + "\r\n");

    const std::string piped = commandOutput(tool + " " + file + " 2>&1 >/dev/null");
    EXPECT_EQ(piped, reason + "\n");
    std::filesystem::remove_all(folder);
}
