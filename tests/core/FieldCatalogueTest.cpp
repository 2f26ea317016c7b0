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
