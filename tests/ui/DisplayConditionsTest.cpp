#include "WindowTestKit.h"
#include "frmAbout.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tallyglass::test {
namespace {

double Luminance(QColor c)
{
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(QColor a, QColor b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A dark desktop palette: the band between the banners stays white like the pictures it joins,
// and a tick box's outline stands out from its ground as clearly as text does.
TEST(DisplayConditions, DarkPaletteKeepsTheBandWhiteAndTheTickBoxesVisible)
{
    const QPalette before = QApplication::palette();
    QPalette dark(QColor(0x2a, 0x2a, 0x2e), QColor(0x35, 0x35, 0x3a));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x22));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Mid, QColor(0x3a, 0x3a, 0x40));
    dark.setColor(QPalette::Dark, QColor(0x30, 0x30, 0x35));
    QApplication::setPalette(dark);
    {
        Recorder recorder;
        frmMain window{RecordingServices(recorder)};
        const QImage shot = window.grab().toImage();
        // Between the product banner (to x = 140) and the logo (from x = 400).
        for (int x : {141, 270, 399})
            for (int y : {0, 24, 47})
                EXPECT_EQ(shot.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;

        for (bool ticked : {false, true}) {
            auto* tick = window.findChild<QCheckBox*>("chkTitle");
            tick->setChecked(ticked);
            const QImage box = tick->grab().toImage();
            const QColor ground = box.pixelColor(3, 3);
            const QColor outline = box.pixelColor(0, box.height() / 2);
            EXPECT_EQ(ground, dark.color(QPalette::Base)) << ticked;
            EXPECT_GE(Contrast(outline, ground), 7.0) << ticked;
            if (ticked) {
                // The corner of the tick.
                const QPoint corner(int(0.42 * (box.width() - 1)), int(0.72 * (box.height() - 1)));
                EXPECT_GE(Contrast(box.pixelColor(corner), ground), 3.0);
            }
        }
    }
    QApplication::setPalette(before);
}

// At a device pixel ratio of two (run with QT_SCALE_FACTOR=2) the pictures are the drawings of
// twice the pixels, shown at the size of the 1x ones, and the layout holds.
TEST(DisplayConditions, TwiceTheDensityShowsTheDoubleArt)
{
    if (qApp->devicePixelRatio() < 2.0) {
        ASSERT_LT(qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(), 2.0) << "the scale factor did not take";
        GTEST_SKIP() << "run with QT_SCALE_FACTOR=2";
    }
    Recorder recorder;
    frmMain window{RecordingServices(recorder)};
    EXPECT_EQ(window.size(), QSize(601, 512));
    const std::pair<const char*, QSize> banners[] = {{"imgTallyglass", {140, 48}}, {"imgLogo", {204, 48}}};
    for (const auto& [name, size] : banners) {
        const QPixmap picture = window.findChild<QLabel*>(name)->pixmap();
        EXPECT_EQ(picture.devicePixelRatio(), 2.0) << name;
        EXPECT_EQ(picture.size(), size * 2) << name;
        EXPECT_EQ(picture.deviceIndependentSize().toSize(), size) << name;
    }
    const QPixmap glyph = window.findChild<QPushButton*>("cmdCopyTitle")->icon().pixmap(QSize(16, 16), 2.0);
    ASSERT_EQ(glyph.size(), QSize(32, 32));
    const QImage glyphImage = glyph.toImage();
    EXPECT_EQ(qAlpha(glyphImage.pixel(0, 0)), 0) << "the red ground is transparent";
    EXPECT_EQ(qAlpha(glyphImage.pixel(16, 16)), 255);

    frmAbout::ShowAbout({});
    const QPixmap about = frmAbout::Instance()->findChild<QLabel*>("imgAbout")->pixmap();
    EXPECT_EQ(about.size(), QSize(600, 600));
    EXPECT_EQ(about.devicePixelRatio(), 2.0);
    delete frmAbout::Instance();
}

} // namespace
} // namespace tallyglass::test
