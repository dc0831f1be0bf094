#include "display/MeasuredTimes.h"

#include "sampling/TimeFormat.h"

#include <cmath>

namespace trazor {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

const QString kLead = QStringLiteral("Tatsächlich: ");

QString perSample(const sampling::TimeBase& timeBase) {
    return QStringLiteral(" bei ") + text(sampling::FormatPerSample(timeBase.period));
}

const QString kParagraph = QStringLiteral("\r\n\r\n");

} // namespace

double assumedCellSeconds(int timefactor, const QString& timeUnit) {
    return double(timefactor) * unitFactor(timeUnit);
}

bool timeBaseDiffers(const sampling::TimeBase& timeBase, int timefactor, const QString& timeUnit) {
    // A buffer without timing of its own (a DIG file) has nothing truer to
    // tell than the display's own unit.
    if (!timeBase.Known()) return false;
    const double assumed = assumedCellSeconds(timefactor, timeUnit);
    const double real = timeBase.period.Seconds();
    return !(std::fabs(real - assumed) <= 0.01 * real);
}

QString measuredTimeNote(const MarkerIntervals& iv, const sampling::TimeBase& timeBase,
                         int timefactor, const QString& timeUnit) {
    if (!timeBaseDiffers(timeBase, timefactor, timeUnit)) return QString();
    const double t1 = timeBase.SecondsAt(iv.d1);
    const double t2 = timeBase.SecondsAt(iv.d2);
    return kParagraph + kLead + QStringLiteral("Gesamtzeit ") +
           text(sampling::FormatDuration(t1 + t2)) + QStringLiteral(" (Lowbit- ") +
           text(sampling::FormatDuration(t1)) + QStringLiteral(", Highbit- ") +
           text(sampling::FormatDuration(t2)) + QStringLiteral(")") + perSample(timeBase);
}

QString measuredFrequencyNote(const MarkerIntervals& iv, const sampling::TimeBase& timeBase,
                              int timefactor, const QString& timeUnit) {
    if (!timeBaseDiffers(timeBase, timefactor, timeUnit)) return QString();
    const bool halves = (iv.level1 == LevelLow && iv.level2 == LevelHigh) ||
                        (iv.level1 == LevelHigh && iv.level2 == LevelLow);
    const double period = timeBase.SecondsAt(std::int64_t(iv.d1) + iv.d2);
    if (!halves || !(period > 0.0)) return QString();
    return kParagraph + kLead + QStringLiteral("Frequenz ") +
           text(sampling::FormatFrequency(1.0 / period)) + perSample(timeBase);
}

} // namespace trazor
