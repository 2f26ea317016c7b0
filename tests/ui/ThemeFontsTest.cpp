#include "ApplicationLook.h"
#include "WindowTestKit.h"
#include "frmAbout.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tallyglass::test {
namespace {

// A platform theme such as qt6ct or Plasma's gives classes of controls fonts of their own. Here
// every class the windows use gets a 10-point serif, bold and wide, as a desktop font could be.
class ThemeFonts : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFont desktop(QStringLiteral("DejaVu Serif"));
        desktop.setStyleHint(QFont::Serif);
        desktop.setPointSize(10);
        desktop.setBold(true);
        desktop.setLetterSpacing(QFont::PercentageSpacing, 120);
        for (const char* cls : {"QWidget", "QPushButton", "QAbstractButton", "QLabel", "QLineEdit", "QCheckBox",
                                "QGroupBox", "QDialog", "QMessageBox"})
            QApplication::setFont(desktop, cls);
    }
    void TearDown() override
    {
        delete frmAbout::Instance();
        // The application's own font, set again, forgets every class font.
        QApplication::setFont(DialogFont());
    }

    static void ExpectDialogFont(QWidget* window)
    {
        const QFontInfo expected(DialogFont());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const QFontInfo info(w->font());
            EXPECT_EQ(info.family(), expected.family()) << w->objectName().toStdString();
            EXPECT_EQ(info.pointSize(), 8) << w->objectName().toStdString();
            EXPECT_FALSE(info.bold()) << w->objectName().toStdString();
        }
    }
    // A label's text fits its box: one line across, or wrapped within the height it has.
    static void ExpectFits(QLabel* label, int height)
    {
        ASSERT_NE(label, nullptr);
        const QFontMetrics metrics(label->font());
        if (label->wordWrap())
            EXPECT_LE(label->heightForWidth(label->width()), height) << label->objectName().toStdString();
        else
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width()) << label->objectName().toStdString();
        EXPECT_LE(metrics.height(), label->height()) << label->objectName().toStdString();
    }
    // A button's caption fits between the frame's margins.
    static void ExpectFits(QPushButton* button)
    {
        ASSERT_NE(button, nullptr);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width())
            << button->objectName().toStdString();
    }
};

TEST_F(ThemeFonts, MainWindowKeepsTheDialogFontAndNoCaptionIsClipped)
{
    Recorder recorder;
    frmMain window{RecordingServices(recorder)};
    ExpectDialogFont(&window);
    for (const FieldRow& row : FieldCatalogue())
        ExpectFits(window.Row(row.id).label, window.Row(row.id).label->height());
    for (const char* name : {"cmdCopyAll", "cmdCopySelected", "cmdExit", "cmdBrowse"})
        ExpectFits(window.findChild<QPushButton*>(QString::fromLatin1(name)));
}

TEST_F(ThemeFonts, AboutWindowKeepsTheDialogFontAndItsTextsFit)
{
    frmAbout::ShowAbout({});
    frmAbout* about = frmAbout::Instance();
    ExpectDialogFont(about);
    for (const char* name : {"lblVersion", "lblVersionVal", "lblLicense", "lblFreeware"}) {
        auto* label = about->findChild<QLabel*>(QString::fromLatin1(name));
        ExpectFits(label, label ? label->height() : 0);
    }
    // The notice ends above "Close", which lies over its lower right corner.
    auto* notice = about->findChild<QLabel*>(QStringLiteral("lblLicenseVal"));
    auto* close = about->findChild<QPushButton*>(QStringLiteral("cmdExit"));
    ASSERT_NE(close, nullptr);
    ExpectFits(notice, close->geometry().top() - notice->geometry().top());
    ExpectFits(close);
}

} // namespace
} // namespace tallyglass::test
