#include "display/TrazorGeometry.h"

#include <gtest/gtest.h>

using namespace trazor;

TEST(LineRows, MainWindowValuesGiveTheFirstRow) {
    const LineRows rows = computeLineRows(33, 6, 27, 10);
    EXPECT_EQ(rows[0].BaseY, 33);
    EXPECT_EQ(rows[0].LowY, 39);
    EXPECT_EQ(rows[0].HighY, 12);
    EXPECT_EQ(rows[0].TextY, 23);
    EXPECT_EQ(rows[7].LowY, 8 * 33 + 6);
    EXPECT_EQ(rows[31].BaseY, 32 * 33);
}

TEST(LineRows, DefaultsStepByTwentyPixels) {
    const LineRows rows = computeLineRows(20, 5, 15, 10);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(rows[r].LowY, 25 + 20 * r);
        EXPECT_EQ(rows[r].HighY, 10 + 20 * r);
    }
}

TEST(Scale, MainWindowAxisAndCells) {
    EXPECT_EQ(cellWidth(3, 10), 30);
    EXPECT_EQ(axisY(33, 8, 27), 291);
    const ScaleLayout layout = layoutScale(70, 10, 30, 772, 0);
    EXPECT_EQ(layout.visibleCells, 23);
    ASSERT_FALSE(layout.ticks.empty());
    EXPECT_EQ(layout.ticks.front().x, 70);
    EXPECT_EQ(layout.ticks.back().x, 770);
    for (const Tick& tick : layout.ticks) {
        const bool boundary = (tick.x - 70) % 30 == 0;
        EXPECT_EQ(tick.boundary, boundary) << tick.x;
        EXPECT_EQ(tick.halfHeight, boundary ? 5 : 2) << tick.x;
    }
    EXPECT_EQ(layout.ticks[1].x, 80);
}

namespace {
std::vector<std::int64_t> labelledCells(const ScaleLayout& layout) {
    std::vector<std::int64_t> cells;
    for (const Tick& tick : layout.ticks)
        if (tick.labelled) cells.push_back(tick.cell);
    return cells;
}
} // namespace

TEST(Scale, LabelsAtOriginAndEveryTenthCellUpToTenPixelSteps) {
    EXPECT_EQ(labelledCells(layoutScale(70, 10, 30, 772, 0)),
              (std::vector<std::int64_t>{0, 10, 20}));
    // The origin is always labelled; after it only multiples of ten.
    EXPECT_EQ(labelledCells(layoutScale(70, 10, 30, 772, 250)),
              (std::vector<std::int64_t>{250, 260, 270}));
    EXPECT_EQ(labelledCells(layoutScale(70, 10, 30, 772, 3)),
              (std::vector<std::int64_t>{3, 10, 20}));
}

TEST(Scale, StepsAboveTenPixelsLabelEveryCell) {
    const ScaleLayout layout = layoutScale(70, 11, 33, 772, 0);
    EXPECT_EQ(layout.visibleCells, 21); // boundaries 103 .. 763
    EXPECT_EQ(labelledCells(layout).size(), 22u);
}

TEST(Scale, NonPositiveStepsDrawNoTicksInsteadOfLooping) {
    EXPECT_TRUE(layoutScale(70, 0, 0, 772, 0).ticks.empty());
    EXPECT_TRUE(layoutScale(70, 10, 0, 772, 0).ticks.empty());
}

TEST(Snap, FirstBoundaryAtOrRightOfThePixel) {
    struct Case {
        int x, wantX, wantCells, wantH;
    };
    const Case cases[] = {
        {171, 190, 4, 2}, // the main window's example
        {70, 70, 0, 0},   // on the origin
        {10, 70, 0, 0},   // left of the origin: the origin
        {100, 100, 1, 5}, // on a boundary
        {101, 130, 2, 2},
        {221, 250, 6, 5}, // one cell right of 220, a multiple of 5 x TimeStep from the origin
    };
    for (const Case& c : cases) {
        const BoundarySnap snap = snapToBoundary(70, 30, 10, c.x);
        EXPECT_EQ(snap.x, c.wantX) << c.x;
        EXPECT_EQ(snap.cells, c.wantCells) << c.x;
        EXPECT_EQ(snap.h, c.wantH) << c.x;
    }
}

TEST(Snap, ZeroCellWidthDoesNotHang) {
    EXPECT_EQ(snapToBoundary(70, 0, 10, 500).cells, 0);
}
