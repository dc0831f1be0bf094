#include "display/TimeAxis.h"

#include <algorithm>
#include <cmath>

namespace trazor {

namespace {
constexpr int kSmallestExponent = -12; // picoseconds
constexpr int kLargestExponent = 12;   // far beyond any capture
// Minor ticks closer than this are left out.
constexpr int kMinorSpacing = 6;

QString unitFor(int unitExponent) {
    switch (unitExponent) {
    case -12:
        return QStringLiteral("ps");
    case -9:
        return QStringLiteral("ns");
    case -6:
        return QStringLiteral("µs");
    case -3:
        return QStringLiteral("ms");
    default:
        return QStringLiteral("s");
    }
}

long long pow10(int e) {
    long long p = 1;
    while (e-- > 0)
        p *= 10;
    return p;
}
} // namespace

LabelStep labelStepFor(double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds)) return {1, kSmallestExponent};
    int exponent = int(std::floor(std::log10(seconds)));
    exponent = std::clamp(exponent, kSmallestExponent, kLargestExponent);
    // Rounding of log10 may land one decade off; the loop settles it.
    while (true) {
        const double decade = std::pow(10.0, exponent);
        for (const int m : {1, 2, 5})
            if (m * decade >= seconds * (1 - 1e-9)) return {m, exponent};
        if (exponent >= kLargestExponent) return {5, kLargestExponent};
        ++exponent;
    }
}

TimeAxisLayout layoutTimeAxis(const AxisView& view, const sampling::SamplePeriod& period,
                              int labelSpacing) {
    TimeAxisLayout layout;
    const ViewScale& s = view.scale;
    if (s.cellWidth <= 0 || s.cellsPerColumn <= 0 || view.width <= view.originX) return layout;
    const double secondsPerPixel = period.Seconds() * s.cellsPerColumn / s.cellWidth;
    if (!(secondsPerPixel > 0)) return layout;

    const LabelStep step = labelStepFor(std::max(labelSpacing, 1) * secondsPerPixel);
    const int unitExponent =
        std::clamp(int(std::floor(double(step.exponent) / 3)) * 3, kSmallestExponent, 0);
    layout.unit = unitFor(unitExponent);
    layout.stepSeconds = step.mantissa * std::pow(10.0, step.exponent);
    // Label n stands for n x mantissa x 10^(exponent - unitExponent) units.
    const long long unitsPerStep = step.mantissa * pow10(step.exponent - unitExponent);
    const int minorParts = step.mantissa == 2 ? 4 : 5;

    const double startSeconds = period.Seconds() * double(view.firstCell - view.zeroCell);
    const double endSeconds = startSeconds + (view.width - view.originX) * secondsPerPixel;
    const double minorSeconds = layout.stepSeconds / minorParts;
    const bool minorShown = minorSeconds / secondsPerPixel >= kMinorSpacing;
    // The first minor tick at or after the origin; every minorParts-th is labelled.
    long long tick = (long long)std::ceil(startSeconds / minorSeconds - 1e-9);
    for (;; ++tick) {
        const double t = tick * minorSeconds;
        if (t >= endSeconds) break;
        const bool labelled = tick % minorParts == 0;
        if (!labelled && !minorShown) continue;
        TimeTick out;
        out.x = view.originX + int(std::lround((t - startSeconds) / secondsPerPixel));
        if (out.x >= view.width) break;
        out.labelled = labelled;
        if (labelled && out.x + view.labelReach < view.width)
            out.label = QString::number(tick / minorParts * unitsPerStep);
        layout.ticks.push_back(out);
    }
    return layout;
}

} // namespace trazor
