#pragma once

#include "acquire/SampleSource.h"
#include "sigrok/DeviceSpec.h"

#include <cstdint>
#include <string>

namespace sigrok {
class Context;
}

namespace acquire {

// A libsigrok device at a chosen rate (0: the device's own). The device keeps
// its own clock; the run takes its blocks as they arrive on the acquisition
// thread, waiting for them without polling.
//
// Record lengths: " 5 Sek." and "10 Sek." are five and ten seconds at the
// rate, rounded up to whole 256-cell blocks, at most 32 Mi and 64 Mi cells.
// At 1 MHz that is the full 5 and 10 s; at 24 MHz 1.4 and 2.8 s.
class SigrokDeviceSource final : public SampleSource {
  public:
    // `lengthCells`: the cells every recording takes instead of the " 5 Sek."
    // and "10 Sek." lengths (0: those).
    SigrokDeviceSource(sigrok::Context& context, sigrok::DeviceSpec spec, std::uint64_t rateHz,
                       std::string title = {}, std::uint64_t lengthCells = 0);

    std::string Name() const override;
    // Known only once a run has opened the device: the first 16 logic channels.
    int Lines() const override { return 16; }
    std::int64_t NominalPeriodNs() const override;
    std::uint64_t RecordLengthCells(bool fiveSeconds) const override;
    std::uint64_t MaxCells() const override;
    RunResult Run(const RunRequest& request, SampleSink& sink, const RunControl& control) override;
    std::unique_ptr<SteppedRun> Start(const RunRequest& request) override;

    // Samples one round hands the sink before the caller gets control again:
    // a fast device delivers far more between two rounds than a window may
    // spend on them at once. Small enough that a round stays within a
    // millisecond or two, so a caller's time budget holds between rounds.
    static constexpr std::size_t kRoundSamples = 1u << 18;

  private:
    sigrok::Context& context_;
    sigrok::DeviceSpec spec_;
    std::uint64_t rateHz_;
    std::string title_;
    std::uint64_t lengthCells_;
};

} // namespace acquire
