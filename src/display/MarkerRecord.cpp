#include "display/MarkerRecord.h"

#include "display/SampleBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace trazor {

int storeMarkerPoint(MarkerRecord& marker, int m, int cell, int timeStep, int offsetX) {
    for (int i = 0; i < 3; ++i) {
        MarkerPoint& point = marker.Points[i];
        if (!point.IsFree) continue;
        point.IsFree = false;
        point.CellIndex = cell;
        point.PlacedStep = timeStep;
        point.OffsetX = offsetX;
        if (i == StartPoint) return PlacedStart;
        if (i == MiddlePoint) return PlacedMiddle;
        return m == 5 ? PlacedNothing : m;
    }
    return PlacedNothing;
}

IntervalLevel classifyInterval(const SampleBuffer& buffer, int from, int to, int bit) {
    IntervalLevel level = LevelLow;
    for (int cell = from; cell < to; ++cell) {
        const bool set = buffer.Bit(cell, bit);
        if (cell == from)
            level = set ? LevelHigh : LevelLow;
        else if (level == LevelLow && set)
            level = LevelRising;
        else if (level == LevelHigh && !set)
            level = LevelFalling;
        if (level == LevelRising || level == LevelFalling) break;
    }
    return level;
}

QString levelText(IntervalLevel level) {
    switch (level) {
    case LevelLow:
        return QStringLiteral("(Low- 0)");
    case LevelHigh:
        return QStringLiteral("(High-1)");
    default:
        return QStringLiteral("(Toggle)");
    }
}

MarkerIntervals measureIntervals(const MarkerRecord& marker, const SampleBuffer& buffer, int bit) {
    const int s = marker.Points[StartPoint].CellIndex;
    const int c = marker.Points[MiddlePoint].CellIndex;
    const int e = marker.Points[EndPoint].CellIndex;
    MarkerIntervals iv;
    iv.d1 = std::abs(c - s);
    iv.d2 = std::abs(e - c);
    iv.level1 = classifyInterval(buffer, std::min(s, c), std::max(s, c), bit);
    iv.level2 = classifyInterval(buffer, std::min(c, e), std::max(c, e), bit);
    return iv;
}

QString measurementCaption(int m, int bit) {
    return QStringLiteral("Marker-Nr.: %1  - Bit Nr. : %2 ").arg(m).arg(bit);
}

QString timeMeasurementText(const MarkerIntervals& iv, int timefactor, const QString& timeUnit) {
    // 64-bit products: a long recording times a large factor must not wrap.
    const qint64 t1 = qint64(timefactor) * iv.d1;
    const qint64 t2 = qint64(timefactor) * iv.d2;
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Gesamtzeit ---> ") + QString::number(t1 + t2) + u' ' + timeUnit + crlf +
           crlf + QStringLiteral("Lowbit- : ") + QString::number(t1) + u' ' + timeUnit +
           QStringLiteral("  Flanke: ") + levelText(iv.level1) + crlf +
           QStringLiteral("Highbit-: ") + QString::number(t2) + u' ' + timeUnit +
           QStringLiteral("  Flanke: ") + levelText(iv.level2);
}

double unitFactor(const QString& timeUnit) {
    if (timeUnit == QStringLiteral("h")) return 3600.0;
    if (timeUnit == QStringLiteral("s")) return 1.0;
    if (timeUnit == QStringLiteral("ms")) return 0.001;
    if (timeUnit == QStringLiteral("µs")) return 0.000001;
    // Fast devices' periods (see CellUnit).
    if (timeUnit == QStringLiteral("ns")) return 1e-9;
    if (timeUnit == QStringLiteral("ps")) return 1e-12;
    return 1.0;
}

QString frequencyText(const MarkerIntervals& iv, int timefactor, const QString& timeUnit) {
    const bool halves = (iv.level1 == LevelLow && iv.level2 == LevelHigh) ||
                        (iv.level1 == LevelHigh && iv.level2 == LevelLow);
    const double period = timefactor * unitFactor(timeUnit) * (double(iv.d1) + iv.d2);
    // A period of zero (no Timefactor set) or below has no frequency.
    if (!halves || !(period > 0.0)) return QStringLiteral("Frequenz nicht ermittelbar!");
    const double frequency = std::trunc(1.0 / period);
    return QStringLiteral("Frequenz: ") + QString::number(qint64(frequency)) +
           QStringLiteral(" Hz");
}

} // namespace trazor
