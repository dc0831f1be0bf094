#pragma once

#include "acquire/SampleSource.h"

class Desktop;
class TPortUSB;

namespace sampling {
class MonotonicClock;
}

namespace acquire {

// A K8055 board's five inputs as D00..D04, one sample per 10 ms. The board
// must be connected.
class BoardSource final : public SampleSource {
  public:
    BoardSource(TPortUSB& usb, Desktop& desktop, sampling::MonotonicClock& clock);

    std::string Name() const override;
    int Lines() const override { return 5; }
    std::int64_t NominalPeriodNs() const override;
    std::uint64_t RecordLengthCells(bool fiveSeconds) const override;
    std::uint64_t MaxCells() const override;
    // A recording waits for the board to settle; live mode starts at once.
    void Prepare(RunKind kind) override;
    RunResult Run(const RunRequest& request, SampleSink& sink, const RunControl& control) override;

  private:
    TPortUSB& usb_;
    Desktop& desktop_;
    sampling::MonotonicClock& clock_;
};

} // namespace acquire
