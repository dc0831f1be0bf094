#include "display/CursorPair.h"

#include "display/PulseReadout.h"
#include "sampling/TimeFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace trazor {

namespace {

struct Unit {
    double seconds;
    const char* name;
};
constexpr Unit kUnits[] = {
    {1, "s"}, {1e-3, "ms"}, {1e-6, "\u00b5s"}, {1e-9, "ns"}, {1e-12, "ps"},
};
constexpr int kFewestDecimals = 2;
constexpr int kMostDecimals = 9;

// The largest unit in which `magnitude` is at least 1.
const Unit& unitFor(double magnitude) {
    for (const Unit& unit : kUnits)
        if (magnitude >= unit.seconds * (1 - 1e-9)) return unit;
    return kUnits[std::size(kUnits) - 1];
}

QString timeOf(const std::optional<long long>& cell, const sampling::TimeBase& timeBase) {
    if (!cell) return kUnknownValue;
    return QString::fromStdString(formatCursorTime(timeBase.SecondsAt(*cell), timeBase.period));
}

} // namespace

long long cursorCellAtX(const ViewGeometry& view, int x, long long cells) {
    const long long perColumn = std::max(1, view.cellsPerColumn);
    // Left of the origin lie the names: the first shown cell.
    const long long offset = std::max(0LL, (long long)x - view.originX);
    long long cell = view.cellsPos;
    if (view.cellWidth > 1) {
        // Cells wider than a pixel: the nearer of the two boundaries.
        cell += (offset + view.cellWidth / 2) / view.cellWidth;
    } else if (view.cellWidth == 1) {
        cell += offset * perColumn;
    }
    return std::clamp<long long>(cell, 0, std::max(0LL, cells));
}

std::optional<int> cursorX(const ViewGeometry& view, long long cell) {
    const long long perColumn = std::max(1, view.cellsPerColumn);
    const long long rel = cell - view.cellsPos;
    if (rel < 0 || rel > view.visibleCells) return std::nullopt;
    const long long columns = rel / perColumn * std::max(1, view.cellWidth);
    return int(view.originX + columns);
}

std::optional<int> cursorNear(const CursorPair& cursors, const ViewGeometry& view, int x,
                              int tolerance) {
    std::optional<int> best;
    int bestDistance = tolerance + 1;
    for (int i = 0; i < 2; ++i) {
        if (!cursors.cells[std::size_t(i)]) continue;
        const std::optional<int> cx = cursorX(view, *cursors.cells[std::size_t(i)]);
        if (!cx) continue;
        const int distance = std::abs(*cx - x);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

std::string formatCursorTime(double seconds, const sampling::SamplePeriod& period) {
    if (!std::isfinite(seconds)) return "-";
    const double step = period.Seconds();
    const Unit& unit = seconds == 0 ? unitFor(step) : unitFor(std::fabs(seconds));
    // Decimals that tell one period from the next in this unit.
    int decimals = kFewestDecimals;
    if (step > 0)
        decimals = std::clamp(int(std::ceil(std::log10(unit.seconds / step) - 1e-9)),
                              kFewestDecimals, kMostDecimals);
    double shown = seconds / unit.seconds;
    if (std::fabs(shown) < 0.5 * std::pow(10.0, -decimals)) shown = 0; // no "-0,00"
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, shown, unit.name);
    std::string out = text;
    std::replace(out.begin(), out.end(), '.', ',');
    return out;
}

QString cursorReadout(const CursorPair& cursors, const sampling::TimeBase& timeBase) {
    const auto& [a, b] = cursors.cells;
    QString delta = kUnknownValue;
    QString inverse = kUnknownValue;
    if (a && b) {
        const long long cells = *b > *a ? *b - *a : *a - *b;
        const double seconds = timeBase.SecondsAt(cells);
        delta = QString::fromStdString(formatCursorTime(seconds, timeBase.period));
        if (cells > 0) inverse = QString::fromStdString(sampling::FormatFrequency(1.0 / seconds));
    }
    return QStringLiteral("A ") + timeOf(a, timeBase) + QStringLiteral(" | B ") +
           timeOf(b, timeBase) + QStringLiteral(" | \u0394t ") + delta +
           QStringLiteral(" | 1/\u0394t ") + inverse;
}

} // namespace trazor
