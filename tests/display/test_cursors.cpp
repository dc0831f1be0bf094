#include "display/CursorPair.h"
#include <gtest/gtest.h>

using namespace trazor;
using sampling::SamplePeriod;
using sampling::TimeBase;

namespace {
ViewGeometry view(int cellsPos, int cellWidth, int cellsPerColumn, int visibleCells) {
    ViewGeometry v;
    v.cellsPos = cellsPos;
    v.cellWidth = cellWidth;
    v.cellsPerColumn = cellsPerColumn;
    v.originX = 70;
    v.visibleCells = visibleCells;
    return v;
}
} // namespace

// Pixels to cell boundaries and back at a wide zoom step, one pixel per
// cell and zoomed-out views, with the clamping at both ends of the buffer.
TEST(CursorPairTest, PixelsAndCellBoundaries) {
    struct Case {
        const char* what;
        ViewGeometry view;
        int x;
        long long cells;
        long long cell; // boundary nearest to x
        int backX;      // where a cursor there is drawn
    };
    const Case cases[] = {
        {"30 px: on a boundary", view(100, 30, 1, 26), 70 + 60, 1000, 102, 130},
        {"30 px: left half rounds down", view(100, 30, 1, 26), 70 + 74, 1000, 102, 130},
        {"30 px: right half rounds up", view(100, 30, 1, 26), 70 + 75, 1000, 103, 160},
        {"1 px per cell", view(5, 1, 1, 700), 70 + 17, 1000, 22, 87},
        {"zoomed out: 4096 cells per column", view(1 << 20, 1, 4096, 700 * 4096), 70 + 10,
         64LL << 20, (1 << 20) + 40960, 80},
        {"left of the origin: first shown cell", view(100, 30, 1, 26), 20, 1000, 100, 70},
        {"clamped to the buffer's start", view(0, 30, 1, 26), 10, 1000, 0, 70},
        {"clamped to the buffer's end", view(990, 30, 1, 26), 70 + 600, 1000, 1000, 370},
    };
    for (const Case& c : cases) {
        const long long cell = cursorCellAtX(c.view, c.x, c.cells);
        EXPECT_EQ(cell, c.cell) << c.what;
        const std::optional<int> x = cursorX(c.view, cell);
        if (c.backX < 0)
            EXPECT_FALSE(x) << c.what;
        else
            EXPECT_EQ(x, c.backX) << c.what;
    }
}

TEST(CursorPairTest, GrabsTheNearerCursorWithinTheTolerance) {
    const ViewGeometry v = view(0, 10, 1, 70);
    CursorPair pair;
    pair.cells = {10, 12}; // x 170 and 190
    EXPECT_EQ(cursorNear(pair, v, 171, 3), 0);
    EXPECT_EQ(cursorNear(pair, v, 188, 3), 1);
    EXPECT_FALSE(cursorNear(pair, v, 180, 3));
    pair.cells = {10, 10}; // on top of each other: A first
    EXPECT_EQ(cursorNear(pair, v, 170, 3), 0);
    pair.cells = {std::nullopt, 500}; // B out of view
    EXPECT_FALSE(cursorNear(pair, v, 170, 3));
}

// Times carry as many decimals as one period needs, in the unit of the value.
TEST(CursorPairTest, TimesResolveOnePeriod) {
    struct Case {
        SamplePeriod period;
        long long cells;
        const char* text;
    };
    const Case cases[] = {
        {SamplePeriod::FromRateHz(1), 3, "3,00 s"},
        {SamplePeriod::FromRateHz(1), 0, "0,00 s"},
        {SamplePeriod::FromNanoseconds(10'000), 123'456, "1,23456 s"},
        {SamplePeriod::FromNanoseconds(10'000), 0, "0,00 µs"},
        {SamplePeriod::FromNanoseconds(10'000), 77, "770,00 µs"},
        {SamplePeriod::FromNanoseconds(50), 3, "150,00 ns"},
        {SamplePeriod::FromNanoseconds(50), 20'001, "1,00005 ms"},
        {SamplePeriod::FromNanoseconds(1), 1'234'567, "1,234567 ms"},
        {SamplePeriod::FromNanoseconds(1), 2'000'000'001LL, "2,000000001 s"},
        {SamplePeriod::FromPicoseconds(1), 2'000'000'000'001LL, "2,000000000 s"}, // at most nine
        {SamplePeriod::FromRateHz(20'000'000), 64LL << 20, "3,35544320 s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatCursorTime(TimeBase::Exact(c.period).SecondsAt(c.cells), c.period), c.text)
            << c.cells;
}

TEST(CursorPairTest, ReadoutGivesBothTimesTheDistanceAndItsInverse) {
    struct Case {
        SamplePeriod period;
        std::optional<long long> a, b;
        const char* text;
    };
    const Case cases[] = {
        {SamplePeriod::FromNanoseconds(10'000), 100, 350,
         "A 1,00 ms | B 3,50 ms | Δt 2,50 ms | 1/Δt 400,00 Hz"},
        {SamplePeriod::FromNanoseconds(10'000), 350, 100, // B before A: the same distance
         "A 3,50 ms | B 1,00 ms | Δt 2,50 ms | 1/Δt 400,00 Hz"},
        {SamplePeriod::FromRateHz(1), 2, 7, "A 2,00 s | B 7,00 s | Δt 5,00 s | 1/Δt 0,20 Hz"},
        {SamplePeriod::FromNanoseconds(50), 10, 10,
         "A 500,00 ns | B 500,00 ns | Δt 0,00 ns | 1/Δt –"},
        {SamplePeriod::FromNanoseconds(1), 0, 40,
         "A 0,00 ns | B 40,00 ns | Δt 40,00 ns | 1/Δt 25,00 MHz"},
        {SamplePeriod::FromNanoseconds(10'000), 5, std::nullopt,
         "A 50,00 µs | B – | Δt – | 1/Δt –"},
    };
    for (const Case& c : cases) {
        CursorPair pair;
        pair.cells = {c.a, c.b};
        EXPECT_EQ(cursorReadout(pair, TimeBase::Exact(c.period)).toStdString(), c.text);
    }
}
