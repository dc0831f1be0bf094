#pragma once

#include "display/ViewScale.h"

#include <array>
#include <cstdint>
#include <vector>

// Pixel arithmetic of the timing diagram, kept apart from the widget so it can
// be checked without drawing anything.
namespace trazor {

// y positions of one line's row.
struct LineRow {
    int BaseY = 0; // row base
    int LowY = 0;  // low level (and base line)
    int HighY = 0; // high level
    int TextY = 0; // top of the line name
};

constexpr int RowCount = 32;
using LineRows = std::array<LineRow, RowCount>;

LineRows computeLineRows(int lineDistance, int lineHigh, int lineMaxHigh, int textOffset);

// A cell is `lineLength` minor ticks of `timeStep` pixels.
inline int cellWidth(int lineLength, int timeStep) {
    return lineLength * timeStep;
}
// y of the time axis.
inline int axisY(int lineDistance, int digits, int lineMaxHigh) {
    return lineDistance * digits + lineMaxHigh;
}
// Lower end of the marker lines and of the band the one-cell shift keeps.
inline int markerBaseY(int lineDistance, int digits) {
    return lineDistance * digits + 20;
}

// One tick of the time axis.
struct Tick {
    int x = 0;
    int halfHeight = 2;    // 5 at cell boundaries, 2 between them
    bool boundary = false; // a cell boundary (the origin included)
    bool labelled = false;
    std::int64_t cell = 0; // absolute cell index at a boundary
};

struct ScaleLayout {
    std::vector<Tick> ticks;
    int visibleCells = 0; // boundaries right of the origin and left of the edge
};

// Ticks every `timeStep` pixels from `gx` while left of `width`; cells are
// numbered from `startCell` at the origin. Labels at the origin, and at the
// other boundaries either all (steps above 10 pixels) or every tenth cell.
ScaleLayout layoutScale(int gx, int timeStep, int cw, int width, int startCell);

// The first cell boundary at or right of pixel x, walking from the origin.
struct BoundarySnap {
    int x = 0;     // pixel of the boundary
    int cells = 0; // cells from the origin to it
    int h = 0;     // tick height of the boundary one cell to its left (0 at the origin)
};
BoundarySnap snapToBoundary(int gx, int cw, int timeStep, int x);
// The same in a zoomed-out view: the first cell boundary at or right of pixel
// x that starts a pixel column (short tick).
BoundarySnap snapToColumn(int gx, const ViewScale& scale, int x);

// x of view cell `viewCell` (its left boundary).
inline int cellX(int gx, int cw, int viewCell) {
    return gx + cw * viewCell;
}

} // namespace trazor
