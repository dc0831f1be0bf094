#include "ScriptedDesktop.h"
#include "display/TTrazor.h"

#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

// Runs with QT_SCALE_FACTOR=2 (set by the test's environment): a screen of
// twice the pixel density, as on a high-resolution monitor.
namespace {

TEST(HighDensityScreen, DiagramIsDrawnAtTheDevicePixelRatioWithItsGeometryUnchanged) {
    ScriptedDesktop desktop;
    QWidget owner;
    auto* trazor = new TTrazor(&owner, desktop);
    trazor->LineOption().Apply(TLineVariable::WindowLayout, 10);
    trazor->Option().SetCopyMode(0);
    trazor->SetBounds(0, 0, 772, 390);
    owner.resize(800, 400);
    owner.show();
    ASSERT_EQ(trazor->devicePixelRatioF(), 2.0) << "the test needs QT_SCALE_FACTOR=2";
    for (int cell = 0; cell < 40; cell += 2)
        trazor->SetCellLow(cell, 0xFF);
    trazor->DrawScale(0);
    trazor->DrawBaseLines();
    trazor->DrawSignals();

    const QImage& picture = trazor->Bitmap();
    EXPECT_EQ(picture.size(), QSize(1544, 780));
    EXPECT_EQ(picture.devicePixelRatio(), 2.0);
    EXPECT_EQ(trazor->size(), QSize(772, 390)) << "the geometry stays in logical pixels";

    // Line 0 is high in cell 0: its high level at y 12, from x 70 to 100
    // (logical), one logical pixel thick, is two device rows.
    const QRgb background = picture.pixel(2 * 80, 2 * 20);
    for (const int deviceRow : {24, 25})
        EXPECT_NE(picture.pixel(2 * 85, deviceRow), background) << deviceRow;
    EXPECT_EQ(picture.pixel(2 * 85, 23), background);
    EXPECT_EQ(picture.pixel(2 * 85, 26), background);

    // Text drawn at the device's density has detail finer than a logical
    // pixel: an upscaled picture would consist of uniform 2 x 2 blocks only.
    int detailed = 0;
    for (int y = 0; y + 1 < picture.height(); y += 2)
        for (int x = 0; x + 1 < picture.width(); x += 2) {
            const QRgb p = picture.pixel(x, y);
            if (picture.pixel(x + 1, y) != p || picture.pixel(x, y + 1) != p ||
                picture.pixel(x + 1, y + 1) != p)
                ++detailed;
        }
    EXPECT_GT(detailed, 100);
}

} // namespace
