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

} // namespace
} // namespace tallyglass
