#include "display/PulseReadout.h"

#include "sampling/TimeFormat.h"

#include <algorithm>

namespace trazor {

namespace {

// The run that holds `cell`, as [start, end) with unknown ends where the
// buffer ends first.
struct Run {
    std::optional<int> start;
    std::optional<int> end;
    std::optional<int> width() const {
        if (!start || !end) return std::nullopt;
        return *end - *start;
    }
};

Run runAt(const SampleBuffer& buffer, const SamplePyramid& pyramid, int line, int cell) {
    Run run;
    if (const auto before = pyramid.PreviousChange(buffer, line, cell)) run.start = *before + 1;
    run.end = pyramid.NextChange(buffer, line, cell);
    return run;
}

QString duration(const std::optional<int>& cells, const sampling::TimeBase& timeBase) {
    if (!cells) return kUnknownValue;
    return QString::fromStdString(sampling::FormatDuration(timeBase.SecondsAt(*cells)));
}

} // namespace

std::optional<PulseMeasure> measurePulse(const SampleBuffer& buffer, const SamplePyramid& pyramid,
                                         int line, int cell) {
    if (line < 0 || line > 15 || cell < 0 || cell >= buffer.Cells()) return std::nullopt;
    PulseMeasure m;
    m.line = line;
    m.cell = cell;
    m.high = buffer.Bit(cell, line);
    const Run here = runAt(buffer, pyramid, line, cell);
    m.start = here.start;
    m.end = here.end;
    m.width = here.width();
    if (!m.width) return m;

    // The partner run of the other level: the next one, else the previous one.
    std::optional<int> partner;
    if (const Run next = runAt(buffer, pyramid, line, *here.end); next.width())
        partner = next.width();
    else if (*here.start > 0)
        partner = runAt(buffer, pyramid, line, *here.start - 1).width();
    if (!partner) return m;
    m.period = *m.width + *partner;
    m.highTime = m.high ? *m.width : *partner;
    return m;
}

std::optional<int> edgeAfter(const SampleBuffer& buffer, const SamplePyramid& pyramid, int line,
                             int cell) {
    if (cell < 0) cell = 0;
    return pyramid.NextChange(buffer, line, cell);
}

std::optional<int> edgeBefore(const SampleBuffer& buffer, const SamplePyramid& pyramid, int line,
                              int cell) {
    cell = std::min(cell, buffer.Cells());
    if (cell < 1) return std::nullopt;
    // The run holding the cell before starts at the edge looked for.
    const auto change = pyramid.PreviousChange(buffer, line, cell - 1);
    if (!change) return std::nullopt;
    return *change + 1;
}

QString readoutText(const PulseMeasure& measure, const QString& lineName,
                    const sampling::TimeBase& timeBase) {
    const QString level = measure.high ? QStringLiteral("H") : QStringLiteral("L");
    QString frequency = kUnknownValue;
    QString duty = kUnknownValue;
    if (measure.period && *measure.period > 0) {
        frequency = QString::fromStdString(
            sampling::FormatFrequency(1.0 / timeBase.SecondsAt(*measure.period)));
        const double percent = 100.0 * *measure.highTime / *measure.period;
        duty = QString::number(percent, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')) +
               QStringLiteral(" %");
    }
    return lineName + QStringLiteral(" = ") + level + QStringLiteral(" | Puls ") +
           duration(measure.width, timeBase) + QStringLiteral(" | Periode ") +
           duration(measure.period, timeBase) + QStringLiteral(" | ") + frequency +
           QStringLiteral(" | Tastgrad ") + duty;
}

} // namespace trazor
