#include "acquire/SigrokDeviceSource.h"

#include "acquire/SourceFacts.h"
#include "sigrok/SigrokAcquisition.h"

#include <algorithm>
#include <memory>
#include <deque>
#include <vector>

namespace acquire {

namespace {
// How long a run waits for a block before it asks for a stop again and gives
// its caller control: short enough for a stop button to answer at once.
constexpr std::chrono::milliseconds kWaitForBlocks{5};
} // namespace

SigrokDeviceSource::SigrokDeviceSource(sigrok::Context& context, sigrok::DeviceSpec spec,
                                       std::uint64_t rateHz, std::string title,
                                       std::uint64_t lengthCells)
    : context_(context), spec_(std::move(spec)), rateHz_(rateHz), title_(std::move(title)),
      lengthCells_(lengthCells) {}

std::string SigrokDeviceSource::Name() const {
    return title_.empty() ? spec_.driver : title_;
}

std::int64_t SigrokDeviceSource::NominalPeriodNs() const {
    return rateHz_ ? std::int64_t(1'000'000'000 / rateHz_) : 0;
}

std::uint64_t SigrokDeviceSource::RecordLengthCells(bool fiveSeconds) const {
    // A length of its own, in whole blocks like the others.
    if (lengthCells_)
        return std::clamp<std::uint64_t>((lengthCells_ + 255) / 256 * 256, 256, kMaxDeviceCells);
    // A fast device fills even the longest buffer in well under the time:
    // 64 Mi cells (128 MiB) last 2.8 s at 24 MHz.
    const std::uint64_t cap = fiveSeconds ? kMaxDeviceCells / 2 : kMaxDeviceCells;
    // The buffer holds whole blocks of 256 cells: round up, so the time is covered.
    const std::uint64_t wanted = (rateHz_ * (fiveSeconds ? 5 : 10) + 255) / 256 * 256;
    return std::clamp<std::uint64_t>(wanted, 256, cap);
}

std::uint64_t SigrokDeviceSource::MaxCells() const {
    return kMaxDeviceCells;
}

namespace {

// The acquisition's blocks on their way into the sink: taken from the
// acquisition thread's queue, handed on one round at a time.
class SigrokRun final : public SteppedRun {
  public:
    SigrokRun(sigrok::Context& context, const sigrok::AcquisitionRequest& request)
        : run_(context, request), triggered_(!request.trigger.Empty()) {}

    bool Step(SampleSink& sink) override {
        // Read before the take: once the thread has finished, this take
        // empties its queue for good.
        const bool finished = run_.Finished();
        for (std::vector<std::uint16_t>& part : run_.TakeBlockList())
            pending_.push_back(std::move(part));
        std::size_t budget = SigrokDeviceSource::kRoundSamples;
        while (!pending_.empty() && budget > 0) {
            const std::vector<std::uint16_t>& front = pending_.front();
            const std::size_t n = std::min(budget, front.size() - offset_);
            const std::size_t kept = full_ ? 0 : sink.Write(cells_, front.data() + offset_, n);
            cells_ += kept;
            full_ = full_ || kept < n;
            budget -= std::min(budget, std::max<std::size_t>(n, 1));
            offset_ += n;
            if (offset_ == front.size()) {
                pending_.pop_front();
                offset_ = 0;
            }
        }
        return !(finished && pending_.empty());
    }
    void WaitReady(std::chrono::milliseconds timeout) override {
        if (pending_.empty()) run_.WaitForBlocks(timeout);
    }
    void Stop() override { run_.Stop(); }
    std::uint64_t Cells() const override { return cells_; }
    RunResult Result() override {
        run_.Wait();
        const sigrok::AcquisitionOutcome& outcome = run_.Outcome();
        RunResult result;
        result.cells = cells_;
        result.stopped = outcome.stoppedEarly;
        result.error = outcome.error;
        result.lines = outcome.lines;
        result.names = outcome.names;
        result.timeBase = outcome.timeBase;
        if (triggered_) {
            result.triggerCell = outcome.triggerAt;
            result.triggerMissed = !outcome.triggerAt;
            // Nothing that came before a trigger that never fired belongs to
            // a triggered capture; a device that sent some anyway loses them.
            if (result.triggerMissed) result.cells = 0;
        }
        return result;
    }

  private:
    sigrok::Acquisition run_;
    bool triggered_;
    // Blocks taken from the acquisition but not yet in the sink.
    std::deque<std::vector<std::uint16_t>> pending_;
    std::size_t offset_ = 0; // into pending_.front()
    std::uint64_t cells_ = 0;
    bool full_ = false;
};

} // namespace

std::unique_ptr<SteppedRun> SigrokDeviceSource::Start(const RunRequest& request) {
    return std::make_unique<SigrokRun>(
        context_, sigrok::AcquisitionRequest{spec_, rateHz_, request.cells, request.lines,
                                             request.trigger, request.preTriggerPercent});
}

RunResult SigrokDeviceSource::Run(const RunRequest& request, SampleSink& sink,
                                  const RunControl& control) {
    const std::unique_ptr<SteppedRun> run = Start(request);
    bool stopSent = false;
    bool more = true;
    while (more) {
        if (control.Stopped() && !stopSent) {
            run->Stop();
            stopSent = true;
        }
        run->WaitReady(kWaitForBlocks);
        more = run->Step(sink);
        if (control.progress) control.progress(run->Cells());
    }
    return run->Result();
}

} // namespace acquire
