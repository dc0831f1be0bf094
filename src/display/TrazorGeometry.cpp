#include "display/TrazorGeometry.h"

#include <algorithm>
#include <cstdint>

namespace trazor {

LineRows computeLineRows(int lineDistance, int lineHigh, int lineMaxHigh, int textOffset) {
    LineRows rows{};
    for (int r = 0; r < RowCount; ++r) {
        LineRow& row = rows[r];
        row.BaseY = lineDistance * (r + 1);
        row.LowY = row.BaseY + lineHigh;
        row.HighY = row.LowY - lineMaxHigh;
        row.TextY = row.BaseY - textOffset;
    }
    return rows;
}

ScaleLayout layoutScale(int gx, int timeStep, int cw, int width, int startCell) {
    ScaleLayout layout;
    // Without a positive step the loops below would never end.
    if (timeStep <= 0 || cw <= 0) return layout;
    std::int64_t k = startCell;
    for (int x = gx; x < width; x += timeStep) {
        Tick tick;
        tick.x = x;
        tick.boundary = x == gx || (x - gx) % cw == 0;
        tick.halfHeight = tick.boundary ? 5 : 2;
        if (x == gx) {
            tick.labelled = true;
            tick.cell = k++;
        } else if (tick.boundary) {
            tick.labelled = timeStep > 10 || k % 10 == 0;
            tick.cell = k++;
            ++layout.visibleCells;
        }
        layout.ticks.push_back(tick);
    }
    return layout;
}

BoundarySnap snapToBoundary(int gx, int cw, int timeStep, int x) {
    BoundarySnap snap{gx, 0, 0};
    if (cw <= 0) return snap;
    while (snap.x < x) {
        snap.h = (snap.x == gx || (snap.x - gx) % (5 * timeStep) == 0) ? 5 : 2;
        snap.x += cw;
        ++snap.cells;
    }
    return snap;
}

BoundarySnap snapToColumn(int gx, const ViewScale& scale, int x) {
    if (scale.cellWidth <= 0 || x <= gx) return {gx, 0, 0};
    const long long cells = (long long)(x - gx + scale.cellWidth - 1) / scale.cellWidth;
    const long long c = std::min<long long>(cells * scale.cellsPerColumn, INT32_MAX);
    return {gx + int(cells) * scale.cellWidth, int(c), 2};
}

} // namespace trazor
