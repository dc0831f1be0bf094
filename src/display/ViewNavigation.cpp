#include "display/ViewNavigation.h"

#include <algorithm>
#include <cstdint>

namespace trazor {

namespace {
// Rounds toward minus infinity, so pixels left of a boundary belong to the
// cell left of it also below zero.
long long floorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
} // namespace

std::optional<int> cellAtX(const ViewGeometry& view, int x) {
    if (x < view.originX || view.cellWidth <= 0) return std::nullopt;
    return static_cast<int>(view.cellsPos + (long long)(x - view.originX) / view.cellWidth *
                                                std::max(1, view.cellsPerColumn));
}

std::optional<int> lineAtY(int y, int firstHighY, int lineDistance, int lineMaxHigh, int digits) {
    if (lineDistance <= 0) return std::nullopt;
    // The gap between one row's low level and the next row's high level is
    // shared half and half.
    const int top = firstHighY - (lineDistance - lineMaxHigh) / 2;
    const long long line = floorDiv((long long)y - top, lineDistance);
    if (line < 0 || line >= digits) return std::nullopt;
    return static_cast<int>(line);
}

int clampPos(const ViewGeometry& view, long long pos) {
    return static_cast<int>(std::clamp<long long>(pos, 0, std::max(0, view.lastPos)));
}

int endPos(int cells, int visibleCells) {
    return std::max(0, cells - std::max(0, visibleCells));
}

int visibleCellsFor(int width, int originX, int cellWidth, int cellsPerColumn) {
    if (cellWidth <= 0 || width - 1 <= originX) return 0;
    const long long cells =
        (long long)(width - 1 - originX) / cellWidth * std::max(1, cellsPerColumn);
    return static_cast<int>(std::min<long long>(cells, INT32_MAX));
}

int wheelCells(int visibleCells) {
    return std::max(1, visibleCells / 8);
}

int anchoredZoomPos(const ViewGeometry& view, int anchorCell, int anchorX, int newCellWidth,
                    int newCellsPerColumn) {
    if (newCellWidth <= 0) return clampPos(view, view.cellsPos);
    const long long cellsLeft =
        floorDiv((long long)anchorX - view.originX, newCellWidth) * std::max(1, newCellsPerColumn);
    return clampPos(view, (long long)anchorCell - std::max(0LL, cellsLeft));
}

int dragPos(const ViewGeometry& view, int pressPos, int pressX, int x) {
    if (view.cellWidth <= 0) return clampPos(view, pressPos);
    // Whole cells only: the picture moves once the pointer has crossed one.
    const long long moved =
        ((long long)x - pressX) / view.cellWidth * std::max(1, view.cellsPerColumn);
    return clampPos(view, (long long)pressPos - moved);
}

int fitTimeStep(int cells, int lineLength, int drawWidth) {
    constexpr int kNarrowest = 2, kWidest = 102;
    if (cells <= 0 || lineLength <= 0 || drawWidth <= 0) return kNarrowest;
    const long long step = drawWidth / ((long long)cells * lineLength);
    return static_cast<int>(std::clamp<long long>(step, kNarrowest, kWidest));
}

int OverviewScale::xOf(long long cell) const {
    if (cells <= 0) return 0;
    return static_cast<int>(cell * width / cells);
}

int OverviewScale::cellAt(int x) const {
    if (cells <= 0 || width <= 0) return 0;
    const long long cell = (long long)std::clamp(x, 0, width - 1) * cells / width;
    return static_cast<int>(std::min<long long>(cell, cells - 1));
}

OverviewFrame overviewFrame(const OverviewScale& scale, int cellsPos, int visibleCells) {
    OverviewFrame frame;
    frame.left = std::clamp(scale.xOf(cellsPos), 0, std::max(0, scale.width - kMinFrameWidth));
    // The last, partly shown cell belongs to the view as well.
    frame.right =
        std::clamp(scale.xOf((long long)cellsPos + visibleCells + 1), frame.left + kMinFrameWidth,
                   std::max(frame.left + kMinFrameWidth, scale.width));
    return frame;
}

int overviewPos(const OverviewScale& scale, const ViewGeometry& view, int x) {
    return clampPos(view, (long long)scale.cellAt(x) - view.visibleCells / 2);
}

} // namespace trazor
