#include "TrazorFixture.h"

namespace {
constexpr TColor Blue = 0xFF0000;
constexpr TColor White = colors::White;
constexpr TColor Black = colors::Black;
constexpr int GX = 70, CW = 30, LowY = 39, HighY = 12, Axis = 291;
} // namespace

using Rendering = TrazorFixture;

TEST_F(Rendering, MainWindowGeometry) {
    EXPECT_EQ(trazor->Bitmap().size(), QSize(772, 390));
    EXPECT_EQ(trazor->LineOption().Row(0).LowY, LowY);
    EXPECT_EQ(trazor->LineOption().Row(0).HighY, HighY);
    EXPECT_EQ(trazor->LineOption().Row(0).TextY, 23);
    EXPECT_EQ(trazor->VisibleCells(), 23);
}

TEST_F(Rendering, StrokesLeaveOutTheirEndPoint) {
    struct Case {
        int x1, y1, x2, y2;
        QPoint first, last, excluded;
    };
    const Case cases[] = {
        {10, 10, 20, 10, {10, 10}, {19, 10}, {20, 10}},
        {20, 12, 10, 12, {20, 12}, {11, 12}, {10, 12}},
        {5, 20, 5, 30, {5, 20}, {5, 29}, {5, 30}},
        {6, 30, 6, 20, {6, 30}, {6, 21}, {6, 20}},
        {30, 30, 40, 40, {30, 30}, {39, 39}, {40, 40}},
    };
    for (const Case& c : cases) {
        trazor->DrawLine(c.x1, c.y1, c.x2, c.y2, Blue);
        EXPECT_EQ(pixel(c.first.x(), c.first.y()), Blue) << c.x1 << "," << c.y1;
        EXPECT_EQ(pixel(c.last.x(), c.last.y()), Blue) << c.x1 << "," << c.y1;
        EXPECT_EQ(pixel(c.excluded.x(), c.excluded.y()), White) << c.x1 << "," << c.y1;
    }
    trazor->DrawLine(50, 50, 50, 50, Blue); // a stroke of no length paints nothing
    EXPECT_EQ(pixel(50, 50), White);
}

TEST_F(Rendering, AxisAndTicks) {
    trazor->Option().SetColorScale(Blue);
    EXPECT_EQ(pixel(9, Axis), White);
    EXPECT_EQ(pixel(10, Axis), Blue);
    EXPECT_EQ(pixel(771, Axis), Blue);
    // Long ticks at cell boundaries reach 5 pixels both ways, short ones 2.
    for (int x : {GX, GX + CW, 760}) {
        EXPECT_EQ(pixel(x, Axis - 5), Blue) << x;
        EXPECT_EQ(pixel(x, Axis + 5), Blue) << x;
        EXPECT_EQ(pixel(x, Axis - 6), White) << x;
        EXPECT_EQ(pixel(x, Axis + 6), White) << x;
    }
    for (int x : {GX + 10, GX + 20, 770}) {
        EXPECT_EQ(pixel(x, Axis - 2), Blue) << x;
        EXPECT_EQ(pixel(x, Axis + 2), Blue) << x;
        EXPECT_EQ(pixel(x, Axis - 3), White) << x;
        EXPECT_EQ(pixel(x, Axis + 3), White) << x;
    }
    // The legend's rule runs from x 5, 25 pixels below the axis.
    EXPECT_EQ(pixel(5, Axis + 25), Black);
    EXPECT_EQ(pixel(4, Axis + 25), White);
}

namespace {
// Whether anything is drawn where the label of the boundary at x would be:
// rotated text hangs from (x + 7, axis + 10) to the left.
bool labelAt(const QImage& image, int x) {
    for (int px = x - 6; px <= x + 7; ++px)
        for (int py = Axis + 11; py < Axis + 40; ++py)
            if (image.pixel(px, py) != qRgb(255, 255, 255)) return true;
    return false;
}
} // namespace

TEST_F(Rendering, LabelsAtTheOriginAndEveryTenthCellOrEveryCellAboveTenPixels) {
    trazor->DrawScale(0);
    const QImage& image = trazor->Bitmap();
    EXPECT_TRUE(labelAt(image, GX));
    EXPECT_FALSE(labelAt(image, GX + CW));
    EXPECT_FALSE(labelAt(image, GX + 9 * CW));
    EXPECT_TRUE(labelAt(image, GX + 10 * CW));
    EXPECT_TRUE(labelAt(image, GX + 20 * CW));

    trazor->Option().SetTimeStep(11);
    const int cw = 33;
    for (int cell = 0; cell <= 21; ++cell)
        EXPECT_TRUE(labelAt(trazor->Bitmap(), GX + cell * cw)) << cell;
}

TEST_F(Rendering, OneCellPulse) {
    setLine(5, 0, true);
    refresh();
    const int xs = GX + 5 * CW, xe = xs + CW;
    EXPECT_EQ(pixel(xs, LowY), Black); // rising edge from the low level
    EXPECT_EQ(pixel(xs, HighY + 1), Black);
    EXPECT_EQ(pixel(xs, HighY - 1), White);
    EXPECT_EQ(pixel(xs + 15, HighY), Black); // high level
    EXPECT_EQ(pixel(xe - 1, HighY), Black);
    EXPECT_EQ(pixel(xs + 15, LowY), White); // base line erased under the pulse
    EXPECT_EQ(pixel(xe, HighY), Black);     // falling edge
    EXPECT_EQ(pixel(xe, LowY - 1), Black);
    EXPECT_EQ(pixel(xe, LowY), Black); // base line goes on
    EXPECT_EQ(pixel(xs + 15, 25), White);
    EXPECT_EQ(pixel(xs - 15, HighY), White);
    EXPECT_EQ(pixel(xe + 15, HighY), White);
    EXPECT_TRUE(trazor->Idle());
}

TEST_F(Rendering, LineColouredLikeTheBackgroundIsHidden) {
    setLine(5, 0, true);
    setLine(5, 1, true);
    trazor->Option().DigiColor().Set(0, White);
    trazor->Option().DigiColor().Set(1, Blue);
    refresh();
    const int x = GX + 5 * CW + 15;
    EXPECT_EQ(pixel(x, HighY), White);
    EXPECT_EQ(pixel(GX + 2 * CW, LowY), White);
    EXPECT_EQ(pixel(x, trazor->LineOption().Row(1).HighY), Blue);
}

TEST_F(Rendering, RisingEdgeAtTheOriginOnlyAtTheStartOfTheBuffer) {
    for (int cell = 0; cell < 200; ++cell)
        setLine(cell, 8, true);
    const int highY = trazor->LineOption().Row(8).HighY;
    const int lowY = trazor->LineOption().Row(8).LowY;
    trazor->Option().SetDigits(9);
    refresh();
    EXPECT_EQ(pixel(GX, (highY + lowY) / 2), Black);
    EXPECT_EQ(pixel(GX + CW, (highY + lowY) / 2), White); // continuous high level
    EXPECT_EQ(pixel(GX + CW, highY), Black);
    trazor->Option().SetCellsPos(100);
    refresh();
    EXPECT_EQ(pixel(GX, (highY + lowY) / 2), White);
    EXPECT_EQ(pixel(GX, highY), Black);
}

TEST_F(Rendering, CellsBeyondTheBufferDrawLow) {
    trazor->LoadStream(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF});
    refresh();
    EXPECT_EQ(pixel(GX + 15, HighY), Black);
    EXPECT_EQ(pixel(GX + 2 * CW, HighY), Black); // falling edge after cell 1
    EXPECT_EQ(pixel(GX + 2 * CW + 15, HighY), White);
    EXPECT_EQ(pixel(GX + 2 * CW + 15, LowY), Black);
}

TEST_F(Rendering, BitmapFollowsTheWidgetSize) {
    trazor->resize(500, 300); // hidden: no resize event yet
    trazor->DrawScale(0);
    EXPECT_EQ(trazor->Bitmap().size(), QSize(500, 300));
    EXPECT_EQ(trazor->VisibleCells(), 14); // boundaries 100 .. 490
    trazor->SetBounds(0, 0, 772, 390);
    EXPECT_EQ(trazor->Bitmap().size(), QSize(772, 390));
    EXPECT_EQ(trazor->VisibleCells(), 23);
}
