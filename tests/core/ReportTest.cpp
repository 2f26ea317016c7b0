#include "Report.h"

#include <gtest/gtest.h>

using namespace tallyglass;

TEST(Report, CopyAllBeforeAnyFileHoldsEveryLabelAlone)
{
    const FieldTexts empty{};
    const std::string report = ReportAll(empty);
    EXPECT_EQ(report.substr(0, 13), "File Name: \r\n");
    EXPECT_EQ(report.substr(report.size() - 16), "SHA-256 Hash: \r\n");
    std::size_t lines = 0;
    for (std::size_t at = report.find("\r\n"); at != std::string::npos; at = report.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 38u);
    EXPECT_NE(report.find("Created Date (FS): \r\nLast Modified (FS): \r\n"), std::string::npos);
}

TEST(Report, CopySelectedTakesTheTickedRowsInCatalogueOrder)
{
    FieldTexts texts{};
    texts[std::size_t(FieldId::LastSavedBy)] = "Ann";
    texts[std::size_t(FieldId::CharCountWithSpaces)] = "42";
    texts[std::size_t(FieldId::Title)] = "not ticked";
    FieldTicks ticks{};
    EXPECT_EQ(ReportSelected(texts, ticks), "");

    ticks[std::size_t(FieldId::CharCountWithSpaces)] = true;
    ticks[std::size_t(FieldId::LastSavedBy)] = true;
    EXPECT_EQ(ReportSelected(texts, ticks), "Last Saved By: Ann\r\nCharacter Count (with spaces): 42\r\n");

    ticks.fill(true);
    EXPECT_EQ(ReportSelected(texts, ticks), ReportAll(texts));
}

TEST(Report, ValuesAreCopiedVerbatim)
{
    FieldTexts texts{};
    texts[std::size_t(FieldId::Comments)] = "two\r\nlines: with a colon ";
    FieldTicks ticks{};
    ticks[std::size_t(FieldId::Comments)] = true;
    EXPECT_EQ(ReportSelected(texts, ticks), "Comments: two\r\nlines: with a colon \r\n");
    EXPECT_EQ(ReportSelected(texts, ticks, "\n"), "Comments: two\r\nlines: with a colon \n");
}
