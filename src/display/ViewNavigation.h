#pragma once

#include <optional>

// Where the diagram should go for a navigation move: plain arithmetic on
// positions (first shown cell), cell widths and pixels, kept apart from the
// widgets so it is checked without drawing.
namespace trazor {

// What the diagram shows and how: enough to place a move.
struct ViewGeometry {
    int cellsPos = 0;       // first shown cell
    int cellWidth = 1;      // pixels per cell (Line_length x TimeStep)
    int originX = 0;        // x of the first shown cell's left edge (Global_Xpos)
    int visibleCells = 0;   // whole cells right of the origin
    int lastPos = 0;        // the largest position the diagram takes
    int cellsPerColumn = 1; // cells sharing one pixel column in a zoomed-out view
};

// The buffer cell under pixel x; nullopt left of the origin.
std::optional<int> cellAtX(const ViewGeometry& view, int x);

// The line whose row holds pixel y, when it is one of the `digits` shown:
// rows are `lineDistance` high and centred on the trace, whose high level
// lies at `firstHighY` for line 0 and `lineMaxHigh` above its low level.
std::optional<int> lineAtY(int y, int firstHighY, int lineDistance, int lineMaxHigh, int digits);

// Clamped to 0 .. view.lastPos.
int clampPos(const ViewGeometry& view, long long pos);

// The position that shows the buffer's last cell at the right edge.
int endPos(int cells, int visibleCells);

// Whole cells right of the origin in a diagram `width` pixels wide, as the
// time axis counts them (VisibleCells).
int visibleCellsFor(int width, int originX, int cellWidth, int cellsPerColumn = 1);

// Cells one wheel notch moves: an eighth of the view, at least one.
int wheelCells(int visibleCells);

// The position after changing the cell width to `newCellWidth` that keeps
// `anchorCell` under pixel `anchorX` (clamped).
int anchoredZoomPos(const ViewGeometry& view, int anchorCell, int anchorX, int newCellWidth,
                    int newCellsPerColumn = 1);

// The position while dragging: the cell grabbed at `pressX` (when the view
// stood at `pressPos`) follows the pointer to `x`.
int dragPos(const ViewGeometry& view, int pressPos, int pressX, int x);

// The largest TimeStep (2..102) at which `cells` cells of `lineLength` ticks
// fit into `drawWidth` pixels; 2 when they fit at none.
int fitTimeStep(int cells, int lineLength, int drawWidth);

// The overview: `cells` cells spread over `width` pixels.
struct OverviewScale {
    int cells = 0;
    int width = 0;
    // First pixel column showing cell `cell`.
    int xOf(long long cell) const;
    // The cell shown at pixel column x (clamped to the buffer).
    int cellAt(int x) const;
};

// The frame around the shown part: columns [left, right), at least
// kMinFrameWidth wide, so that it stays in sight on a long recording.
constexpr int kMinFrameWidth = 5;
struct OverviewFrame {
    int left = 0;
    int right = 0;
};
OverviewFrame overviewFrame(const OverviewScale& scale, int cellsPos, int visibleCells);

// The position that centres the view on the cell at overview column x.
int overviewPos(const OverviewScale& scale, const ViewGeometry& view, int x);

} // namespace trazor
