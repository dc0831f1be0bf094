#include "display/MeasuredTimes.h"

#include <gtest/gtest.h>

using sampling::SamplePeriod;
using sampling::TimeBase;
using sampling::TimingOrigin;
using trazor::MarkerIntervals;

namespace {
const MarkerIntervals kSquare{20, 20, trazor::LevelLow, trazor::LevelHigh};
const QString kMicro = QStringLiteral("µs");
} // namespace

TEST(MeasuredTimes, BoxesAddTheRealTimesOnlyWhenTheyDifferByMoreThanOnePercent) {
    struct Case {
        TimeBase timeBase;
        int timefactor;
        QString unit;
        QString timeNote;
        QString frequencyNote;
    };
    const TimeBase paced = TimeBase::Paced(SamplePeriod::FromNanoseconds(10'000));
    const TimeBase slow{SamplePeriod::FromNanoseconds(25'000), TimingOrigin::Measured, {}};
    const Case cases[] = {
        // The display's 10 x µs is the truth: nothing to add.
        {paced, 10, kMicro, QString(), QString()},
        // Within 1 %: still nothing.
        {{SamplePeriod::FromNanoseconds(10'090), TimingOrigin::Measured, {}},
         10,
         kMicro,
         QString(),
         QString()},
        // The port could not keep the pace.
        {slow, 10, kMicro,
         QStringLiteral("\r\n\r\nTatsächlich: Gesamtzeit 1,00 ms (Lowbit- 500,00 µs, Highbit- "
                        "500,00 µs) bei 25,00 µs je Wert"),
         QStringLiteral("\r\n\r\nTatsächlich: Frequenz 1,00 kHz bei 25,00 µs je Wert")},
        // The user chose milliseconds for a paced 10 us recording.
        {paced, 10, QStringLiteral("ms"),
         QStringLiteral("\r\n\r\nTatsächlich: Gesamtzeit 400,00 µs (Lowbit- 200,00 µs, Highbit- "
                        "200,00 µs) bei 10,00 µs je Wert"),
         QStringLiteral("\r\n\r\nTatsächlich: Frequenz 2,50 kHz bei 10,00 µs je Wert")},
        // A DIG file has no timing of its own: the display's unit stands.
        {TimeBase::Nominal(), 1, QStringLiteral("ms"), QString(), QString()},
        // No Timefactor: the display assumes nothing, the truth is still told.
        {paced, 0, kMicro,
         QStringLiteral("\r\n\r\nTatsächlich: Gesamtzeit 400,00 µs (Lowbit- 200,00 µs, Highbit- "
                        "200,00 µs) bei 10,00 µs je Wert"),
         QStringLiteral("\r\n\r\nTatsächlich: Frequenz 2,50 kHz bei 10,00 µs je Wert")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.timeNote.toStdString());
        EXPECT_EQ(trazor::measuredTimeNote(kSquare, c.timeBase, c.timefactor, c.unit), c.timeNote);
        EXPECT_EQ(trazor::measuredFrequencyNote(kSquare, c.timeBase, c.timefactor, c.unit),
                  c.frequencyNote);
    }
}

TEST(MeasuredTimes, NoFrequencyNoteWithoutAWholePeriod) {
    const TimeBase slow{SamplePeriod::FromNanoseconds(25'000), TimingOrigin::Measured, {}};
    for (const MarkerIntervals& iv :
         {MarkerIntervals{20, 20, trazor::LevelLow, trazor::LevelLow},
          MarkerIntervals{20, 20, trazor::LevelRising, trazor::LevelHigh},
          MarkerIntervals{0, 0, trazor::LevelLow, trazor::LevelHigh}})
        EXPECT_EQ(trazor::measuredFrequencyNote(iv, slow, 10, kMicro), QString());
}
