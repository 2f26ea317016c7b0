#include "ArtResources.h"
#include "CopyGlyph.h"
#include "ProgramIcon.h"
#include "WindowTestKit.h"
#include "frmAbout.h"

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using tallyglass::frmAbout;

namespace {

// Every test of this program shares one application object; whichever test needs it first makes it.
void EnsureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

struct LaunchLog {
    std::vector<std::pair<QString, int>> calls;
    tallyglass::WebLauncher Launcher()
    {
        return [this](const QString& url, int showCode) {
            calls.emplace_back(url, showCode);
            return -1; // a failing shell must not matter to the window
        };
    }
};

class AboutWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }

    void TearDown() override
    {
        // Each test starts without an About window, as the program does.
        delete frmAbout::Instance();
        QCoreApplication::processEvents();
    }

    template <typename T> static T* Child(const char* name)
    {
        T* widget = frmAbout::Instance()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    LaunchLog log;
};

TEST_F(AboutWindowTest, RepeatedShowsKeepOneWindowAndCloseHidesItWhereItWas)
{
    EXPECT_EQ(frmAbout::Instance(), nullptr);
    frmAbout::ShowAbout(log.Launcher());
    frmAbout* first = frmAbout::Instance();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());

    frmAbout::ShowAbout(log.Launcher());
    EXPECT_EQ(frmAbout::Instance(), first);
    EXPECT_EQ(QApplication::topLevelWidgets().count(first), 1);
    int aboutWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        aboutWindows += qobject_cast<frmAbout*>(w) != nullptr ? 1 : 0;
    EXPECT_EQ(aboutWindows, 1);

    first->move(first->pos() + QPoint(37, 21));
    const QPoint moved = first->pos();
    QTest::mouseClick(Child<QPushButton>("cmdExit"), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(frmAbout::Instance(), first) << "Close hides; it does not unload";
    EXPECT_FALSE(first->isVisible());

    frmAbout::ShowAbout(log.Launcher());
    EXPECT_EQ(frmAbout::Instance(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->pos(), moved);
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(AboutWindowTest, CloseBoxUnloadsAndTheNextShowMakesANewWindow)
{
    frmAbout::ShowAbout(log.Launcher());
    QPointer<frmAbout> first = frmAbout::Instance();
    ASSERT_TRUE(first);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(frmAbout::Instance(), nullptr);

    frmAbout::ShowAbout(log.Launcher());
    ASSERT_NE(frmAbout::Instance(), nullptr);
    EXPECT_TRUE(frmAbout::Instance()->isVisible());
}

TEST_F(AboutWindowTest, EscapeLeavesTheWindowOpenAndEnterPressesClose)
{
    frmAbout::ShowAbout(log.Launcher());
    frmAbout* about = frmAbout::Instance();
    auto* close = Child<QPushButton>("cmdExit");
    EXPECT_FALSE(close->isDefault());
    EXPECT_FALSE(close->autoDefault());
    QTest::keyClick(about, Qt::Key_Escape);
    QTest::keyClick(close, Qt::Key_Escape);
    QTest::keyClick(about, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(frmAbout::Instance(), about);
    EXPECT_TRUE(about->isVisible());

    // "Close" has the focus whenever the window is active, so Enter hides the window.
    QTest::keyClick(close, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(frmAbout::Instance(), about);
    EXPECT_FALSE(about->isVisible());
}

TEST_F(AboutWindowTest, ShowsAgainWhereTheUserMovedItAndAfterItsCloseBoxAtItsStart)
{
    frmAbout::ShowAbout(log.Launcher());
    frmAbout* about = frmAbout::Instance();
    const QPoint start = about->pos();
    // Moved as the window manager moves it, not by the program.
    const QPoint moved = start + QPoint(53, 31);
    about->windowHandle()->setFramePosition(moved);
    ASSERT_TRUE(tallyglass::test::Settle([&] { return about->pos() == moved; }));
    QTest::mouseClick(Child<QPushButton>("cmdExit"), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_FALSE(about->isVisible());

    frmAbout::ShowAbout(log.Launcher());
    QCoreApplication::processEvents();
    ASSERT_EQ(frmAbout::Instance(), about);
    EXPECT_EQ(about->pos(), moved);

    // Its close box unloads it: the next one starts where the first one started.
    about->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmAbout::ShowAbout(log.Launcher());
    QCoreApplication::processEvents();
    ASSERT_NE(frmAbout::Instance(), nullptr);
    EXPECT_EQ(frmAbout::Instance()->pos(), start);
}

TEST_F(AboutWindowTest, PictureOpensTheHomePageAndLabelsDoNothing)
{
    frmAbout::ShowAbout(log.Launcher());
    for (const char* name : {"lblVersion", "lblVersionVal", "lblLicense", "lblFreeware", "lblLicenseVal"})
        QTest::mouseClick(Child<QLabel>(name), Qt::LeftButton);
    EXPECT_TRUE(log.calls.empty());

    // The picture's emblem at the top, and its white lower part in the strip right of the labels.
    auto* picture = Child<QLabel>("imgAbout");
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(150, 60));
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(290, 200));
    ASSERT_EQ(log.calls.size(), 2u);
    for (const auto& [url, showCode] : log.calls) {
        EXPECT_EQ(url, QStringLiteral(TALLYGLASS_SITE "/"));
        EXPECT_EQ(showCode, 1);
    }
    EXPECT_TRUE(frmAbout::Instance()->isVisible()) << "the window stays open";

    // The right button is not a click.
    QTest::mouseClick(picture, Qt::RightButton, {}, QPoint(150, 60));
    EXPECT_EQ(log.calls.size(), 2u);
}

TEST_F(AboutWindowTest, LayoutTextsAndWindowKind)
{
    frmAbout::ShowAbout(log.Launcher());
    frmAbout* about = frmAbout::Instance();
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Corvane Tallyglass"));
    EXPECT_EQ(about->size(), QSize(300, 301));
    EXPECT_EQ(about->minimumSize(), about->maximumSize()) << "not resizable";
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(about->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(about->parentWidget(), nullptr) << "shown without an owner";
    EXPECT_FALSE(about->isModal());
    EXPECT_FALSE(about->testAttribute(Qt::WA_QuitOnClose)) << "must never keep the program alive";

    EXPECT_EQ(Child<QLabel>("lblVersionVal")->text(), QStringLiteral("1.00"));
    EXPECT_EQ(Child<QLabel>("lblFreeware")->text(), QStringLiteral("Free"));
    EXPECT_EQ(Child<QLabel>("lblVersion")->text(), QStringLiteral("Version:"));
    EXPECT_EQ(Child<QLabel>("lblLicense")->text(), QStringLiteral("License:"));
    EXPECT_EQ(Child<QPushButton>("cmdExit")->text(), QStringLiteral("Close"));

    // The two values form one right-aligned column ending at x = 3735 twips.
    for (const char* name : {"lblVersionVal", "lblFreeware"}) {
        auto* value = Child<QLabel>(name);
        EXPECT_EQ(value->geometry().right() + 1, 3735 / 15) << name;
        EXPECT_TRUE(value->alignment() & Qt::AlignRight) << name;
    }
    auto* picture = Child<QLabel>("imgAbout");
    EXPECT_EQ(picture->geometry(), QRect(0, 0, 300, 300));
    EXPECT_EQ(picture->pixmap().deviceIndependentSize().toSize(), QSize(300, 300));
    EXPECT_EQ(about->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).first(), picture)
        << "the picture lies behind every other control";

    // The notice must end above the "Close" button that lies over its lower right corner.
    auto* notice = Child<QLabel>("lblLicenseVal");
    EXPECT_TRUE(notice->wordWrap());
    EXPECT_FALSE(notice->text().isEmpty());
    const int room = Child<QPushButton>("cmdExit")->geometry().top() - notice->geometry().top();
    EXPECT_LE(notice->heightForWidth(notice->width()), room);

    // Only "Close" takes the focus.
    for (QWidget* child : about->findChildren<QWidget*>()) {
        if (child->objectName() == QStringLiteral("cmdExit"))
            EXPECT_NE(child->focusPolicy(), Qt::NoFocus);
        else
            EXPECT_EQ(child->focusPolicy(), Qt::NoFocus) << child->objectName().toStdString();
    }
}

TEST_F(AboutWindowTest, NeverKeepsTheProgramAlive)
{
    // A stand-in for the main window: when it closes, the event loop must end, whether the About
    // window is shown or hidden. A window some other test left open would keep the loop running,
    // so none is left visible.
    for (bool hidden : {false, true}) {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->hide();
        QWidget main;
        main.show();
        frmAbout::ShowAbout(log.Launcher());
        if (hidden)
            frmAbout::Instance()->hide();
        QTimer::singleShot(0, &main, &QWidget::close);
        QTimer stuck;
        stuck.setSingleShot(true);
        QObject::connect(&stuck, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        stuck.start(5000);
        EXPECT_EQ(QCoreApplication::exec(), 0) << (hidden ? "hidden" : "shown");
        delete frmAbout::Instance();
    }
}

TEST_F(AboutWindowTest, TakesNoDrops)
{
    frmAbout::ShowAbout(log.Launcher());
    frmAbout* about = frmAbout::Instance();
    EXPECT_FALSE(about->acceptDrops());
    for (QWidget* child : about->findChildren<QWidget*>())
        EXPECT_FALSE(child->acceptDrops()) << child->objectName().toStdString();
}

TEST(CopyGlyphTest, RedGroundIsTransparentAndTheSheetsAreNot)
{
    EnsureApplication();
    const QImage raw(QStringLiteral(":/images/copy.png"));
    ASSERT_EQ(raw.size(), QSize(16, 16));
    const QImage glyph = tallyglass::CopyGlyphPixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(glyph.size(), QSize(16, 16));
    int red = 0;
    int drawn = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool key = raw.pixel(x, y) == qRgb(255, 0, 0);
            EXPECT_EQ(qAlpha(glyph.pixel(x, y)), key ? 0 : 255) << x << "," << y;
            (key ? red : drawn) += 1;
        }
    }
    // The ground's corner and the sheets in the middle.
    EXPECT_EQ(raw.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(glyph.pixel(0, 0)), 0);
    EXPECT_GT(red, 0);
    EXPECT_GT(drawn, 40);
    EXPECT_FALSE(tallyglass::CopyGlyph().isNull());
}

TEST(ArtTest, PicturesHaveTheirSizesAndNoAlpha)
{
    EnsureApplication();
    tallyglass::InitArtResources();
    const std::pair<const char*, QSize> pictures[] = {{":/images/banner.png", {140, 48}},
                                                      {":/images/logo.png", {204, 48}},
                                                      {":/images/about.png", {300, 300}},
                                                      {":/images/copy.png", {16, 16}}};
    for (const auto& [path, size] : pictures) {
        const QImage image{QString::fromLatin1(path)};
        EXPECT_EQ(image.size(), size) << path;
        EXPECT_FALSE(image.hasAlphaChannel()) << path;
    }
    // The labels lie on the lower half of the About picture, which must be plain white.
    const QImage about(QStringLiteral(":/images/about.png"));
    int notWhite = 0;
    for (int y = 150; y < about.height(); ++y)
        for (int x = 0; x < about.width(); ++x)
            notWhite += about.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
    EXPECT_EQ(notWhite, 0);
}

TEST(ArtTest, IconComesInEveryDrawnSize)
{
    EnsureApplication();
    const QIcon icon = tallyglass::ProgramIcon();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        EXPECT_EQ(icon.pixmap(size).size(), QSize(size, size)) << size;
    }
}

TEST(ArtTest, IconGroupHoldsFourSizesInThreeDepths)
{
    EnsureApplication();
    tallyglass::InitArtResources();
    QFile file(QStringLiteral(":/icons/tallyglass.ico"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray group = file.readAll();
    const auto u8 = [&](qsizetype at) { return static_cast<unsigned>(static_cast<unsigned char>(group.at(at))); };
    const auto u16 = [&](qsizetype at) { return u8(at) | u8(at + 1) << 8; };
    ASSERT_GE(group.size(), 6 + 12 * 16);
    EXPECT_EQ(u16(2), 1u) << "an icon, not a cursor";
    ASSERT_EQ(u16(4), 12u);
    // The directory: width, height, palette size, reserved, planes, bits per pixel, ...
    int entry = 0;
    for (unsigned size : {48u, 32u, 24u, 16u}) {
        for (unsigned bits : {4u, 8u, 32u}) {
            const qsizetype at = 6 + 16 * entry++;
            EXPECT_EQ(u8(at), size) << entry;
            EXPECT_EQ(u8(at + 1), size) << entry;
            EXPECT_EQ(u16(at + 6), bits) << entry;
        }
    }

    // Every image, the palette ones through their mask, leaves the corner outside the sheet clear.
    QImageReader reader(QStringLiteral(":/icons/tallyglass.ico"));
    if (!reader.canRead())
        GTEST_SKIP() << "no ICO reader among the image plug-ins";
    ASSERT_EQ(reader.imageCount(), 12);
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        const int last = image.width() - 1;
        EXPECT_EQ(qAlpha(image.pixel(last, 0)), 0) << i;
        EXPECT_EQ(qAlpha(image.pixel(last / 2, last / 2)), 255) << i;
    }
}

} // namespace
