#pragma once

#include "acquire/SampleSource.h"
#include "hardware/PortPreparation.h"

#include <cstdint>

class Desktop;
class TPortIO;

namespace sampling {
class MonotonicClock;
}

namespace acquire {

// The parallel port at `base` in the chosen mode: D00..D07 from the data
// register, D08..D11 from the status register's upper four bits, one sample
// per 10 µs. The port must be open and programmed for input.
class ParallelPortSource final : public SampleSource {
  public:
    ParallelPortSource(TPortIO& io, std::int32_t base, LptMode mode, Desktop& desktop,
                       sampling::MonotonicClock& clock);

    std::string Name() const override;
    int Lines() const override { return 12; }
    std::int64_t NominalPeriodNs() const override;
    std::uint64_t RecordLengthCells(bool fiveSeconds) const override;
    std::uint64_t MaxCells() const override;
    // A recording writes its start sequence and waits for the port to
    // settle; live mode writes its own; both end with the same sequence.
    void Prepare(RunKind kind) override;
    void Finish(RunKind kind) override;
    RunResult Run(const RunRequest& request, SampleSink& sink, const RunControl& control) override;

  private:
    TPortIO& io_;
    std::int32_t base_;
    LptMode mode_;
    Desktop& desktop_;
    sampling::MonotonicClock& clock_;
};

} // namespace acquire
