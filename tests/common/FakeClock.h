#pragma once

#include "sampling/MonotonicClock.h"

#include <vector>

// A clock that moves only when read (by `readCostNs`, as a real read takes
// time) or slept on, and remembers every sleep. An optional stall makes the
// read at a given time jump ahead, as a preempted thread sees it.
class FakeClock final : public sampling::MonotonicClock {
  public:
    explicit FakeClock(std::int64_t readCostNs = 100) : readCost_(readCostNs) {}

    std::int64_t NowNs() override {
        if (stallAtNs >= 0 && now >= stallAtNs) {
            now += stallNs;
            stallAtNs = -1;
        }
        ++reads;
        return now += readCost_;
    }
    void SleepUntilNs(std::int64_t ns) override {
        sleeps.push_back(ns);
        if (ns > now) now = ns + wakeLateNs;
    }

    std::int64_t now = 1'000'000'000;
    std::int64_t wakeLateNs = 0;
    std::int64_t stallAtNs = -1;
    std::int64_t stallNs = 0;
    std::int64_t reads = 0;
    std::vector<std::int64_t> sleeps;

  private:
    std::int64_t readCost_;
};
