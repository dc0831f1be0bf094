#pragma once

#include "sampling/MonotonicClock.h"
#include "sampling/RunTiming.h"
#include "sampling/SampleClock.h"

#include <cstdint>

namespace sampling {

// How often a paced recording hands control to its caller (events of a window,
// a progress line, a stop check): at most once per millisecond by the clock the
// pacing reads anyway, whatever the source's speed.
constexpr std::int64_t kPacedPumpEveryNs = 1'000'000;

struct PacedRun {
    std::int64_t samples = 0; // samples taken and handed to the sink
    RunTiming timing;
};

// Takes sample i at t0 + i x periodNs, for i = 0, 1, ... while wanted(i)
// answers true: read() gives the sample, sink(i, sample) stores it. Deadlines
// are absolute (see SampleClock), and every sample's time is recorded.
// pump(samplesTaken, nowNs) runs at most once per kPacedPumpEveryNs, between two
// samples; wanted(i) is asked again after it, so a stop requested from there,
// or a count changed there, ends the run at the next sample.
//
// The callables are template parameters so that the compiler inlines them:
// this loop runs a hundred thousand times a second and must cost next to
// nothing beyond the source's own reads and the clock read.
template <typename Wanted, typename Read, typename Sink, typename Pump>
PacedRun RecordPaced(MonotonicClock& clock, std::int64_t periodNs, Wanted&& wanted, Read&& read,
                     Sink&& sink, Pump&& pump) {
    SampleClock pace(clock, periodNs);
    TimingRecorder timing(periodNs);
    pace.Start();
    std::int64_t lastPump = pace.StartNs();
    std::int64_t i = 0;
    while (wanted(i)) {
        const std::int64_t taken = pace.WaitFor(i);
        sink(i, read());
        timing.Record(pace.DeadlineNs(i), taken);
        ++i;
        if (taken - lastPump >= kPacedPumpEveryNs) {
            lastPump = taken;
            pump(i, taken);
        }
    }
    return {i, timing.Result()};
}

} // namespace sampling
