#pragma once

#include "display/SampleBuffer.h"
#include "display/SamplePyramid.h"
#include "sampling/TimeBase.h"

#include <QString>
#include <optional>

// The pulse under the pointer: the run of equal bits of one line around a
// cell, the runs beside it, and what they measure. Edges are cell indexes:
// an edge at cell e lies between cells e-1 and e.
namespace trazor {

struct PulseMeasure {
    int line = 0;
    int cell = 0;
    bool high = false;
    // Edges that bound the run holding `cell`; nullopt where the run reaches
    // an end of the buffer, so that its true start or end is unknown.
    std::optional<int> start;
    std::optional<int> end;
    // Width of the run in cells, when both its edges are known.
    std::optional<int> width;
    // One high and one low run, in cells: the run under the pointer with the
    // one that follows it, or, where that one reaches the buffer's end, the
    // one before it. High time is the high run's width.
    std::optional<int> period;
    std::optional<int> highTime;
};

// Measures line `line` around cell `cell`; nullopt when either is outside the
// buffer. The cost is bounded by the pyramid's levels, not by run lengths.
std::optional<PulseMeasure> measurePulse(const SampleBuffer& buffer, const SamplePyramid& pyramid,
                                         int line, int cell);

// Edges of a line as cells where its level differs from the cell before:
// the first edge after `cell`, and the last edge at or before `cell` that is
// not `cell` itself when `cell` is one (so repeated jumps walk backwards).
std::optional<int> edgeAfter(const SampleBuffer& buffer, const SamplePyramid& pyramid, int line,
                             int cell);
std::optional<int> edgeBefore(const SampleBuffer& buffer, const SamplePyramid& pyramid, int line,
                              int cell);

// The status readout, in German, times from the buffer's time base:
// "D03 = H | Puls 500,00 µs | Periode 1,00 ms | 1,00 kHz | Tastgrad 50,0 %"
// with "–" for what an edge outside the buffer leaves unknown.
QString readoutText(const PulseMeasure& measure, const QString& lineName,
                    const sampling::TimeBase& timeBase);

// The dash that stands for a value the buffer cannot tell.
inline const QString kUnknownValue = QStringLiteral("\u2013");

} // namespace trazor
