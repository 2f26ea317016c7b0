#include "WindowTestKit.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tallyglass::test {
namespace {

using namespace std::chrono_literals;

// A digest that takes `duration` unless it is cancelled, reporting half of the file done.
class SlowDigests final : public DigestService {
public:
    std::chrono::milliseconds duration{5000};
    std::string HashFile(int, std::string&, int) override { return "not used"; }
    std::string HashFileWith(int algorithm, std::string&, int, const DigestOptions& options) override
    {
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < duration) {
            if (options.cancel && *options.cancel)
                return std::string(kDigestCancelledText);
            if (options.progress)
                options.progress(500, 1000);
            std::this_thread::sleep_for(5ms);
        }
        return "digest-" + std::to_string(algorithm);
    }
};

class DigestWhileWindowWorks : public ::testing::Test {
protected:
    Files files;
    Recorder recorder;
    SlowDigests inner;
    ResponsiveDigests digests{inner};
    frmMain window{RecordingServices(recorder, digests)};

    void SetUp() override
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    // A click as the window system delivers it: to the window, at the button's place.
    void clickAt(const char* name)
    {
        const QPoint at = window.findChild<QPushButton*>(name)->geometry().center();
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
    }
    static bool busyPointer()
    {
        return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
    }
    void examine() { window.TakePath(Bytes(files.Make("file.txt", "abc"))); }
};

TEST_F(DigestWhileWindowWorks, ExitEndsTheProgramDuringADigestAndCancelsIt)
{
    QString clipboardDuringDigest;
    QTimer::singleShot(300, &window, [&] {
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        clickAt("cmdCopyAll");
        clipboardDuringDigest = QGuiApplication::clipboard()->text();
        clickAt("cmdExit");
    });
    const auto start = std::chrono::steady_clock::now();
    examine();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    // Exit got through at once; the copy click was held back behind the digest.
    EXPECT_EQ(recorder.endStatuses, std::vector<int>{0});
    EXPECT_EQ(clipboardDuringDigest, QStringLiteral("before"));
    EXPECT_EQ(Text(window, FieldId::MD5), kDigestCancelledText);
    EXPECT_EQ(Text(window, FieldId::Sha1), "Waiting ...");
    EXPECT_FALSE(ResponsiveDigests::Computing());
}

TEST_F(DigestWhileWindowWorks, HeldClickRunsAtTheYieldAfterTheDigest)
{
    inner.duration = 700ms;
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTimer::singleShot(200, &window, [&] { clickAt("cmdCopyAll"); });
    // The copy button is pressed during MD5; the clipboard is looked at again during SHA-1.
    QString clipboardDuringSha1;
    QTimer::singleShot(1000, &window, [&] { clipboardDuringSha1 = QGuiApplication::clipboard()->text(); });
    examine();
    EXPECT_TRUE(clipboardDuringSha1.contains(QStringLiteral("MD5 Hash: digest-0\r\n")));
    EXPECT_TRUE(clipboardDuringSha1.contains(QStringLiteral("SHA-1 Hash: Waiting ...\r\n")));
    EXPECT_EQ(Text(window, FieldId::Sha256), "digest-2");
    EXPECT_TRUE(recorder.endStatuses.empty());
}

TEST_F(DigestWhileWindowWorks, LongDigestShowsItsFractionBehindTheUnchangedText)
{
    inner.duration = 1200ms;
    QLineEdit* md5 = window.findChild<QLineEdit*>("txtMD5");
    bool busyEarly = true;
    QTimer::singleShot(250, &window, [&] { busyEarly = busyPointer(); });
    QString text;
    QImage during;
    bool busy = false;
    QTimer::singleShot(900, &window, [&] {
        text = md5->text();
        busy = busyPointer();
        during = md5->grab().toImage();
    });
    examine();
    EXPECT_FALSE(busyEarly);
    EXPECT_TRUE(busy);
    EXPECT_EQ(text, "Calculating ...");
    // Half done: the left half is washed with the highlight colour, the right half is not.
    ASSERT_FALSE(during.isNull());
    // A line above the text, inside the frame.
    const int y = 3;
    const QColor base = md5->palette().color(QPalette::Base);
    const QColor left = during.pixelColor(during.width() / 8, y);
    const QColor right = during.pixelColor(during.width() * 7 / 8, y);
    EXPECT_EQ(right, base);
    EXPECT_NE(left, base);
    // After the digests the box is as before and the pointer comes back.
    const QImage after = md5->grab().toImage();
    EXPECT_EQ(after.pixelColor(after.width() / 8, y), base);
    EXPECT_TRUE(Settle([&] { return !busyPointer(); }));
}

} // namespace
} // namespace tallyglass::test
