#include "StartUp.h"
#include "WindowTestKit.h"

#include <gtest/gtest.h>

namespace tallyglass {
namespace {

using Args = std::vector<std::string>;

TEST(CommandString, ArgumentsAreJoinedAsTheShellHandsThemOver)
{
    EXPECT_EQ(CommandStringOf({}), "");
    EXPECT_EQ(CommandStringOf({"/a/b.doc"}), "/a/b.doc");
    EXPECT_EQ(CommandStringOf({"/my docs/b.doc", "c.xls"}), "\"/my docs/b.doc\" c.xls");
    EXPECT_EQ(CommandStringOf({"a", "", "b"}), "a \"\" b");
}

TEST(CommandString, PathListHoldsThePathsAndOneEmptyElement)
{
    EXPECT_EQ(PathListOf({}), (Args{"", ""}));
    EXPECT_EQ(PathListOf({"/a/b.doc"}), (Args{"/a/b.doc", ""}));
    EXPECT_EQ(PathListOf({"/my docs/b.doc", "c.xls", "d"}), (Args{"/my docs/b.doc", "c.xls", "d", ""}));
    // The command string is trimmed of spaces as a whole; a quoted name keeps its own.
    EXPECT_EQ(PathListOf({" lead.doc"}), (Args{" lead.doc", ""}));
    EXPECT_EQ(PathListOf({"\t"}), (Args{"\t", ""}));
}

TEST(CommandString, NameWithADoubleQuoteIsTakenAsItIs)
{
    EXPECT_EQ(PathListOf({"say \"hi\".doc", "b"}), (Args{"say \"hi\".doc", "b", ""}));
    EXPECT_EQ(PathListOf({"a\"b"}), (Args{"a\"b", ""}));
}

class StartUp : public ::testing::Test {
protected:
    test::Files files;
    test::Recorder recorder;
    frmMain window{test::RecordingServices(recorder)};
    Clock now = [] { return Seconds(std::chrono::sys_days(std::chrono::year_month_day(
                                       std::chrono::year(2026), std::chrono::month(5), std::chrono::day(4)))); };
    WebLauncher launch = [this](const QString& url, int code) {
        recorder.launches.emplace_back(url, code);
        return 0;
    };
};

TEST_F(StartUp, SeveralArgumentsExamineTheFirst)
{
    const QString first = files.Make("first.txt", "one");
    const QString second = files.Make("second.txt", "two");
    Form_Load(window, {test::Bytes(first), test::Bytes(second)}, now, launch);
    EXPECT_EQ(window.PathList, (Args{test::Bytes(first), test::Bytes(second), ""}));
    EXPECT_EQ(window.CurrentPath, test::Bytes(first));
    EXPECT_EQ(test::Text(window, FieldId::FileName), "first.txt");
    EXPECT_EQ(test::Text(window, FieldId::Sha256).size(), 64u);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(StartUp, NameWithSpacesIsExamined)
{
    const QString spaced = files.Make("my report 2026.txt", "spaces");
    Form_Load(window, {test::Bytes(spaced)}, now, launch);
    EXPECT_EQ(test::Text(window, FieldId::FileName), "my report 2026.txt");
    EXPECT_EQ(window.PathList.size(), 2u);
}

TEST_F(StartUp, NameWithADoubleQuoteIsExaminedNotRefused)
{
    const QString quoted = files.Make("the \"final\" one.txt", "quote");
    Form_Load(window, {test::Bytes(quoted), "other"}, now, launch);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(test::Text(window, FieldId::FileName), "the \"final\" one.txt");
}

TEST_F(StartUp, NoArgumentsLeaveTheWindowEmpty)
{
    Form_Load(window, {}, now, launch);
    EXPECT_TRUE(window.CurrentPath.empty());
    EXPECT_EQ(window.PathList, (Args{"", ""}));
    EXPECT_EQ(test::Text(window, FieldId::FileName), "");
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_TRUE(recorder.endStatuses.empty());
}

TEST_F(StartUp, RefusedPathShowsOneMessageAndEndsWithStatusOne)
{
    Form_Load(window, {"/nonexistent/file.doc"}, now, launch);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0], QStringLiteral("Invalid file path: /nonexistent/file.doc"));
    EXPECT_EQ(recorder.endStatuses, std::vector<int>{1});
    EXPECT_FALSE(window.isVisible());
}

// What the window looked like when each digest began.
class WatchingDigests final : public DigestService {
public:
    const frmMain* window = nullptr;
    std::vector<bool> visible;
    std::vector<std::string> sizeShown;
    std::string HashFile(int, std::string&, int) override
    {
        visible.push_back(window->isVisible());
        sizeShown.push_back(test::Text(*window, FieldId::FileSize));
        return "digest";
    }
};

TEST(StartUpShow, WindowComesUpAtTheFirstYieldWithTheFileSystemFieldsFilled)
{
    test::Files files;
    test::Recorder recorder;
    WatchingDigests digests;
    frmMain window{test::RecordingServices(recorder, digests)};
    digests.window = &window;
    const Clock now = [] { return Seconds(std::chrono::seconds(1'800'000'000)); };
    const WebLauncher launch = [](const QString&, int) { return 0; };

    window.ShowAtFirstYield();
    Form_Load(window, {test::Bytes(files.Make("shown.txt", "12345"))}, now, launch);
    EXPECT_EQ(digests.visible, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(digests.sizeShown, (std::vector<std::string>{"5", "5", "5"}));
    window.hide();

    // A refused path is told before any yield: the message is the only window.
    frmMain refused{test::RecordingServices(recorder, digests)};
    refused.ShowAtFirstYield();
    Form_Load(refused, {"/nonexistent/file.doc"}, now, launch);
    EXPECT_EQ(recorder.endStatuses, std::vector<int>{1});
    EXPECT_FALSE(refused.isVisible());
}

} // namespace
} // namespace tallyglass
