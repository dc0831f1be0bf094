#pragma once

#include <cstdint>

namespace sampling {

// A monotonic clock in nanoseconds that a recording paces against. The program
// uses SteadyClock; tests give a clock of their own so that deadlines, late
// samples and measured figures are exact and a long recording takes no time.
class MonotonicClock {
  public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t NowNs() = 0;
    // Blocks until about `ns` (may wake a little late, never needs to be exact).
    virtual void SleepUntilNs(std::int64_t ns) = 0;
};

// std::chrono::steady_clock and std::this_thread::sleep_until.
class SteadyClock final : public MonotonicClock {
  public:
    std::int64_t NowNs() override;
    void SleepUntilNs(std::int64_t ns) override;
};

} // namespace sampling
