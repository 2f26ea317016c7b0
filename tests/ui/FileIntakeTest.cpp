#include "WindowTestKit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tallyglass::test {
namespace {

class FileIntake : public ::testing::Test {
protected:
    Files files;
    Recorder recorder;
    frmMain window{RecordingServices(recorder)};
    QString alpha = files.Make("alpha.txt", "alpha");
    QString bravo = files.Make("bravo.txt", "bravo");

    // Drops the files on the named control (or on the window) and waits for the extraction.
    bool dropOn(const char* name, const QStringList& paths)
    {
        QWidget* target = name ? window.findChild<QWidget*>(QString::fromLatin1(name)) : &window;
        EXPECT_NE(target, nullptr) << name;
        window.SetFieldText(FieldId::Sha256, "");
        const auto data = FileDrag(paths);
        if (!DragAndDrop(target, data.get()))
            return false;
        return Settle([&] { return Text(window, FieldId::Sha256).size() == 64; });
    }
};

TEST_F(FileIntake, DropAnywhereExaminesTheFile)
{
    const char* const targets[] = {"txtTitle", "chkAuthor", "frameOfficeData", "frameFSMetadata", "lblSHA1",
                                   "cmdCopyMD5", "cmdCopyAll", "imgLogo", "Shape1", nullptr};
    for (const char* target : targets) {
        window.SetFieldText(FieldId::FileName, "previous");
        window.SetFieldText(FieldId::Sha256, "");
        ASSERT_TRUE(dropOn(target, {alpha})) << (target ? target : "window");
        EXPECT_EQ(Text(window, FieldId::FileName), "alpha.txt") << (target ? target : "window");
        EXPECT_EQ(window.CurrentPath, Bytes(alpha));
        EXPECT_EQ(window.PathList, (std::vector<std::string>{Bytes(alpha), ""}));
    }
    EXPECT_EQ(Text(window, FieldId::MD5), DigestOfFile(DigestAlgorithm::MD5, Bytes(alpha)));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(FileIntake, ValueBoxDoesNotTakeTheDroppedUrlAsText)
{
    ASSERT_TRUE(dropOn("txtComments", {alpha}));
    EXPECT_EQ(Text(window, FieldId::Comments), "");
}

TEST_F(FileIntake, DropOfThreeFilesTakesTheFirst)
{
    const QString charlie = files.Make("charlie.txt", "charlie");
    ASSERT_TRUE(dropOn("txtFileSize", {bravo, alpha, charlie}));
    EXPECT_EQ(Text(window, FieldId::FileName), "bravo.txt");
    EXPECT_EQ(window.PathList, (std::vector<std::string>{Bytes(bravo), ""}));
}

TEST_F(FileIntake, DragWithoutAFileIsRefused)
{
    QMimeData text;
    text.setText(QStringLiteral("just words"));
    EXPECT_FALSE(DragAndDrop(window.findChild<QWidget*>("txtTitle"), &text));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://www.corvane.example/a.doc"))});
    EXPECT_FALSE(DragAndDrop(&window, &web));
    Drain();
    EXPECT_EQ(Text(window, FieldId::Title), "");
    EXPECT_TRUE(window.CurrentPath.empty());
}

TEST_F(FileIntake, DropOfAFolderIsRefusedAndEndsTheProgram)
{
    const auto data = FileDrag({files.Folder()});
    ASSERT_TRUE(DragAndDrop(&window, data.get()));
    ASSERT_TRUE(Settle([&] { return !recorder.endStatuses.empty(); }));
    EXPECT_EQ(recorder.endStatuses, std::vector<int>{1});
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].endsWith(files.Folder()));
    EXPECT_TRUE(window.Ended());
}

TEST_F(FileIntake, NameThatIsNotUtf8IsExaminedByItsBytes)
{
    const QByteArray folder = QFile::encodeName(files.Folder());
    const std::string path = folder.toStdString() + "/caf\xe9.txt";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("latin", f);
        std::fclose(f);
    }
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/uri-list"), "file://" + QByteArray(folder).toPercentEncoding("/") + "/caf%E9.txt\r\n");
    ASSERT_TRUE(DragAndDrop(window.findChild<QWidget*>("txtAuthor"), data.get()));
    ASSERT_TRUE(Settle([&] { return Text(window, FieldId::Sha256).size() == 64; }));
    EXPECT_EQ(window.CurrentPath, path);
    EXPECT_EQ(Text(window, FieldId::FileSize), "5");
    EXPECT_TRUE(recorder.messages.empty());
    // Shown as the file manager shows it, with the byte that is not UTF-8 replaced.
    EXPECT_TRUE(window.Row(FieldId::FileName).box->text().startsWith(QStringLiteral("caf")));
    // The temporary folder cannot remove a name that is not UTF-8 by itself.
    std::remove(path.c_str());
}

TEST_F(FileIntake, NameWithUrlCharactersArrivesUnchanged)
{
    const QString odd = files.Make(QStringLiteral("50% #1 ?a=b; Grüße [x].txt"), "odd");
    ASSERT_TRUE(dropOn("chkShared", {odd}));
    EXPECT_EQ(window.CurrentPath, Bytes(odd));
    EXPECT_EQ(Text(window, FieldId::FileName), "50% #1 ?a=b; Grüße [x].txt");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(FileIntake, SpacesAroundTheDroppedPathAreTrimmed)
{
    window.TakePath("  " + Bytes(alpha) + "  ");
    EXPECT_EQ(window.CurrentPath, Bytes(alpha));
    EXPECT_EQ(Text(window, FieldId::FileName), "alpha.txt");
}

TEST_F(FileIntake, BrowseRemembersTheLastFileConfirmed)
{
    auto* browse = window.findChild<QPushButton*>("cmdBrowse");

    // A first Browse cancelled examines nothing.
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_TRUE(window.CurrentPath.empty());
    EXPECT_EQ(window.PathList, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Text(window, FieldId::FileName), "");

    recorder.dialogAnswers.push_back(alpha);
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(Text(window, FieldId::FileName), "alpha.txt");

    ASSERT_TRUE(dropOn("txtTitle", {bravo}));
    EXPECT_EQ(Text(window, FieldId::FileName), "bravo.txt");

    // Cancelled later, the dialog still holds alpha, which is examined again.
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(Text(window, FieldId::FileName), "alpha.txt");
    EXPECT_EQ(window.PathList, (std::vector<std::string>{Bytes(alpha), ""}));
    EXPECT_EQ(recorder.dialogFileNames, (std::vector<QString>{QString(), QString(), alpha}));
}

TEST_F(FileIntake, TickBoxOnlyToggles)
{
    window.TakePath(Bytes(alpha));
    auto* tick = window.findChild<QCheckBox*>("chkTitle");
    QTest::mouseClick(tick, Qt::LeftButton, {}, tick->rect().center());
    EXPECT_TRUE(tick->isChecked());
    QTest::mouseClick(tick, Qt::LeftButton, {}, tick->rect().center());
    EXPECT_FALSE(tick->isChecked());
    EXPECT_EQ(Text(window, FieldId::FileName), "alpha.txt");
}

TEST_F(FileIntake, NewFileClearsValuesAndTicks)
{
    window.TakePath(Bytes(alpha));
    window.findChild<QCheckBox*>("chkMD5")->setChecked(true);
    window.findChild<QLineEdit*>("txtComments")->setText(QStringLiteral("typed"));
    window.TakePath(Bytes(bravo));
    EXPECT_FALSE(window.findChild<QCheckBox*>("chkMD5")->isChecked());
    EXPECT_EQ(Text(window, FieldId::Comments), "");
}

// A drop that arrives while a file is being examined starts a whole extraction at the first
// yield; the interrupted one then goes on with the new path, so the window ends up showing the
// second file throughout.
TEST_F(FileIntake, DropDuringAnExtractionTakesItOver)
{
    const auto data = FileDrag({bravo});
    QWidget* target = window.findChild<QWidget*>("txtTitle");
    ASSERT_TRUE(DragAndDrop(target, data.get()));
    // The drop is acknowledged at once, and its extraction waits for the event loop: the
    // first yield of the extraction below.
    EXPECT_TRUE(window.CurrentPath.empty());
    window.CurrentPath = Bytes(alpha);
    window.PathList = {Bytes(alpha), ""};
    window.ExtractCurrentPath();

    EXPECT_EQ(window.CurrentPath, Bytes(bravo));
    EXPECT_EQ(Text(window, FieldId::FileName), "bravo.txt");
    EXPECT_EQ(Text(window, FieldId::FileSize), "5");
    EXPECT_EQ(Text(window, FieldId::MD5), DigestOfFile(DigestAlgorithm::MD5, Bytes(bravo)));
    EXPECT_EQ(Text(window, FieldId::Sha1), DigestOfFile(DigestAlgorithm::SHA1, Bytes(bravo)));
    EXPECT_EQ(Text(window, FieldId::Sha256), DigestOfFile(DigestAlgorithm::SHA256, Bytes(bravo)));
}

TEST_F(FileIntake, RefusedPathShowsOneMessageAndEndsWithStatusOne)
{
    window.TakePath("/nonexistent/file.doc");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0], QStringLiteral("Invalid file path: /nonexistent/file.doc"));
    EXPECT_EQ(recorder.endStatuses, std::vector<int>{1});
    // Nothing happens in an ended window.
    window.TakePath(Bytes(alpha));
    EXPECT_EQ(Text(window, FieldId::FileName), "");
}

TEST_F(FileIntake, ExitAndCloseEndWithStatusZero)
{
    QTest::mouseClick(window.findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
    EXPECT_EQ(recorder.endStatuses, std::vector<int>{0});

    Recorder other;
    frmMain second(RecordingServices(other));
    second.show();
    second.close();
    EXPECT_EQ(other.endStatuses, std::vector<int>{0});
}

// Exit clicked while a digest is being computed ends the program at the next yield; the
// extraction never resumes.
TEST_F(FileIntake, ExitDuringAnExtractionStopsIt)
{
    QTimer::singleShot(0, &window, [this] { window.cmdExit_Click(); });
    window.TakePath(Bytes(alpha));
    EXPECT_EQ(recorder.endStatuses, std::vector<int>{0});
    EXPECT_EQ(Text(window, FieldId::MD5), "Calculating ...");
    EXPECT_EQ(Text(window, FieldId::Sha1), "Waiting ...");
}

} // namespace
} // namespace tallyglass::test
