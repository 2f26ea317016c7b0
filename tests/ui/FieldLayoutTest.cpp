#include "FieldLayout.h"

#include <gtest/gtest.h>

#include <set>

namespace tallyglass {
namespace {

TEST(FieldLayout, TabIndicesCoverTheWindowWithoutGapsOrRepeats)
{
    // The two frames and the four bottom buttons hold the indices the rows leave free.
    std::multiset<int> indices = {0, 121, 154, 155, 156, 157};
    for (const FieldRow& f : FieldCatalogue())
        for (const RowLayout& r = LayoutOf(f.id); int tab : {r.tabLabel, r.tabBox, r.tabCopy, r.tabTick})
            indices.insert(tab);
    ASSERT_EQ(indices.size(), 158u);
    int expected = 0;
    for (int tab : indices)
        EXPECT_EQ(tab, expected++);
}

TEST(FieldLayout, GeometryOfRowsInEachFrameAndColumn)
{
    // File Name: first row of the document frame's left column.
    RowGeometry g = GeometryOf(FieldId::FileName);
    EXPECT_EQ(g.box, (Rect{1680, 255, 1935, 285}));
    EXPECT_EQ(g.label, (Rect{360, 315, 1215, 255}));
    EXPECT_EQ(g.copy, (Rect{3645, 240, 315, 300}));
    EXPECT_EQ(g.tick, (Rect{4005, 300, 195, 195}));

    // Company: last row of the left column; labels of the left column end at 1575.
    g = GeometryOf(FieldId::Company);
    EXPECT_EQ(g.box, (Rect{1680, 255 + 14 * 300, 1935, 285}));
    EXPECT_EQ(g.label.left + g.label.width, 1575);

    // Multimedia Clips: last row of the right column; right labels span 4320 to 6015.
    g = GeometryOf(FieldId::MultimediaClips);
    EXPECT_EQ(g.box, (Rect{6120, 4455, 1935, 285}));
    EXPECT_EQ(g.label, (Rect{4320, 4515, 1695, 255}));
    EXPECT_EQ(g.copy, (Rect{8085, 4440, 315, 300}));
    EXPECT_EQ(g.tick, (Rect{8445, 4500, 195, 195}));

    // File Path: first row of the file-system frame.
    g = GeometryOf(FieldId::FilePath);
    EXPECT_EQ(g.box, (Rect{1680, 180, 1935, 285}));
    EXPECT_EQ(g.label, (Rect{120, 240, 1455, 255}));
    EXPECT_EQ(g.copy, (Rect{3640, 160, 315, 300}));
    EXPECT_EQ(g.tick, (Rect{4000, 220, 195, 195}));

    // Last Accessed: the file-system frame's left captions sit 40 below the box after row 0.
    g = GeometryOf(FieldId::LastAccessed);
    EXPECT_EQ(g.box.top, 1080);
    EXPECT_EQ(g.label.top, 1120);

    // SHA-256: last row of the file-system frame's right column.
    g = GeometryOf(FieldId::Sha256);
    EXPECT_EQ(g.box, (Rect{6120, 1080, 1935, 285}));
    EXPECT_EQ(g.label, (Rect{4320, 1140, 1695, 255}));
    EXPECT_EQ(g.copy, (Rect{8085, 1060, 315, 300}));
    EXPECT_EQ(g.tick, (Rect{8445, 1120, 195, 195}));
}

TEST(FieldLayout, ScreenOrderIsReportOrder)
{
    // Within each frame the rows fill the left column top to bottom, then the right one.
    const auto& rows = FieldCatalogue();
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const RowLayout& a = LayoutOf(rows[i - 1].id);
        const RowLayout& b = LayoutOf(rows[i].id);
        if (rows[i - 1].frame != rows[i].frame) {
            EXPECT_EQ(b.row, 0);
            continue;
        }
        if (a.column == b.column)
            EXPECT_EQ(b.row, a.row + 1) << rows[i].idName;
        else
            EXPECT_TRUE(a.column == Column::Left && b.row == 0) << rows[i].idName;
    }
}

} // namespace
} // namespace tallyglass
