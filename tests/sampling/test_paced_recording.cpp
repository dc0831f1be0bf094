#include "FakeClock.h"
#include "sampling/PacedRecording.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr std::int64_t kPeriod = 10'000;

struct Pumped {
    std::int64_t samples;
    std::int64_t nowNs;
};

} // namespace

TEST(PacedRecording, StoresEachReadSampleAtItsIndexAndTimesIt) {
    FakeClock clock(50);
    int next = 100;
    std::vector<std::pair<std::int64_t, int>> stored;
    const sampling::PacedRun run = sampling::RecordPaced(
        clock, kPeriod, [](std::int64_t i) { return i < 5; }, [&] { return next++; },
        [&](std::int64_t i, int value) { stored.emplace_back(i, value); },
        [](std::int64_t, std::int64_t) {});
    EXPECT_EQ(run.samples, 5);
    const std::vector<std::pair<std::int64_t, int>> expected{
        {0, 100}, {1, 101}, {2, 102}, {3, 103}, {4, 104}};
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(run.timing.samples, 5);
    EXPECT_EQ(run.timing.nominalPeriodNs, kPeriod);
    EXPECT_TRUE(run.timing.KeptPace());
    EXPECT_EQ(run.timing.lateSamples, 0);
}

TEST(PacedRecording, NothingWantedReadsNothing) {
    FakeClock clock;
    int reads = 0;
    const sampling::PacedRun run = sampling::RecordPaced(
        clock, kPeriod, [](std::int64_t) { return false; }, [&] { return ++reads; },
        [](std::int64_t, int) {}, [](std::int64_t, std::int64_t) {});
    EXPECT_EQ(run.samples, 0);
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(run.timing.samples, 0);
}

// The caller's events run about once a millisecond of recording, never more
// often, also when the source is fast.
TEST(PacedRecording, PumpsAboutOncePerMillisecond) {
    FakeClock clock(50);
    std::vector<Pumped> pumps;
    const sampling::PacedRun run = sampling::RecordPaced(
        clock, kPeriod, [](std::int64_t i) { return i < 1000; }, [] { return 0; },
        [](std::int64_t, int) {},
        [&](std::int64_t samples, std::int64_t now) { pumps.push_back({samples, now}); });
    ASSERT_EQ(run.samples, 1000);
    // 1000 samples of 10 us span 9.99 ms: one pump per millisecond.
    ASSERT_GE(pumps.size(), 9u);
    ASSERT_LE(pumps.size(), 10u);
    for (std::size_t k = 1; k < pumps.size(); ++k) {
        EXPECT_GE(pumps[k].nowNs - pumps[k - 1].nowNs, sampling::kPacedPumpEveryNs);
        EXPECT_GT(pumps[k].samples, pumps[k - 1].samples);
    }
}

// A stop asked for from the events (the stop button, Ctrl+C) ends the run at
// the next sample and keeps what was taken.
TEST(PacedRecording, StopFromThePumpEndsAtTheNextSample) {
    FakeClock clock(50);
    bool stop = false;
    std::int64_t stoppedAt = -1;
    std::int64_t stored = 0;
    const sampling::PacedRun run = sampling::RecordPaced(
        clock, kPeriod, [&](std::int64_t i) { return i < 100'000 && !stop; }, [] { return 1; },
        [&](std::int64_t, int) { ++stored; },
        [&](std::int64_t samples, std::int64_t) {
            stop = true;
            stoppedAt = samples;
        });
    ASSERT_GT(stoppedAt, 0);
    EXPECT_EQ(run.samples, stoppedAt);
    EXPECT_EQ(stored, stoppedAt);
    EXPECT_EQ(run.timing.samples, stoppedAt);
}
