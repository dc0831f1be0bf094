#include "sampling/RunTiming.h"

#include "sampling/TimeFormat.h"

#include <algorithm>
#include <cmath>

namespace sampling {

double RunTiming::MeanPeriodNs() const {
    if (samples < 2) return double(nominalPeriodNs);
    return double(lastNs - firstNs) / double(samples - 1);
}

double RunTiming::DurationSeconds() const {
    return double(samples) * MeanPeriodNs() * 1e-9;
}

bool RunTiming::KeptPace() const {
    if (nominalPeriodNs <= 0) return false;
    if (samples < 2) return true;
    // The span of the run against the nominal one: within 0.1 %, or, for a
    // short run (a live burst), within the lateness a single sample may have.
    const double nominalSpan = double(nominalPeriodNs) * double(samples - 1);
    const double error = std::fabs(double(lastNs - firstNs) - nominalSpan);
    return error <= std::max(0.001 * nominalSpan, double(lateAfterNs));
}

TimeBase RunTiming::ToTimeBase() const {
    const SamplePeriod nominal = SamplePeriod::FromNanoseconds(nominalPeriodNs);
    if (KeptPace()) return TimeBase::Paced(nominal);
    const auto ps = std::int64_t(std::llround(MeanPeriodNs() * 1000.0));
    if (ps <= 0) return TimeBase::Paced(nominal); // too few samples to measure
    return {SamplePeriod::FromPicoseconds(ps), TimingOrigin::Measured, std::nullopt};
}

std::int64_t RunTiming::LatenessQuantileNs(double fraction) const {
    if (samples <= 0) return 0;
    const auto wanted = std::int64_t(std::ceil(std::clamp(fraction, 0.0, 1.0) * double(samples)));
    std::int64_t seen = 0;
    for (int k = 0; k < kHistogramBuckets; ++k) {
        seen += lateness[std::size_t(k)];
        if (seen < wanted) continue;
        // The upper bound of bucket k; the last bucket is open-ended.
        const std::int64_t bound = k < kFineBuckets ? std::int64_t(k + 1) * 1000
                                   : k < kHistogramBuckets - 1
                                       ? std::int64_t(k - kFineBuckets + 2) * 1'000'000
                                       : maxLatenessNs;
        return std::min(bound, maxLatenessNs);
    }
    return maxLatenessNs;
}

std::string RunTiming::Summary() const {
    const TimeBase tb = ToTimeBase();
    std::string text = std::to_string(samples) + " Werte in " + FormatDuration(DurationSeconds()) +
                       ", " + FormatPerSample(tb.period);
    if (tb.origin == TimingOrigin::Measured)
        text += " (gemessen, Soll " + FormatDuration(double(nominalPeriodNs) * 1e-9) + ")";
    if (lateSamples > 0)
        text += ", " + std::to_string(lateSamples) + " verspätet (max. " +
                FormatDuration(double(maxLatenessNs) * 1e-9) + ")";
    return text;
}

TimingRecorder::TimingRecorder(std::int64_t nominalPeriodNs, std::int64_t lateAfterNs) {
    t_.nominalPeriodNs = nominalPeriodNs;
    t_.lateAfterNs =
        lateAfterNs >= 0 ? lateAfterNs : std::min<std::int64_t>(nominalPeriodNs / 2, 20'000);
}

} // namespace sampling
