#include "FieldCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using namespace tallyglass;

TEST(FieldCatalogue, ThirtyRowsInTheDocumentFrameAndEightInTheFileSystemFrame)
{
    const auto& rows = FieldCatalogue();
    ASSERT_EQ(rows.size(), 38u);
    const auto ole = std::count_if(rows.begin(), rows.end(), [](const FieldRow& r) { return r.frame == Frame::OLE; });
    EXPECT_EQ(ole, 30);
    EXPECT_EQ(rows.front().id, FieldId::FileName);
    EXPECT_EQ(rows.front().frame, Frame::OLE);
    EXPECT_EQ(rows[30].id, FieldId::FilePath);
    EXPECT_EQ(rows.back().id, FieldId::Sha256);
    for (std::size_t i = 30; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].frame, Frame::FS) << rows[i].idName;
}

TEST(FieldCatalogue, NamesFollowTheBoxNameButForTheIrregularOnes)
{
    std::set<std::string> names;
    for (const FieldRow& r : FieldCatalogue()) {
        EXPECT_EQ(r.boxName, "txt" + std::string(r.idName));
        EXPECT_EQ(CatalogueRow(r.id).position, r.position);
        EXPECT_EQ(FieldIdFromName(r.idName), r.id);
        for (auto name : {r.labelName, r.boxName, r.tickName, r.copyName})
            EXPECT_TRUE(names.insert(std::string(name)).second) << name << " appears twice";
    }
    const FieldRow& saved = CatalogueRow(FieldId::LastSavedBy);
    EXPECT_EQ(saved.tickName, "chkLastSaveBy");
    EXPECT_EQ(saved.copyName, "cmdCopyLastSavedBy");
    const FieldRow& spaces = CatalogueRow(FieldId::CharCountWithSpaces);
    EXPECT_EQ(spaces.labelName, "lblCharCountWithSpaces");
    EXPECT_EQ(spaces.tickName, "chkCharCountSpaces");
    EXPECT_EQ(spaces.copyName, "cmdCopyCharCountSpaces");
    EXPECT_EQ(CatalogueRow(FieldId::PresentationFormat).copyName, "cmdCopyPresFormat");
    EXPECT_EQ(CatalogueRow(FieldId::Sha1).labelName, "lblSHA1");
    EXPECT_EQ(CatalogueRow(FieldId::Sha256).labelName, "lblSha256");
    EXPECT_FALSE(FieldIdFromName("txtTitle").has_value());
}

TEST(FieldCatalogue, ReportLabelsEndInOneSpaceAndMarkTheirSource)
{
    for (const FieldRow& r : FieldCatalogue()) {
        ASSERT_GE(r.reportLabel.size(), 3u);
        EXPECT_EQ(r.reportLabel.substr(r.reportLabel.size() - 2), ": ") << r.idName;
        EXPECT_NE(r.reportLabel[r.reportLabel.size() - 3], ' ') << r.idName;
        EXPECT_EQ(r.caption.back(), ':') << r.idName;
    }
    EXPECT_EQ(CatalogueRow(FieldId::DateCreated).reportLabel, "Date Created (OLE): ");
    EXPECT_EQ(CatalogueRow(FieldId::DateCreated).caption, "Date Created:");
    EXPECT_EQ(CatalogueRow(FieldId::CreateDate).reportLabel, "Created Date (FS): ");
    EXPECT_EQ(CatalogueRow(FieldId::CreateDate).caption, "Created Date:");
    EXPECT_EQ(CatalogueRow(FieldId::LastModified).reportLabel, "Last Modified (FS): ");
    EXPECT_EQ(CatalogueRow(FieldId::LastAccessed).reportLabel, "Last Accessed (FS): ");
    EXPECT_EQ(CatalogueRow(FieldId::CharCountWithSpaces).reportLabel, "Character Count (with spaces): ");
    EXPECT_EQ(CatalogueRow(FieldId::CharCountWithSpaces).caption, "Chars (incl. spaces):");
}

TEST(FieldCatalogue, TabIndicesCoverTheWindowWithoutGapsOrRepeats)
{
    // The two frames and the four bottom buttons hold the indices the rows leave free.
    std::multiset<int> indices = {0, 121, 154, 155, 156, 157};
    for (const FieldRow& r : FieldCatalogue())
        for (int tab : {r.tabLabel, r.tabBox, r.tabCopy, r.tabTick})
            indices.insert(tab);
    ASSERT_EQ(indices.size(), 158u);
    int expected = 0;
    for (int tab : indices)
        EXPECT_EQ(tab, expected++);
}

TEST(FieldCatalogue, GeometryOfRowsInEachFrameAndColumn)
{
    // File Name: first row of the document frame's left column.
    RowGeometry g = GeometryOf(CatalogueRow(FieldId::FileName));
    EXPECT_EQ(g.box, (Rect{1680, 255, 1935, 285}));
    EXPECT_EQ(g.label, (Rect{360, 315, 1215, 255}));
    EXPECT_EQ(g.copy, (Rect{3645, 240, 315, 300}));
    EXPECT_EQ(g.tick, (Rect{4005, 300, 195, 195}));

    // Company: last row of the left column; labels of the left column end at 1575.
    g = GeometryOf(CatalogueRow(FieldId::Company));
    EXPECT_EQ(g.box, (Rect{1680, 255 + 14 * 300, 1935, 285}));
    EXPECT_EQ(g.label.left + g.label.width, 1575);

    // Multimedia Clips: last row of the right column; right labels span 4320 to 6015.
    g = GeometryOf(CatalogueRow(FieldId::MultimediaClips));
    EXPECT_EQ(g.box, (Rect{6120, 4455, 1935, 285}));
    EXPECT_EQ(g.label, (Rect{4320, 4515, 1695, 255}));
    EXPECT_EQ(g.copy, (Rect{8085, 4440, 315, 300}));
    EXPECT_EQ(g.tick, (Rect{8445, 4500, 195, 195}));

    // File Path: first row of the file-system frame.
    g = GeometryOf(CatalogueRow(FieldId::FilePath));
    EXPECT_EQ(g.box, (Rect{1680, 180, 1935, 285}));
    EXPECT_EQ(g.label, (Rect{120, 240, 1455, 255}));
    EXPECT_EQ(g.copy, (Rect{3640, 160, 315, 300}));
    EXPECT_EQ(g.tick, (Rect{4000, 220, 195, 195}));

    // Last Accessed: the file-system frame's left captions sit 40 below the box after row 0.
    g = GeometryOf(CatalogueRow(FieldId::LastAccessed));
    EXPECT_EQ(g.box.top, 1080);
    EXPECT_EQ(g.label.top, 1120);

    // SHA-256: last row of the file-system frame's right column.
    g = GeometryOf(CatalogueRow(FieldId::Sha256));
    EXPECT_EQ(g.box, (Rect{6120, 1080, 1935, 285}));
    EXPECT_EQ(g.label, (Rect{4320, 1140, 1695, 255}));
    EXPECT_EQ(g.copy, (Rect{8085, 1060, 315, 300}));
    EXPECT_EQ(g.tick, (Rect{8445, 1120, 195, 195}));
}

TEST(FieldCatalogue, ScreenOrderIsReportOrder)
{
    // Within each frame the rows fill the left column top to bottom, then the right one.
    const auto& rows = FieldCatalogue();
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const FieldRow& a = rows[i - 1];
        const FieldRow& b = rows[i];
        if (a.frame != b.frame) {
            EXPECT_EQ(b.row, 0);
            continue;
        }
        if (a.column == b.column)
            EXPECT_EQ(b.row, a.row + 1) << b.idName;
        else
            EXPECT_TRUE(a.column == Column::Left && b.row == 0) << b.idName;
    }
}
