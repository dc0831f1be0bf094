#include "SignalRuns.h"
#include "display/ColumnSummary.h"
#include "display/ViewScale.h"

#include <gtest/gtest.h>

using namespace trazor;

// The main window's narrowest zoom step: 3 ticks of 2 pixels per cell.
constexpr int kNarrowest = 6;

TEST(ViewScaleTest, LadderPastTheNarrowestStep) {
    struct Case {
        int narrowest, level;
        ViewScale scale;
    };
    const Case cases[] = {
        {6, 1, {3, 1}}, {6, 2, {2, 1}},        {6, 3, {1, 1}}, {6, 4, {1, 2}},
        {6, 5, {1, 4}}, {6, 20, {1, 1 << 17}}, {6, 0, {3, 1}}, // below 1: level 1
        {2, 1, {1, 1}}, {2, 2, {1, 2}},        {1, 1, {1, 2}}, // only cells narrower than the step
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zoomOutScale(c.narrowest, c.level), c.scale) << c.narrowest << "/" << c.level;
        if (c.level >= 1) {
            EXPECT_EQ(zoomOutLevel(c.narrowest, c.scale), c.level);
        }
    }
    // A fitted scale between two levels counts as the coarser one.
    EXPECT_EQ(zoomOutLevel(kNarrowest, ViewScale{1, 3}), 5);
    EXPECT_EQ(zoomOutLevel(kNarrowest, ViewScale{1, 85000}), 20);
}

TEST(ViewScaleTest, FitShowsEveryCellInAsFewCellsPerColumnAsPossible) {
    struct Case {
        long long cells;
        int columns;
        ViewScale scale;
    };
    const Case cases[] = {
        {200, 793, {3, 1}},        {300, 793, {2, 1}},
        {793, 793, {1, 1}},        {794, 793, {1, 2}},
        {1 << 20, 793, {1, 1323}}, {1 << 26, 793, {1, 84627}},
        {0, 793, {3, 1}},          {5, 0, {1, 1}},
    };
    for (const Case& c : cases) {
        const ViewScale s = fitScale(c.cells, c.columns, kNarrowest);
        EXPECT_EQ(s, c.scale) << c.cells;
        if (c.columns > 0) {
            EXPECT_TRUE(showsAll(s, c.cells, c.columns)) << c.cells;
        }
    }
}

TEST(ViewScaleTest, CellsAndColumnsMapBothWays) {
    const ViewScale wide{3, 1}, packed{1, 1000};
    EXPECT_EQ(wide.cellsIn(793), 264);
    EXPECT_EQ(wide.columnsFor(264), 792);
    EXPECT_EQ(wide.cellsAt(5).first, 1);
    EXPECT_EQ(wide.cellsAt(5).last, 2);
    EXPECT_EQ(packed.cellsIn(793), 793000);
    EXPECT_EQ(packed.columnsFor(1999), 1);
    EXPECT_EQ(packed.columnsFor(-1), -1); // left of the origin
    EXPECT_EQ(packed.cellsAt(2).first, 2000);
    EXPECT_EQ(packed.cellsAt(2).last, 3000);
}

TEST(ColumnSummaryTest, EachColumnShowsHighLowOrToggling) {
    // Line 3: low 100, high 50, one low cell, high 49, low to the end.
    const SampleBuffer buffer =
        bufferFromRuns(3, {{false, 100}, {true, 50}, {false, 1}, {true, 49}, {false, 200}});
    SamplePyramid pyramid;
    pyramid.Build(buffer);
    const std::vector<SamplePyramid::Span> spans =
        summarizeColumns(buffer, pyramid, 0, ViewScale{1, 50}, 10);
    const ColumnLevel L = ColumnLevel::Low, H = ColumnLevel::High, T = ColumnLevel::Toggling;
    const ColumnLevel expected[] = {L, L, H, T, L, L, L, L, L, L}; // 8 and 9 lie past the end
    ASSERT_EQ(spans.size(), 10u);
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(levelOf(spans[std::size_t(c)], 3), expected[c]) << c;
    EXPECT_EQ(levelOf(spans[2], 0), L);

    // From another first cell and with wide cells, a column shows one cell.
    const std::vector<SamplePyramid::Span> wide =
        summarizeColumns(buffer, pyramid, 149, ViewScale{2, 1}, 6);
    const ColumnLevel wideExpected[] = {H, H, L, L, H, H};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(levelOf(wide[std::size_t(c)], 3), wideExpected[c]) << c;
}
