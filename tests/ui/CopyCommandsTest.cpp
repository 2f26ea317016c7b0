#include "WindowTestKit.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tallyglass::test {
namespace {

class CopyCommands : public ::testing::Test {
protected:
    Recorder recorder;
    frmMain window{RecordingServices(recorder)};

    void click(const char* name) { QTest::mouseClick(window.findChild<QPushButton*>(name), Qt::LeftButton); }
    void tick(const char* name) { window.findChild<QCheckBox*>(name)->setChecked(true); }
    void type(const char* name, const QString& text) { window.findChild<QLineEdit*>(name)->setText(text); }

    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }
    static QStringList clipboardFormats() { return QGuiApplication::clipboard()->mimeData()->formats(); }
};

TEST_F(CopyCommands, CopyAllBeforeAnyFileHoldsTheLabelsAlone)
{
    click("cmdCopyAll");
    const QString expected = QStringLiteral(
        "File Name: \r\nTitle: \r\nAuthor: \r\nComments: \r\nApp Name: \r\nVersion: \r\n"
        "Date Created (OLE): \r\nDate Last Printed: \r\nDate Last Saved: \r\nTotal Edit Time: \r\n"
        "Template: \r\nShared: \r\nSubject: \r\nCategory: \r\nCompany: \r\nKeywords: \r\n"
        "Manager: \r\nLast Saved By: \r\nWord Count: \r\nPage Count: \r\nParagraph Count: \r\n"
        "Line Count: \r\nCharacter Count: \r\nCharacter Count (with spaces): \r\nByte Count: \r\n"
        "Presentation Format: \r\nSlide Count: \r\nNote Count: \r\nHidden Slides: \r\n"
        "Multimedia Clips: \r\nFile Path: \r\nCreated Date (FS): \r\nLast Modified (FS): \r\n"
        "Last Accessed (FS): \r\nFile Size: \r\nMD5 Hash: \r\nSHA-1 Hash: \r\nSHA-256 Hash: \r\n");
    EXPECT_EQ(clipboardText(), expected);
    EXPECT_EQ(clipboardFormats(), QStringList{QStringLiteral("text/plain")});
}

TEST_F(CopyCommands, CopySelectedTakesTheTickedRowsByTheirOddNames)
{
    type("txtLastSavedBy", QStringLiteral("Ann"));
    type("txtCharCountWithSpaces", QStringLiteral("1234"));
    type("txtAuthor", QStringLiteral("not ticked"));
    tick("chkCharCountSpaces");
    tick("chkLastSaveBy");
    tick("chkMD5");
    click("cmdCopySelected");
    EXPECT_EQ(clipboardText(), QStringLiteral("Last Saved By: Ann\r\nCharacter Count (with spaces): 1234\r\nMD5 Hash: \r\n"));
    // Copying leaves the selection as it was.
    EXPECT_TRUE(window.findChild<QCheckBox*>("chkLastSaveBy")->isChecked());
}

TEST_F(CopyCommands, CopySelectedWithNothingTickedPlacesTheEmptyText)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    type("txtTitle", QStringLiteral("Budget"));
    click("cmdCopySelected");
    EXPECT_EQ(clipboardText(), QString());
}

TEST_F(CopyCommands, AllTickedEqualsCopyAll)
{
    type("txtTitle", QStringLiteral("Ünïcödé: a\r\nsecond line"));
    for (QCheckBox* box : window.findChildren<QCheckBox*>())
        box->setChecked(true);
    click("cmdCopySelected");
    const QString selected = clipboardText();
    click("cmdCopyAll");
    EXPECT_EQ(selected, clipboardText());
    EXPECT_TRUE(selected.startsWith(QStringLiteral("File Name: \r\nTitle: Ünïcödé: a\r\nsecond line\r\nAuthor: ")));
}

TEST_F(CopyCommands, SingleCopyPlacesTheBareValue)
{
    type("txtPresentationFormat", QStringLiteral("On-screen Show (4:3)"));
    click("cmdCopyPresFormat");
    EXPECT_EQ(clipboardText(), QStringLiteral("On-screen Show (4:3)"));
    EXPECT_EQ(clipboardFormats(), QStringList{QStringLiteral("text/plain")});

    click("cmdCopySha256");
    EXPECT_EQ(clipboardText(), QString());
}

TEST_F(CopyCommands, CopyAfterAnExtractionCopiesTheShownValues)
{
    Files files;
    const QString path = files.Make("notes.txt", "hello");
    window.TakePath(Bytes(path));
    click("cmdCopyMD5");
    EXPECT_EQ(clipboardText(), QStringLiteral("5d41402abc4b2a76b9719d911017c592"));
    click("cmdCopyAll");
    EXPECT_TRUE(clipboardText().contains(QStringLiteral("\r\nFile Size: 5\r\nMD5 Hash: 5d41402abc4b2a76b9719d911017c592\r\n")));
}

} // namespace
} // namespace tallyglass::test
