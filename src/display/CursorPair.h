#pragma once

#include "display/ViewNavigation.h"
#include "sampling/TimeBase.h"

#include <QString>
#include <array>
#include <optional>
#include <string>

// Two measuring cursors, A and B, each standing on a cell boundary: a cursor
// at cell c marks the start of cell c, time c x period from the first cell.
// Plain arithmetic for placing them from pixels and for their readout, kept
// apart from the widget.
namespace trazor {

struct CursorPair {
    std::array<std::optional<long long>, 2> cells; // A, B

    bool any() const { return cells[0] || cells[1]; }
    bool operator==(const CursorPair&) const = default;
};

// The cell boundary nearest to pixel x in the view (the start of a pixel
// column in a zoomed-out view), clamped to 0 .. `cells` (the end of the
// buffer is a boundary too).
long long cursorCellAtX(const ViewGeometry& view, int x, long long cells);

// The pixel of a cursor at `cell`, or nullopt when the view does not show it.
std::optional<int> cursorX(const ViewGeometry& view, long long cell);

// The cursor (0 = A, 1 = B) whose line lies within `tolerance` pixels of x,
// the nearer one when both do.
std::optional<int> cursorNear(const CursorPair& cursors, const ViewGeometry& view, int x,
                              int tolerance);

// A time in the unit that suits it, with as many decimals as one sample
// period needs to show (at least two, at most nine), German decimal comma:
//   10 µs period, 1,23456 s -> "1,23456 s";  1 Hz, 3 s -> "3,00 s".
// Zero reads in the period's unit.
std::string formatCursorTime(double seconds, const sampling::SamplePeriod& period);

// Time of cursor A and B, their distance and its inverse:
//   "A 1,00 ms | B 3,50 ms | Δt 2,50 ms | 1/Δt 400,00 Hz"
// with "–" for a cursor not set and for 1/Δt when both stand together.
QString cursorReadout(const CursorPair& cursors, const sampling::TimeBase& timeBase);

} // namespace trazor
