#include "sampling/MonotonicClock.h"

#include <chrono>
#include <thread>

namespace sampling {

std::int64_t SteadyClock::NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SteadyClock::SleepUntilNs(std::int64_t ns) {
    std::this_thread::sleep_until(
        std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns)));
}

} // namespace sampling
