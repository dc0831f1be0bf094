#pragma once

#include "sampling/MonotonicClock.h"

#include <cstdint>

namespace sampling {

// Paces a recording: sample i is due at t0 + i x period on a monotonic clock.
// Deadlines are absolute, so a late sample never shifts the ones after it: it
// is taken at once and the next deadline is kept. Far from a deadline the
// clock sleeps (cheap), within `spinNs` of it it spins (exact).
// Every sample reads the clock at least once, also when it is late: a slow
// source (the board) must have its true times measured.
class SampleClock {
  public:
    // A spin margin above the usual timer slack and wake-up delay of a desktop
    // Linux kernel, so that sleeping never makes a sample late by itself.
    static constexpr std::int64_t kDefaultSpinNs = 200'000;

    SampleClock(MonotonicClock& clock, std::int64_t periodNs, std::int64_t spinNs = kDefaultSpinNs);

    // Sets t0 to now; sample 0 is due at once.
    void Start();
    std::int64_t StartNs() const { return t0_; }
    std::int64_t PeriodNs() const { return period_; }
    std::int64_t DeadlineNs(std::int64_t sample) const { return t0_ + sample * period_; }

    // Waits until sample `sample` is due and answers the clock time at which
    // it was released.
    std::int64_t WaitFor(std::int64_t sample);

  private:
    MonotonicClock& clock_;
    std::int64_t period_;
    std::int64_t spin_;
    std::int64_t t0_ = 0;
};

} // namespace sampling
