#include "display/ViewNavigation.h"

#include <gtest/gtest.h>

using namespace trazor;

namespace {
// The main window's diagram: origin at 70, TimeStep 10 (30-pixel cells), 23
// whole cells, a buffer of 1,048,576 cells.
ViewGeometry windowView(int cellsPos = 1000) {
    return ViewGeometry{cellsPos, 30, 70, 23, 1048576 - 23};
}
} // namespace

TEST(ViewNavigation, CellAndLineUnderThePointer) {
    const ViewGeometry view = windowView();
    struct CellCase {
        int x;
        std::optional<int> cell;
    };
    for (const CellCase& c : {CellCase{69, std::nullopt}, CellCase{70, 1000}, CellCase{99, 1000},
                              CellCase{100, 1001}, CellCase{771, 1023}})
        EXPECT_EQ(cellAtX(view, c.x), c.cell) << c.x;

    // Rows of 33 pixels, line 0 high at 12 and low at 39: the 6-pixel gap to
    // the next row's high level (45) is split 3 and 3.
    struct LineCase {
        int y, digits;
        std::optional<int> line;
    };
    for (const LineCase& c : {LineCase{8, 8, std::nullopt}, LineCase{9, 8, 0}, LineCase{41, 8, 0},
                              LineCase{42, 8, 1}, LineCase{272, 8, 7}, LineCase{273, 8, std::nullopt},
                              LineCase{273, 16, 8}, LineCase{-50, 8, std::nullopt}})
        EXPECT_EQ(lineAtY(c.y, 12, 33, 27, c.digits), c.line) << c.y;
}

TEST(ViewNavigation, ZoomKeepsTheCellUnderThePointer) {
    struct Case {
        int cellsPos, anchorX, newCellWidth, expected;
    };
    const Case cases[] = {
        {1000, 70, 33, 1000},   // pointer at the origin: the first cell stays first
        {1000, 400, 33, 1001},  // 11 cells at 30 px left of x=400 become 10 at 33 px
        {1000, 400, 27, 999},   // and 12 at 27 px
        {0, 400, 27, 0},        // never left of the buffer's start
        {1048553, 771, 300, 1048553}, // nor past the last position
    };
    for (const Case& c : cases) {
        const ViewGeometry view = windowView(c.cellsPos);
        const int anchorCell = *cellAtX(view, c.anchorX);
        const int pos = anchoredZoomPos(view, anchorCell, c.anchorX, c.newCellWidth);
        EXPECT_EQ(pos, c.expected) << c.cellsPos << " @" << c.anchorX;
        if (pos != 0 && pos != view.lastPos) {
            // The anchor stays under the pointer in the new geometry.
            ViewGeometry after = view;
            after.cellsPos = pos;
            after.cellWidth = c.newCellWidth;
            EXPECT_EQ(cellAtX(after, c.anchorX), anchorCell);
        }
    }
}

TEST(ViewNavigation, DragWheelEndAndFit) {
    const ViewGeometry view = windowView();
    struct DragCase {
        int pressX, x, pos;
    };
    for (const DragCase& c : {DragCase{400, 400, 1000}, DragCase{400, 429, 1000},
                              DragCase{400, 430, 999}, DragCase{400, 310, 1003},
                              DragCase{400, 371, 1000}, DragCase{100, 100000, 0}})
        EXPECT_EQ(dragPos(view, 1000, c.pressX, c.x), c.pos) << c.x;

    EXPECT_EQ(wheelCells(23), 2);
    EXPECT_EQ(wheelCells(3), 1);
    EXPECT_EQ(wheelCells(0), 1);

    EXPECT_EQ(endPos(1048576, 23), 1048553);
    EXPECT_EQ(endPos(10, 23), 0);
    EXPECT_EQ(clampPos(view, -5), 0);
    EXPECT_EQ(clampPos(view, 1LL << 40), view.lastPos);

    struct FitCase {
        int cells, step;
    };
    // 700 pixels of diagram, 3 ticks a cell.
    for (const FitCase& c : {FitCase{1048576, 2}, FitCase{117, 2}, FitCase{116, 2},
                             FitCase{77, 3}, FitCase{10, 23}, FitCase{2, 102}, FitCase{0, 2}})
        EXPECT_EQ(fitTimeStep(c.cells, 3, 700), c.step) << c.cells;
}

TEST(ViewNavigation, OverviewFrameAndClicks) {
    const OverviewScale scale{1048576, 864};
    const ViewGeometry view = windowView(0);
    struct FrameCase {
        int cellsPos, left, right;
    };
    // 23 cells are far below one column: the frame keeps two columns.
    for (const FrameCase& c : {FrameCase{0, 0, 2}, FrameCase{524288, 432, 434},
                               FrameCase{1048576, 862, 864}}) {
        const OverviewFrame f = overviewFrame(scale, c.cellsPos, 23);
        EXPECT_EQ(f.left, c.left) << c.cellsPos;
        EXPECT_EQ(f.right, c.right) << c.cellsPos;
    }
    // A short buffer spreads each cell over many columns.
    const OverviewScale small{100, 800};
    const OverviewFrame f = overviewFrame(small, 10, 23);
    EXPECT_EQ(f.left, 80);
    EXPECT_EQ(f.right, 272);
    EXPECT_EQ(small.cellAt(0), 0);
    EXPECT_EQ(small.cellAt(799), 99);
    EXPECT_EQ(small.cellAt(5000), 99);

    // A click centres the view on the cell under it.
    EXPECT_EQ(overviewPos(scale, view, 432), 524288 - 11);
    EXPECT_EQ(overviewPos(scale, view, 0), 0);
    EXPECT_EQ(overviewPos(scale, view, 863), 1047362 - 11);
}
