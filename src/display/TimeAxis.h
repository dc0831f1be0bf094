#pragma once

#include "display/ViewScale.h"
#include "sampling/TimeBase.h"

#include <QString>
#include <cstdint>
#include <vector>

// The time axis as the buffer's time base has it: ticks in steps of 1, 2 or 5
// times a power of ten seconds, chosen so that labels stand at least a given
// distance apart, and labelled in the unit of the step (ps .. s), so every
// label is a whole number. Time 0 is the buffer's first cell, or the trigger
// point of a triggered capture (the times before it are negative).
//
//   a 200 kHz capture at 30 pixels per cell, labels 50 pixels apart:
//   step 10 µs, unit "µs", labels "0", "10", "20", ...
namespace trazor {

struct TimeTick {
    int x = 0;
    bool labelled = false; // a step of the labels; the others are minor ticks
    QString label;         // the time in the axis unit, for labelled ticks whose label fits
};

struct TimeAxisLayout {
    std::vector<TimeTick> ticks;
    QString unit;           // "ps", "ns", "µs", "ms" or "s"
    double stepSeconds = 0; // time between two labels
};

struct AxisView {
    long long firstCell = 0; // cell at the origin
    ViewScale scale;
    int originX = 0;
    int width = 0; // ticks lie at originX <= x < width
    // How far a label's text reaches right of its tick. A label that would
    // reach the right edge is left out (its tick stays): a cut number reads
    // as another one.
    int labelReach = 0;
    long long zeroCell = 0; // the cell at time 0
};

// Ticks for the view, labels at least `labelSpacing` pixels apart. An empty
// layout when the view has no room or the scale is not positive.
TimeAxisLayout layoutTimeAxis(const AxisView& view, const sampling::SamplePeriod& period,
                              int labelSpacing);

// The label step for a time span per label: the smallest 1, 2 or 5 x 10^e
// seconds not below it, as mantissa and exponent.
struct LabelStep {
    int mantissa = 1; // 1, 2 or 5
    int exponent = 0; // power of ten of seconds
};
LabelStep labelStepFor(double seconds);

} // namespace trazor
