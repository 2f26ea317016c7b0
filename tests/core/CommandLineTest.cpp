#include "modCLArgs.h"

#include <gtest/gtest.h>

using tallyglass::modCLArgs::SplitCommandLine;
using List = std::vector<std::string>;

TEST(SplitCommandLine, TypicalCommandStrings)
{
    EXPECT_EQ(SplitCommandLine(""), (List{"", ""}));
    EXPECT_EQ(SplitCommandLine("report.doc"), (List{"report.doc", ""}));
    EXPECT_EQ(SplitCommandLine("\"/home/a b/c d.doc\""), (List{"/home/a b/c d.doc", ""}));
    EXPECT_EQ(SplitCommandLine("\"/a b.doc\" /c.xls"), (List{"/a b.doc", "/c.xls", ""}));
}

TEST(SplitCommandLine, EverySpaceOutsideQuotesClosesAToken)
{
    EXPECT_EQ(SplitCommandLine("a  b"), (List{"a", "", "b", ""}));
    EXPECT_EQ(SplitCommandLine(" "), (List{"", "", ""}));
    EXPECT_EQ(SplitCommandLine("a "), (List{"a", "", ""}));
}

TEST(SplitCommandLine, QuotesAreCountedNotPaired)
{
    EXPECT_EQ(SplitCommandLine("ab\"c d\"e"), (List{"abc de", ""}));
    EXPECT_EQ(SplitCommandLine("\"a b c"), (List{"a b c", ""}));
    EXPECT_EQ(SplitCommandLine("a\"\"b c"), (List{"ab", "c", ""}));
    EXPECT_EQ(SplitCommandLine("\"\""), (List{"", ""}));
    EXPECT_EQ(SplitCommandLine("x \"y z"), (List{"x", "y z", ""}));
}

TEST(SplitCommandLine, TabsAndOtherBytesAreOrdinaryCharacters)
{
    EXPECT_EQ(SplitCommandLine("a\tb"), (List{"a\tb", ""}));
    EXPECT_EQ(SplitCommandLine("caf\xC3\xA9 \xFF\xFE"), (List{"caf\xC3\xA9", "\xFF\xFE", ""}));
}

TEST(SplitCommandLine, AnyLengthIsAccepted)
{
    // Linux command lines run far past the 32,767 characters of a 16-bit position counter.
    const std::string longPath(100000, 'p');
    const List one = SplitCommandLine(longPath);
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0], longPath);

    std::string manyPaths;
    for (int i = 0; i < 40000; ++i)
        manyPaths += "a ";
    const List many = SplitCommandLine(manyPaths);
    EXPECT_EQ(many.size(), 40002u);
    EXPECT_EQ(many[39999], "a");
    EXPECT_EQ(many[40000], "");
}
