#pragma once

#include <cstdint>
#include <optional>

// How many cells the diagram puts into its pixels. At the zoom steps of the
// "Auflösung" field a cell is `cellWidth` pixels wide; the views beyond the
// narrowest step make cells narrower still (3, 2, 1 pixels) and then let
// `cellsPerColumn` cells share one pixel column, drawn from their minimum and
// maximum. Plain arithmetic, checked without a widget.
namespace trazor {

struct ViewScale {
    int cellWidth = 1;      // pixels per cell (1 once columns hold several cells)
    int cellsPerColumn = 1; // cells per pixel column (1 while cells are wider)

    // Whole cells in `columns` pixel columns.
    long long cellsIn(long long columns) const;
    // Pixel columns that `cells` cells take (the start of cell `cells`).
    long long columnsFor(long long cells) const;
    // The cells pixel column `column` (0 at the origin) shows: [first, last).
    struct Range {
        long long first = 0;
        long long last = 0;
    };
    Range cellsAt(long long column) const;

    bool operator==(const ViewScale&) const = default;
};

// The views past the narrowest zoom step, whose cells are `narrowestCellWidth`
// pixels wide: level 1 is the first of them. Cells narrow to 3, 2 and 1
// pixels (those below the narrowest step only), then each level doubles the
// cells per column. Levels below 1 give level 1.
ViewScale zoomOutScale(int narrowestCellWidth, int level);

// The level of a scale among those views: the first level that shows at least
// as many cells per pixel (a fitted scale lies between two levels).
int zoomOutLevel(int narrowestCellWidth, const ViewScale& scale);

// The narrowest view that shows all `cells` in `columns` pixel columns with
// cells narrower than `narrowestCellWidth`: 3, 2 or 1 pixels per cell where
// that suffices, else as few cells per column as hold them all.
ViewScale fitScale(long long cells, int columns, int narrowestCellWidth);

// Whether a scale already shows every one of `cells` in `columns`.
bool showsAll(const ViewScale& scale, long long cells, int columns);

} // namespace trazor
