#pragma once

#include "sampling/TimeBase.h"

#include <array>
#include <cstdint>
#include <string>

namespace sampling {

// What a recording achieved: how many samples in what time, the mean period,
// the largest gap between two samples and how late samples were taken
// against their deadlines. Filled by TimingRecorder; a plain value afterwards.
struct RunTiming {
    // Lateness histogram: buckets 0..999 count samples late by k us (rounded
    // down), buckets 1000..1998 those late by k - 999 ms, the last one
    // everything from 1 s on.
    static constexpr int kFineBuckets = 1000;
    static constexpr int kHistogramBuckets = 2000;
    static int BucketOf(std::int64_t latenessNs) {
        if (latenessNs < 1'000'000) return int(latenessNs / 1000);
        const std::int64_t ms = latenessNs / 1'000'000;
        return ms < kHistogramBuckets - kFineBuckets ? int(kFineBuckets - 1 + ms)
                                                     : kHistogramBuckets - 1;
    }

    std::int64_t nominalPeriodNs = 0;
    std::int64_t samples = 0;
    std::int64_t firstNs = 0; // clock time of the first and the last sample
    std::int64_t lastNs = 0;
    std::int64_t maxGapNs = 0;
    std::int64_t lateSamples = 0; // later than lateAfterNs
    std::int64_t lateAfterNs = 0;
    std::int64_t maxLatenessNs = 0;
    std::array<std::int64_t, kHistogramBuckets> lateness{};

    // (last - first) / (samples - 1); the nominal period below two samples.
    double MeanPeriodNs() const;
    // The span the samples cover: samples x mean period.
    double DurationSeconds() const;
    // The run's span is within 0.1 % of the nominal one (or, for a short
    // run, within lateAfterNs of it).
    bool KeptPace() const;
    // Paced with the nominal period when the pace was kept, else measured with
    // the mean period (rounded to the picosecond).
    TimeBase ToTimeBase() const;
    // Upper bound, in ns, of the lateness of the given fraction of samples
    // (0.999: 99.9 % were at most this late); 1 us resolution below 1 ms,
    // 1 ms above.
    std::int64_t LatenessQuantileNs(double fraction) const;

    // German summary for the status panel, e.g.
    // "1048576 Werte in 10,49 s, 10,00 µs je Wert"; a measured period
    // names the pace it missed ("10,04 µs je Wert (gemessen, Soll 10,00 µs)"),
    // late samples are counted with the largest lateness.
    std::string Summary() const;
};

// Collects a RunTiming sample by sample; Record is cheap enough for every sample.
class TimingRecorder {
  public:
    // A sample counts as late when taken more than `lateAfterNs` after its
    // deadline; below 0 chooses half the period, at most 20 us.
    explicit TimingRecorder(std::int64_t nominalPeriodNs, std::int64_t lateAfterNs = -1);

    void Record(std::int64_t deadlineNs, std::int64_t takenNs) {
        const std::int64_t late = takenNs > deadlineNs ? takenNs - deadlineNs : 0;
        if (late > t_.maxLatenessNs) t_.maxLatenessNs = late;
        if (late > t_.lateAfterNs) ++t_.lateSamples;
        ++t_.lateness[std::size_t(RunTiming::BucketOf(late))];
        if (t_.samples == 0) {
            t_.firstNs = takenNs;
        } else if (takenNs - t_.lastNs > t_.maxGapNs) {
            t_.maxGapNs = takenNs - t_.lastNs;
        }
        t_.lastNs = takenNs;
        ++t_.samples;
    }

    const RunTiming& Result() const { return t_; }

  private:
    RunTiming t_;
};

} // namespace sampling
