#include "display/ViewScale.h"

#include <algorithm>

namespace trazor {

namespace {
// Cell widths between the narrowest zoom step and one cell per pixel.
constexpr int kNarrowWidths[] = {3, 2, 1};
// Beyond 2^40 cells per column no buffer needs more.
constexpr int kLongestShift = 40;

long long ceilDiv(long long a, long long b) {
    return a / b + (a % b != 0);
}
} // namespace

long long ViewScale::cellsIn(long long columns) const {
    if (cellWidth <= 0 || columns <= 0) return 0;
    return columns / cellWidth * cellsPerColumn;
}

long long ViewScale::columnsFor(long long cells) const {
    if (cellsPerColumn <= 0) return 0;
    // Toward minus infinity, so cells left of the view lie left of the origin.
    const long long whole = cells / cellsPerColumn;
    const long long columns = (cells % cellsPerColumn != 0 && cells < 0) ? whole - 1 : whole;
    return columns * cellWidth;
}

ViewScale::Range ViewScale::cellsAt(long long column) const {
    if (cellWidth <= 0 || cellsPerColumn <= 0) return {};
    const long long cell = column / cellWidth * cellsPerColumn;
    return {cell, cell + cellsPerColumn};
}

ViewScale zoomOutScale(int narrowestCellWidth, int level) {
    level = std::max(level, 1);
    for (const int width : kNarrowWidths) {
        if (width >= narrowestCellWidth) continue;
        if (--level == 0) return {width, 1};
    }
    const int shift = std::min(level, kLongestShift);
    return {1, int(std::min<long long>(1LL << shift, 1LL << 30))};
}

int zoomOutLevel(int narrowestCellWidth, const ViewScale& scale) {
    int level = 1;
    while (true) {
        const ViewScale step = zoomOutScale(narrowestCellWidth, level);
        const bool atLeast =
            step.cellsPerColumn > scale.cellsPerColumn ||
            (step.cellsPerColumn == scale.cellsPerColumn && step.cellWidth <= scale.cellWidth);
        if (atLeast || step.cellsPerColumn >= (1 << 30)) return level;
        ++level;
    }
}

ViewScale fitScale(long long cells, int columns, int narrowestCellWidth) {
    if (columns <= 0) return {1, 1};
    cells = std::max(cells, 1LL);
    // The widest narrow cells that fit, from the widest down.
    for (const int width : kNarrowWidths) {
        if (width >= narrowestCellWidth) continue;
        if (cells * width <= columns) return {width, 1};
    }
    const long long perColumn = ceilDiv(cells, columns);
    return {1, int(std::min<long long>(perColumn, 1LL << 30))};
}

bool showsAll(const ViewScale& scale, long long cells, int columns) {
    return scale.cellsIn(columns) >= cells;
}

} // namespace trazor
