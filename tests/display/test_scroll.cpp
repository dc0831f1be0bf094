#include "TrazorFixture.h"

#include <random>

class Scrolling : public TrazorFixture {
  protected:
    void fillBusySignal(int cells) {
        std::mt19937 random(7);
        for (int cell = 0; cell < cells; ++cell) {
            trazor->SetCellLow(cell, std::uint8_t(random()));
            trazor->SetCellHigh(cell, std::uint8_t(random()));
        }
    }
    // The picture a full refresh gives at the current position.
    QImage fullRefresh() {
        refresh();
        return trazor->Bitmap().copy();
    }
};

TEST_F(Scrolling, ScrollForwardAndBackMoveByCountAndRedraw) {
    fillBusySignal(400);
    trazor->Option().SetCellsPos(50);
    refresh();
    trazor->ScrollForward(1);
    EXPECT_EQ(trazor->Option().CellsPos(), 51);
    EXPECT_EQ(trazor->DrawMode(), 3);
    EXPECT_TRUE(trazor->Idle());
    QImage scrolled = trazor->Bitmap().copy();
    EXPECT_EQ(scrolled, fullRefresh());

    trazor->ScrollBack(200);
    EXPECT_EQ(trazor->Option().CellsPos(), 0);
    trazor->ScrollBack(1); // nothing before cell 0
    EXPECT_EQ(trazor->Option().CellsPos(), 0);
    trazor->ScrollForward(200);
    EXPECT_EQ(trazor->Option().CellsPos(), 200);
    scrolled = trazor->Bitmap().copy();
    EXPECT_EQ(scrolled, fullRefresh());
}

TEST_F(Scrolling, ForwardStopsAtTheBufferEnd) {
    trazor->Option().SetCellsPos(8192);
    trazor->ScrollForward(1);
    EXPECT_EQ(trazor->Option().CellsPos(), 8192);
}

TEST_F(Scrolling, ChangeTimeStepZoomsAndDrawsTheSignals) {
    fillBusySignal(100);
    trazor->ChangeTimeStep(+1);
    EXPECT_EQ(trazor->Option().TimeStep(), 11);
    EXPECT_EQ(trazor->DrawMode(), 3);
    EXPECT_EQ(trazor->VisibleCells(), 21);
    const QImage zoomed = trazor->Bitmap().copy();
    EXPECT_EQ(zoomed, fullRefresh());
    trazor->ChangeTimeStep(+92); // 103 is out of range: 10
    EXPECT_EQ(trazor->Option().TimeStep(), 10);
}

struct ShiftCase {
    const char* name;
    bool mainGeometry;
    int timeStep;
    int digits;
    int direction;
    int cellsPos;
};

void PrintTo(const ShiftCase& c, std::ostream* os) {
    *os << c.name;
}

class BitmapShift : public Scrolling, public ::testing::WithParamInterface<ShiftCase> {};

// With narrow cells a one-cell scroll moves the bitmap instead of drawing it
// all; the picture must be the one a full redraw gives.
TEST_P(BitmapShift, EqualsAFullRedraw) {
    const ShiftCase& c = GetParam();
    if (!c.mainGeometry) {
        trazor->LineOption().SetDefaults();
        trazor->LineOption().RecalcLines(10);
    }
    trazor->Option().SetCopyMode(c.timeStep);
    trazor->Option().SetTimeStep(c.timeStep);
    trazor->Option().SetDigits(c.digits);
    trazor->Option().DigiName().Set(2, QStringLiteral("LONGNAME"));
    trazor->LineOption().SetText_length(8);
    fillBusySignal(1000);
    trazor->Option().SetCellsPos(c.cellsPos);
    refresh();
    if (c.direction == 1)
        trazor->ScrollForward(1);
    else
        trazor->ScrollBack(1);
    const QImage shifted = trazor->Bitmap().copy();
    EXPECT_EQ(trazor->DrawMode(), 3);
    EXPECT_EQ(trazor->Option().CellsPos(), c.cellsPos + (c.direction == 1 ? 1 : -1));
    const QImage full = fullRefresh();
    int differences = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x)
            differences += shifted.pixel(x, y) != full.pixel(x, y);
    EXPECT_EQ(differences, 0);
}

INSTANTIATE_TEST_SUITE_P(Scroll, BitmapShift,
                         ::testing::Values(ShiftCase{"MainForward", true, 4, 8, 1, 100},
                                           ShiftCase{"MainBack", true, 4, 8, 0, 100},
                                           ShiftCase{"MainBackToStart", true, 2, 16, 0, 1},
                                           ShiftCase{"DefaultForward", false, 3, 12, 1, 30},
                                           ShiftCase{"DefaultBack", false, 8, 4, 0, 30},
                                           ShiftCase{"WideCellsForward", true, 10, 8, 1, 7}),
                         [](const ::testing::TestParamInfo<ShiftCase>& info) {
                             return info.param.name;
                         });

TEST_F(Scrolling, PlacedMarkersScrollWithTheirCells) {
    trazor->Option().SetCopyMode(10);
    fillBusySignal(100);
    trazor->StoreMarkerPoint(1, 12);
    trazor->Option().SetCellsPos(10);
    refresh();
    trazor->ScrollForward(1);
    const QImage shifted = trazor->Bitmap().copy();
    EXPECT_EQ(shifted, fullRefresh());
    EXPECT_EQ(pixel(70 + 30, 100), colors::Green);
}

TEST_F(Scrolling, ShiftNeedsTheOldPositionsPictureOnTheBitmap) {
    trazor->Option().SetCopyMode(10);
    fillBusySignal(300);
    trazor->Option().SetCellsPos(10);
    refresh();
    // The scroll bar moves CellsPos before it scrolls.
    trazor->Option().SetCellsPos(100);
    trazor->ScrollForward(1);
    QImage scrolled = trazor->Bitmap().copy();
    EXPECT_EQ(scrolled, fullRefresh());

    trazor->ClearCells();
    trazor->ScrollBack(1);
    scrolled = trazor->Bitmap().copy();
    EXPECT_EQ(scrolled, fullRefresh());
}
