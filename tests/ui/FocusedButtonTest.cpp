#include "WindowTestKit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tallyglass::test {
namespace {

// Enter presses the push button that has the focus, as Space does; Escape presses none, and
// Enter on a control that is not a button presses nothing either.
TEST(FocusedButton, EnterPressesItAndEscapeDoesNot)
{
    Recorder recorder;
    frmMain window{RecordingServices(recorder)};
    window.show();
    window.findChild<QLineEdit*>("txtTitle")->setText(QStringLiteral("A title"));
    const auto press = [&](const char* name, Qt::Key key) {
        auto* target = window.findChild<QWidget*>(QString::fromLatin1(name));
        target->setFocus();
        QTest::keyClick(target, key);
        Drain();
    };
    QClipboard* clipboard = QGuiApplication::clipboard();

    clipboard->setText(QStringLiteral("before"));
    for (const char* name : {"cmdCopyTitle", "cmdCopyAll", "cmdCopySelected", "cmdExit", "cmdBrowse", "txtTitle", "chkTitle"})
        press(name, Qt::Key_Escape);
    press("txtTitle", Qt::Key_Return);
    press("chkTitle", Qt::Key_Enter);
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));
    EXPECT_TRUE(recorder.endStatuses.empty());
    EXPECT_TRUE(recorder.dialogFileNames.empty());

    press("cmdCopyTitle", Qt::Key_Return);
    EXPECT_EQ(clipboard->text(), QStringLiteral("A title"));
    press("cmdCopySelected", Qt::Key_Return);
    EXPECT_EQ(clipboard->text(), QString()) << "nothing is ticked";
    press("cmdCopyAll", Qt::Key_Enter); // the keypad's Enter
    EXPECT_TRUE(clipboard->text().startsWith(QStringLiteral("File Name: \r\nTitle: A title\r\n")));
    press("cmdBrowse", Qt::Key_Return);
    EXPECT_EQ(recorder.dialogFileNames.size(), 1u);
    press("cmdExit", Qt::Key_Return);
    EXPECT_EQ(recorder.endStatuses, std::vector<int>{0});
}

} // namespace
} // namespace tallyglass::test
