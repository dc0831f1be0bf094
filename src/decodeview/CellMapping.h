#pragma once

#include <cstdint>

// Where the diagram draws its cells, so that views beside it draw the same
// samples at the same x: cell c's left boundary lies at
// originX + cellWidth * (c - firstCell), in the diagram's own coordinates.
namespace decodeview {

struct CellMapping {
    int originX = 0;
    int cellWidth = 1;
    std::int64_t firstCell = 0;
    int visibleCells = 0;

    double XOf(std::int64_t cell) const { return originX + double(cellWidth) * double(cell - firstCell); }
    // The cell under pixel x (left of the origin: the first shown cell).
    std::int64_t CellAt(int x) const {
        if (cellWidth <= 0 || x < originX) return firstCell;
        return firstCell + (x - originX) / cellWidth;
    }
    std::int64_t LastCell() const { return firstCell + visibleCells; }

    bool operator==(const CellMapping&) const = default;
};

} // namespace decodeview
