#include "WindowTestKit.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <climits>

namespace tallyglass::test {
namespace {

class MainWindowLayout : public ::testing::Test {
protected:
    Recorder recorder;
    frmMain window{RecordingServices(recorder)};

    QRect geometryOf(const char* name)
    {
        auto* w = window.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w ? w->geometry() : QRect();
    }
};

TEST_F(MainWindowLayout, WindowIsFixedWithCloseBoxOnly)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Corvane Tallyglass"));
    EXPECT_EQ(window.minimumSize(), QSize(601, 512));
    EXPECT_EQ(window.maximumSize(), QSize(601, 512));
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window.windowType(), Qt::Window);
}

// Twips divided by 15, to the nearest pixel, relative to the frame of the row.
TEST_F(MainWindowLayout, OleFrameRowsSitAtTheirPlaces)
{
    EXPECT_EQ(geometryOf("txtTitle"), QRect(112, 37, 129, 19));
    EXPECT_EQ(geometryOf("lblTitle"), QRect(56, 41, 49, 17));
    EXPECT_EQ(geometryOf("cmdCopyTitle"), QRect(243, 36, 21, 20));
    EXPECT_EQ(geometryOf("chkTitle"), QRect(267, 40, 13, 13));
    EXPECT_EQ(geometryOf("lblFileName"), QRect(24, 21, 81, 17));
    EXPECT_EQ(geometryOf("txtCompany"), QRect(112, 297, 129, 19));
    EXPECT_EQ(geometryOf("lblKeywords"), QRect(288, 21, 113, 17));
    EXPECT_EQ(geometryOf("txtKeywords"), QRect(408, 17, 129, 19));
    EXPECT_EQ(geometryOf("txtMultimediaClips"), QRect(408, 297, 129, 19));
    EXPECT_EQ(geometryOf("cmdCopyPresFormat"), QRect(539, 216, 21, 20));
    EXPECT_EQ(geometryOf("chkMultimediaClips"), QRect(563, 300, 13, 13));
    EXPECT_EQ(geometryOf("chkLastSaveBy"), QRect(563, 60, 13, 13));
    EXPECT_EQ(geometryOf("lblCharCountWithSpaces"), QRect(288, 181, 113, 17));
}

TEST_F(MainWindowLayout, FileSystemFrameRowsSitAtTheirPlaces)
{
    EXPECT_EQ(geometryOf("lblFilePath"), QRect(8, 16, 97, 17));
    EXPECT_EQ(geometryOf("txtFilePath"), QRect(112, 12, 129, 19));
    EXPECT_EQ(geometryOf("cmdCopyFilePath"), QRect(243, 11, 21, 20));
    // Below its first row the left column's captions sit 20 twips higher.
    EXPECT_EQ(geometryOf("lblLastModified"), QRect(16, 55, 89, 17));
    EXPECT_EQ(geometryOf("txtLastModified"), QRect(112, 52, 129, 19));
    EXPECT_EQ(geometryOf("chkLastModified"), QRect(267, 55, 13, 13));
    EXPECT_EQ(geometryOf("lblSHA1"), QRect(288, 56, 113, 17));
    EXPECT_EQ(geometryOf("txtSha256"), QRect(408, 72, 129, 19));
    EXPECT_EQ(geometryOf("cmdCopySha256"), QRect(539, 71, 21, 20));
    EXPECT_EQ(geometryOf("chkSha256"), QRect(563, 75, 13, 13));
}

TEST_F(MainWindowLayout, FramesButtonsAndBannerSitAtTheirPlaces)
{
    EXPECT_EQ(geometryOf("frameOfficeData"), QRect(8, 48, 585, 321));
    EXPECT_EQ(geometryOf("frameFSMetadata"), QRect(8, 376, 585, 97));
    EXPECT_EQ(geometryOf("cmdExit"), QRect(240, 480, 81, 25));
    EXPECT_EQ(geometryOf("cmdBrowse"), QRect(328, 480, 81, 25));
    EXPECT_EQ(geometryOf("cmdCopyAll"), QRect(416, 480, 73, 25));
    EXPECT_EQ(geometryOf("cmdCopySelected"), QRect(496, 480, 97, 25));
    EXPECT_EQ(geometryOf("imgTallyglass"), QRect(0, 0, 140, 48));
    EXPECT_EQ(geometryOf("imgLogo"), QRect(400, 0, 204, 48));
    EXPECT_EQ(geometryOf("Shape1"), QRect(0, 0, 607, 49));
    EXPECT_EQ(window.findChild<QLabel*>("txtTitle"), nullptr);
    EXPECT_EQ(window.findChild<QGroupBox*>("frameOfficeData"), window.findChild<QLineEdit*>("txtTitle")->parent());
    EXPECT_EQ(window.findChild<QGroupBox*>("frameFSMetadata"), window.findChild<QLineEdit*>("txtMD5")->parent());
}

TEST_F(MainWindowLayout, ImagesLieInFrontOfTheBandAndTheFrameCoversItsLowestPixel)
{
    EXPECT_EQ(window.childAt(10, 10)->objectName(), QStringLiteral("imgTallyglass"));
    EXPECT_EQ(window.childAt(500, 10)->objectName(), QStringLiteral("imgLogo"));
    EXPECT_EQ(window.childAt(270, 20)->objectName(), QStringLiteral("Shape1"));
    EXPECT_EQ(window.childAt(270, 47)->objectName(), QStringLiteral("Shape1"));
    EXPECT_EQ(window.childAt(270, 48)->objectName(), QStringLiteral("frameOfficeData"));
    // The logo runs to the window's right edge and is clipped there.
    EXPECT_EQ(window.childAt(600, 10)->objectName(), QStringLiteral("imgLogo"));
}

TEST_F(MainWindowLayout, ControlsCarryTheirTextsAndNoneIsClipped)
{
    EXPECT_EQ(window.findChild<QGroupBox*>("frameOfficeData")->title(), QStringLiteral("OLE Metadata"));
    EXPECT_EQ(window.findChild<QGroupBox*>("frameFSMetadata")->title(), QStringLiteral("File System Metadata"));
    EXPECT_EQ(window.findChild<QLabel*>("lblCharCountWithSpaces")->text(), QStringLiteral("Chars (incl. spaces):"));
    EXPECT_EQ(window.findChild<QPushButton*>("cmdBrowse")->text(), QStringLiteral("Browse ..."));
    for (const FieldRow& row : FieldCatalogue()) {
        const FieldRowWidgets& w = window.Row(row.id);
        EXPECT_LE(w.label->fontMetrics().horizontalAdvance(w.label->text()), w.label->width()) << row.labelName;
        EXPECT_LE(w.label->fontMetrics().height(), w.label->height()) << row.labelName;
        EXPECT_TRUE(w.tick->text().isEmpty());
        EXPECT_TRUE(w.copy->text().isEmpty());
        EXPECT_FALSE(w.copy->icon().isNull());
        EXPECT_EQ(w.box->maxLength(), INT_MAX);
        EXPECT_TRUE(w.box->text().isEmpty());
        EXPECT_FALSE(w.box->isReadOnly());
        EXPECT_FALSE(w.tick->isChecked());
    }
    for (const char* name : {"cmdExit", "cmdBrowse", "cmdCopyAll", "cmdCopySelected"}) {
        auto* b = window.findChild<QPushButton*>(name);
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << name;
    }
}

TEST_F(MainWindowLayout, EveryControlUsesTheEightPointDialogFont)
{
    const QFontInfo info(window.findChild<QLabel*>("lblTitle")->font());
    EXPECT_EQ(info.family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(info.pointSize(), 8);
    EXPECT_EQ(window.findChild<QLineEdit*>("txtSha256")->font(), window.font());
    EXPECT_EQ(window.findChild<QPushButton*>("cmdCopyAll")->font(), window.font());
}

TEST_F(MainWindowLayout, NoButtonIsDefaultOrCancel)
{
    for (QPushButton* b : window.findChildren<QPushButton*>()) {
        EXPECT_FALSE(b->autoDefault()) << b->objectName().toStdString();
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
    }
}

TEST_F(MainWindowLayout, FileNameTickBoxHasTheFocusAndTabFollowsTheIndices)
{
    window.show();
    EXPECT_EQ(window.focusWidget(), window.findChild<QWidget*>("chkFileName"));

    // The controls that take the focus, in the order Tab visits them, from the File Name tick box.
    QStringList order;
    QWidget* w = window.findChild<QWidget*>("chkFileName");
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != window.findChild<QWidget*>("chkFileName"));

    ASSERT_EQ(order.size(), 38 * 3 + 4);
    const QStringList head = {
        "chkFileName", "chkTitle", "chkAuthor", "chkComments", "chkAppName", "chkVersion",
        "chkDateCreated", "chkDateLastPrinted", "chkDateLastSaved", "chkTotalEditTime",
        "chkTemplate", "chkShared", "chkSubject", "chkCategory", "chkCompany",
        "txtMultimediaClips", "txtHiddenSlides", "txtNoteCount"};
    EXPECT_EQ(order.mid(0, head.size()), head);
    // Tab index 31 is the file name's box, 76 its copy button, 106 the Keywords tick box.
    EXPECT_EQ(order.indexOf("txtFileName"), order.indexOf("txtKeywords") + 1);
    EXPECT_EQ(order.indexOf("cmdCopyFileName"), order.indexOf("txtTitle") + 1);
    EXPECT_EQ(order.indexOf("chkKeywords"), order.indexOf("cmdCopyMultimediaClips") + 1);
    const QStringList tail = {
        "chkMultimediaClips", "txtFilePath", "cmdCopyFilePath", "chkFilePath", "txtFileSize",
        "cmdCopyFileSize", "chkFileSize", "txtCreateDate", "cmdCopyCreateDate", "chkCreateDate",
        "txtLastModified", "cmdCopyLastModified", "chkLastModified", "txtLastAccessed",
        "cmdCopyLastAccessed", "chkLastAccessed", "txtMD5", "cmdCopyMD5", "chkMD5", "txtSha1",
        "cmdCopySha1", "chkSha1", "txtSha256", "cmdCopySha256", "chkSha256", "cmdCopyAll",
        "cmdCopySelected", "cmdExit", "cmdBrowse"};
    EXPECT_EQ(order.mid(order.size() - tail.size()), tail);
}

} // namespace
} // namespace tallyglass::test
