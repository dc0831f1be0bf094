#pragma once

#include "display/MarkerRecord.h"
#include "sampling/TimeBase.h"

#include <QString>

// What the marker boxes add when the buffer's real timing differs from the
// cell time the display assumes (Timefactor x TimeUnit): the source could not
// keep its pace or the user chose another unit. A buffer whose timing is
// unknown (a DIG file) adds nothing: there is nothing truer to tell.
namespace trazor {

// Seconds per cell as the display's unit settings assume them.
double assumedCellSeconds(int timefactor, const QString& timeUnit);
// The time base is known and more than 1 % apart from the assumed cell time.
bool timeBaseDiffers(const sampling::TimeBase& timeBase, int timefactor, const QString& timeUnit);
// An extra paragraph for the time box, or an empty string when they agree.
QString measuredTimeNote(const MarkerIntervals& iv, const sampling::TimeBase& timeBase,
                         int timefactor, const QString& timeUnit);
// An extra paragraph for the frequency box, or an empty string when they agree
// or the marker spans no whole period.
QString measuredFrequencyNote(const MarkerIntervals& iv, const sampling::TimeBase& timeBase,
                              int timefactor, const QString& timeUnit);

} // namespace trazor
