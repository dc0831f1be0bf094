#include "sampling/SampleClock.h"

namespace sampling {

SampleClock::SampleClock(MonotonicClock& clock, std::int64_t periodNs, std::int64_t spinNs)
    : clock_(clock), period_(periodNs > 0 ? periodNs : 0), spin_(spinNs > 0 ? spinNs : 0) {}

void SampleClock::Start() {
    t0_ = clock_.NowNs();
}

std::int64_t SampleClock::WaitFor(std::int64_t sample) {
    const std::int64_t deadline = DeadlineNs(sample);
    for (;;) {
        const std::int64_t now = clock_.NowNs();
        const std::int64_t ahead = deadline - now;
        if (ahead <= 0) return now;
        if (ahead > spin_) clock_.SleepUntilNs(deadline - spin_);
    }
}

} // namespace sampling
