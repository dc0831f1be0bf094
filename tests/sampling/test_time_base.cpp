#include "sampling/TimeBase.h"
#include "sampling/TimeFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using sampling::SamplePeriod;
using sampling::TimeBase;
using sampling::TimingOrigin;

TEST(SamplePeriod, HoldsPeriodAndRateSourcesWithoutRounding) {
    struct Case {
        SamplePeriod period;
        std::int64_t ps;
        std::optional<std::uint64_t> exactHz;
        std::int64_t psForMillionCells;
    };
    const Case cases[] = {
        {SamplePeriod::FromNanoseconds(10'000), 10'000'000, 100'000, 10'000'000'000'000},
        {SamplePeriod::FromNanoseconds(10'000'000), 10'000'000'000, 100, 10'000'000'000'000'000},
        // 24 MHz is 41.666... ns: a whole rate, no whole number of picoseconds.
        {SamplePeriod::FromRateHz(24'000'000), 41'667, 24'000'000, 41'666'666'667},
        {SamplePeriod::FromRateHz(1'000'000'000), 1'000, 1'000'000'000, 1'000'000'000},
        // A measured period of 10.001 us has no whole rate.
        {SamplePeriod::FromPicoseconds(10'001'000), 10'001'000, std::nullopt, 10'001'000'000'000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.period.Picoseconds(), c.ps);
        EXPECT_EQ(c.period.ExactRateHz(), c.exactHz) << c.ps;
        EXPECT_EQ(c.period.PicosecondsFor(1'000'000), c.psForMillionCells) << c.ps;
        EXPECT_DOUBLE_EQ(c.period.RateHz() * c.period.Seconds(), 1.0);
    }
    // The same period reached from either side compares equal.
    EXPECT_EQ(SamplePeriod::FromRateHz(100'000), SamplePeriod::FromNanoseconds(10'000));
}

TEST(SamplePeriod, NonsenseInputGivesTheDefaultAndHugeProductsSaturate) {
    for (const SamplePeriod& p : {SamplePeriod::FromPicoseconds(0),
                                  SamplePeriod::FromPicoseconds(-5), SamplePeriod::FromRateHz(0)})
        EXPECT_EQ(p.Picoseconds(), 10'000'000);
    const SamplePeriod slow = SamplePeriod::FromNanoseconds(10'000'000);
    EXPECT_EQ(slow.PicosecondsFor(std::numeric_limits<std::int64_t>::max()),
              std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(slow.PicosecondsFor(-3), -30'000'000'000);
}

TEST(TimeBase, DefaultIsTheUnknownNominalTenMicroseconds) {
    const TimeBase tb;
    EXPECT_EQ(tb.origin, TimingOrigin::UnknownNominal);
    EXPECT_FALSE(tb.Known());
    EXPECT_EQ(tb.period.Picoseconds(), 10'000'000);
    EXPECT_DOUBLE_EQ(tb.SecondsAt(1'048'576), 10.48576);
    EXPECT_TRUE(TimeBase::Paced(tb.period).Known());
}

TEST(TimeFormat, GermanTextsPickThePrefixAfterRounding) {
    struct Case {
        double value;
        const char* duration;
        const char* frequency;
    };
    const Case cases[] = {
        {10.48576, "10,49 s", "10,49 Hz"},
        {2.03e-6, "2,03 \u00b5s", "0,00 Hz"},
        {1e-5, "10,00 \u00b5s", "0,00 Hz"},
        // 999.996 rounds to 1000,00: the next prefix reads better.
        {999.996e-6, "1,00 ms", "0,00 Hz"},
        {0, "0,00 s", "0,00 Hz"},
        {1500, "1500,00 s", "1,50 kHz"},
        {24e6, "24000000,00 s", "24,00 MHz"},
        {-2.5e-3, "-2,50 ms", "0,00 Hz"},
        {4.2e-13, "0,42 ps", "0,00 Hz"},
        {std::nan(""), "-", "-"},
        {INFINITY, "-", "-"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sampling::FormatDuration(c.value), c.duration) << c.value;
        EXPECT_EQ(sampling::FormatFrequency(c.value), c.frequency) << c.value;
    }
}

TEST(TimeFormat, PerSampleTextNamesTheOrigin) {
    const SamplePeriod p = SamplePeriod::FromNanoseconds(10'000);
    EXPECT_EQ(sampling::FormatPerSample(p), "10,00 \u00b5s je Wert");
    EXPECT_EQ(sampling::DescribeTimeBase(TimeBase::Paced(p)), "10,00 \u00b5s je Wert");
    EXPECT_EQ(sampling::DescribeTimeBase({p, TimingOrigin::Measured, {}}),
              "10,00 \u00b5s je Wert (gemessen)");
    EXPECT_EQ(sampling::DescribeTimeBase(TimeBase::Nominal()),
              "10,00 \u00b5s je Wert (angenommen, Zeitbasis unbekannt)");
}
