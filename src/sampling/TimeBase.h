#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// How long one sample of a buffer really lasts, and how we know.
//
// Every time the program shows or writes (marker times and frequencies, the
// scroll hint, readouts, exports) is computed from the buffer's TimeBase, never
// from the display's unit settings. A TimeBase is a plain value: copy it,
// compare it, store it beside the samples.
//
//   sampling::TimeBase tb = sampling::TimeBase::Paced(SamplePeriod::FromNanoseconds(10'000));
//   double t = tb.SecondsAt(cell);          // time of a cell since the first one
//   double hz = tb.period.RateHz();         // sample rate
namespace sampling {

// A sample period as an exact fraction of a second (num / den s), so that both
// period-based sources (10 us, 10 ms) and rate-based ones (24 MHz, 1 GHz) are
// held without rounding.
class SamplePeriod {
  public:
    // Non-positive arguments give the default period of 10 us.
    static SamplePeriod FromPicoseconds(std::int64_t ps);
    static SamplePeriod FromNanoseconds(std::int64_t ns) { return FromPicoseconds(ns * 1000); }
    static SamplePeriod FromRateHz(std::uint64_t hz);

    double Seconds() const { return double(num_) / double(den_); }
    double RateHz() const { return double(den_) / double(num_); }
    // Rounded to the nearest picosecond.
    std::int64_t Picoseconds() const;
    // The rate when it is a whole number of hertz (as sample-rate fields of
    // other file formats need it), else nullopt.
    std::optional<std::uint64_t> ExactRateHz() const;
    // Time of `cells` periods, in picoseconds, exact up to the final rounding.
    std::int64_t PicosecondsFor(std::int64_t cells) const;

    bool operator==(const SamplePeriod&) const = default;

  private:
    SamplePeriod(std::int64_t num, std::int64_t den);
    std::int64_t num_ = 1;       // seconds numerator
    std::int64_t den_ = 100'000; // seconds denominator (kept reduced)
};

// Where a time base came from.
enum class TimingOrigin {
    Paced,          // a recording met its deadlines: the nominal period holds
    Measured,       // a recording could not keep the pace: the measured mean period
    UnknownNominal, // no timing known (a DIG file): the nominal period is assumed
    Exact,          // given by a device or a file format that stores its rate
};

struct TimeBase {
    SamplePeriod period = SamplePeriod::FromNanoseconds(10'000);
    TimingOrigin origin = TimingOrigin::UnknownNominal;
    // Wall-clock time of the first sample, when known.
    std::optional<std::chrono::system_clock::time_point> start;

    // What a buffer without timing of its own assumes: 10 us, unknown.
    static TimeBase Nominal() { return {}; }
    static TimeBase Paced(SamplePeriod p) { return {p, TimingOrigin::Paced, std::nullopt}; }
    static TimeBase Exact(SamplePeriod p) { return {p, TimingOrigin::Exact, std::nullopt}; }

    // Seconds from the first sample to sample `cell` (cells may be negative
    // for differences).
    double SecondsAt(std::int64_t cell) const { return double(cell) * period.Seconds(); }
    // True when the period comes from the source or a measurement, not an assumption.
    bool Known() const { return origin != TimingOrigin::UnknownNominal; }

    bool operator==(const TimeBase&) const = default;
};

} // namespace sampling
