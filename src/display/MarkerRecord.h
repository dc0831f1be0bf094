#pragma once

#include "platform/Color.h"

#include <QString>
#include <array>

class SampleBuffer;

namespace trazor {

// One point of a marker; CellIndex is an absolute cell, so the point stays on
// its sample when the view scrolls or zooms.
struct MarkerPoint {
    bool IsFree = true;
    int CellIndex = 0;
    int PlacedStep = 0; // TimeStep in force when placed
    int OffsetX = 0;    // mouse x minus the time origin
};

enum MarkerPointIndex { StartPoint = 0, MiddlePoint = 1, EndPoint = 2 };

// Result codes of placing a point.
constexpr int PlacedStart = 5;
constexpr int PlacedMiddle = 6;
constexpr int PlacedNothing = 0;

struct MarkerRecord {
    std::array<MarkerPoint, 3> Points{};
    TColor MarkerColor = colors::Green;

    bool Complete() const { return !Points[0].IsFree && !Points[1].IsFree && !Points[2].IsFree; }
    // Frees all points; the colour stays.
    void Reset() { Points = {}; }
};

// Stores into the first free point (start, middle, end) of marker `m`.
// Answers 5 for the start, 6 for the middle, m for the end point, and 0 when
// no point was free or m is the never-placed marker 5.
int storeMarkerPoint(MarkerRecord& marker, int m, int cell, int timeStep, int offsetX);

// Level of one line over an interval of cells, walked in increasing order.
enum IntervalLevel { LevelLow = 0, LevelHigh = 1, LevelRising = 2, LevelFalling = 3 };

// Cells from..to-1 of line `bit`; an empty interval is low.
IntervalLevel classifyInterval(const SampleBuffer& buffer, int from, int to, int bit);
QString levelText(IntervalLevel level);

// The two intervals of a marker: start..middle and middle..end.
struct MarkerIntervals {
    int d1 = 0, d2 = 0;
    IntervalLevel level1 = LevelLow, level2 = LevelLow;
};
MarkerIntervals measureIntervals(const MarkerRecord& marker, const SampleBuffer& buffer, int bit);

QString measurementCaption(int m, int bit);
QString timeMeasurementText(const MarkerIntervals& iv, int timefactor, const QString& timeUnit);
// Seconds per unit for the frequency; unknown units count as seconds.
double unitFactor(const QString& timeUnit);
QString frequencyText(const MarkerIntervals& iv, int timefactor, const QString& timeUnit);

} // namespace trazor
