#include "FakeClock.h"
#include "sampling/RunTiming.h"
#include "sampling/SampleClock.h"

#include <gtest/gtest.h>

using sampling::RunTiming;
using sampling::SampleClock;
using sampling::TimingOrigin;
using sampling::TimingRecorder;

namespace {

// Runs `samples` samples on `clock`, each costing `workNs` after its release.
RunTiming run(FakeClock& clock, std::int64_t periodNs, std::int64_t samples,
              std::int64_t workNs = 0) {
    SampleClock pace(clock, periodNs);
    TimingRecorder timing(periodNs);
    pace.Start();
    for (std::int64_t i = 0; i < samples; ++i) {
        const std::int64_t taken = pace.WaitFor(i);
        timing.Record(pace.DeadlineNs(i), taken);
        clock.now += workNs;
    }
    return timing.Result();
}

} // namespace

TEST(SampleClock, ReleasesEachSampleAtItsAbsoluteDeadline) {
    FakeClock clock(50);
    SampleClock pace(clock, 10'000);
    pace.Start();
    const std::int64_t t0 = pace.StartNs();
    for (std::int64_t i = 0; i < 1000; ++i) {
        const std::int64_t taken = pace.WaitFor(i);
        EXPECT_GE(taken, t0 + i * 10'000) << i;
        ASSERT_LE(taken, t0 + i * 10'000 + 50) << i; // within one clock read
        clock.now += 3'000;                          // the sample's own work
    }
}

TEST(SampleClock, SleepsFarFromADeadlineAndSpinsNearIt) {
    // A 10 ms period (the board): one sleep per sample that ends a spin margin
    // before the deadline, then reads until it is due.
    FakeClock clock(1'000);
    SampleClock pace(clock, 10'000'000);
    pace.Start();
    for (std::int64_t i = 1; i <= 3; ++i) {
        clock.sleeps.clear();
        pace.WaitFor(i);
        ASSERT_EQ(clock.sleeps.size(), 1u) << i;
        EXPECT_EQ(clock.sleeps[0], pace.DeadlineNs(i) - SampleClock::kDefaultSpinNs);
    }
    // A 10 us period (the parallel port) never sleeps: it is always within the margin.
    FakeClock fast(50);
    SampleClock port(fast, 10'000);
    port.Start();
    for (std::int64_t i = 0; i < 100; ++i)
        port.WaitFor(i);
    EXPECT_TRUE(fast.sleeps.empty());
}

TEST(SampleClock, ALateSampleIsTakenAtOnceAndLaterDeadlinesStay) {
    // A 95 us stall before sample 10: samples 10..19 are late and taken back to
    // back, sample 20 waits for its own deadline again; nothing drifts.
    FakeClock clock(50);
    SampleClock pace(clock, 10'000);
    pace.Start();
    const std::int64_t t0 = pace.StartNs();
    std::vector<std::int64_t> taken;
    for (std::int64_t i = 0; i < 40; ++i) {
        if (i == 10) clock.now += 95'000;
        taken.push_back(pace.WaitFor(i));
        clock.now += 200;
    }
    EXPECT_GE(taken[10] - (t0 + 100'000), 85'000);
    for (int i = 11; i < 19; ++i)
        EXPECT_LT(taken[size_t(i)] - taken[size_t(i - 1)], 1'000) << i;
    for (int i = 20; i < 40; ++i) {
        EXPECT_GE(taken[size_t(i)], t0 + i * 10'000) << i;
        EXPECT_LE(taken[size_t(i)], t0 + i * 10'000 + 50) << i;
    }
}

TEST(TimingRecorder, MeasuresDurationMeanGapAndLateness) {
    FakeClock clock(50);
    clock.stallAtNs = clock.now + 500'000; // one 300 us stall half a millisecond in
    clock.stallNs = 300'000;
    const RunTiming t = run(clock, 10'000, 1000, 1'000);
    EXPECT_EQ(t.samples, 1000);
    EXPECT_NEAR(t.MeanPeriodNs(), 10'000, 1);
    EXPECT_TRUE(t.KeptPace());
    EXPECT_NEAR(t.DurationSeconds(), 0.01, 1e-5);
    EXPECT_GE(t.maxLatenessNs, 290'000);
    EXPECT_LE(t.maxLatenessNs, 310'000);
    EXPECT_GE(t.maxGapNs, 300'000);
    // Each sample gains about 9 us on the deadlines, so about 33 samples are
    // later than the 5 us a 10 us period tolerates.
    EXPECT_NEAR(t.lateSamples, 33, 2);
    EXPECT_LE(t.LatenessQuantileNs(0.9), 1'000);
    EXPECT_GE(t.LatenessQuantileNs(0.999), 250'000);
    const sampling::TimeBase tb = t.ToTimeBase();
    EXPECT_EQ(tb.origin, TimingOrigin::Paced);
    EXPECT_EQ(tb.period.Picoseconds(), 10'000'000);
}

TEST(TimingRecorder, ASourceSlowerThanThePaceGivesAMeasuredTimeBase) {
    // Each board read takes 12.5 ms against a 10 ms pace.
    FakeClock clock(100);
    const RunTiming t = run(clock, 10'000'000, 200, 12'500'000);
    EXPECT_FALSE(t.KeptPace());
    EXPECT_NEAR(t.MeanPeriodNs(), 12'500'100, 200);
    const sampling::TimeBase tb = t.ToTimeBase();
    EXPECT_EQ(tb.origin, TimingOrigin::Measured);
    EXPECT_NEAR(double(tb.period.Picoseconds()), 12'500'100'000.0, 200'000.0);
    EXPECT_EQ(t.lateSamples, 199);
    EXPECT_EQ(t.Summary(), "200 Werte in 2,50 s, 12,50 ms je Wert (gemessen, Soll 10,00 ms), "
                           "199 verspätet (max. 497,52 ms)");
}

TEST(TimingRecorder, SummaryOfAPacedRunAndOfTooFewSamples) {
    FakeClock clock(2'000);
    const RunTiming paced = run(clock, 10'000, 1'048'576, 1'000);
    EXPECT_EQ(paced.Summary(), "1048576 Werte in 10,49 s, 10,00 \u00b5s je Wert");
    const RunTiming none = sampling::TimingRecorder(10'000).Result();
    EXPECT_EQ(none.ToTimeBase().origin, TimingOrigin::Paced);
    EXPECT_EQ(none.LatenessQuantileNs(0.999), 0);
    EXPECT_EQ(none.Summary(), "0 Werte in 0,00 s, 10,00 \u00b5s je Wert");
}

TEST(TimingRecorder, LatenessQuantilesReachFromMicrosecondsToSeconds) {
    TimingRecorder timing(10'000);
    std::int64_t deadline = 0;
    const auto record = [&](std::int64_t late) {
        timing.Record(deadline, deadline + late);
        deadline += 10'000;
    };
    for (int i = 0; i < 997; ++i)
        record(300);       // on time within a microsecond
    record(15'500);        // a fine bucket
    record(2'500'000);     // a millisecond bucket
    record(1'500'000'000); // beyond the histogram
    const RunTiming& t = timing.Result();
    struct Case {
        double fraction;
        std::int64_t bound;
    };
    for (const Case c : {Case{0.5, 1'000}, Case{0.997, 1'000}, Case{0.998, 16'000},
                         Case{0.999, 3'000'000}, Case{1.0, 1'500'000'000}})
        EXPECT_EQ(t.LatenessQuantileNs(c.fraction), c.bound) << c.fraction;
    EXPECT_EQ(t.lateSamples, 3);
}

TEST(TimingRecorder, AShortRunWhoseFirstSampleIsLateStillKeptThePace) {
    // 80 samples (a live burst): the first one 2 us late, the rest on time.
    // The mean is 0.25 % short, but the span misses the nominal one by only
    // one small lateness: the nominal period holds.
    TimingRecorder timing(10'000);
    timing.Record(0, 2'000);
    for (int i = 1; i < 80; ++i)
        timing.Record(i * 10'000, i * 10'000);
    EXPECT_TRUE(timing.Result().KeptPace());
    EXPECT_EQ(timing.Result().ToTimeBase().origin, TimingOrigin::Paced);
    // Sixty microseconds over the same span is a pace not kept.
    TimingRecorder slow(10'000);
    for (int i = 0; i < 80; ++i)
        slow.Record(i * 10'000, i * 10'750);
    EXPECT_FALSE(slow.Result().KeptPace());
}
