#include "acquire/SigrokDeviceSource.h"

#include "acquire/SourceFacts.h"
#include "sigrok/SigrokAcquisition.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace acquire {

namespace {
// How long a run waits for a block before it asks for a stop again and gives
// its caller control: short enough for a stop button to answer at once.
constexpr std::chrono::milliseconds kWaitForBlocks{5};
} // namespace

SigrokDeviceSource::SigrokDeviceSource(sigrok::Context& context, sigrok::DeviceSpec spec,
                                       std::uint64_t rateHz, std::string title)
    : context_(context), spec_(std::move(spec)), rateHz_(rateHz), title_(std::move(title)) {}

std::string SigrokDeviceSource::Name() const {
    return title_.empty() ? spec_.driver : title_;
}

std::int64_t SigrokDeviceSource::NominalPeriodNs() const {
    return rateHz_ ? std::int64_t(1'000'000'000 / rateHz_) : 0;
}

std::uint64_t SigrokDeviceSource::RecordLengthCells(bool fiveSeconds) const {
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

RunResult SigrokDeviceSource::Run(const RunRequest& request, SampleSink& sink,
                                  const RunControl& control) {
    RunResult result;
    sigrok::Acquisition run(context_, {spec_, rateHz_, request.cells});
    // Blocks taken from the acquisition but not yet in the sink.
    std::deque<std::vector<std::uint16_t>> pending;
    std::size_t offset = 0; // into pending.front()
    bool full = false;
    const auto store = [&] {
        for (std::vector<std::uint16_t>& part : run.TakeBlockList())
            pending.push_back(std::move(part));
        std::size_t budget = kRoundSamples;
        while (!pending.empty() && budget > 0) {
            const std::vector<std::uint16_t>& front = pending.front();
            const std::size_t n = std::min(budget, front.size() - offset);
            const std::size_t kept = full ? 0 : sink.Write(result.cells, front.data() + offset, n);
            result.cells += kept;
            full = full || kept < n;
            budget -= std::min(budget, std::max<std::size_t>(n, 1));
            offset += n;
            if (offset == front.size()) {
                pending.pop_front();
                offset = 0;
            }
        }
    };
    bool stopSent = false;
    bool more = true;
    while (more || !pending.empty()) {
        if (control.Stopped() && !stopSent) {
            run.Stop();
            stopSent = true;
        }
        // With blocks still pending the next round goes on at once.
        if (pending.empty()) more = run.WaitForBlocks(kWaitForBlocks);
        store();
        if (control.progress) control.progress(result.cells);
    }
    run.Wait();
    const sigrok::AcquisitionOutcome& outcome = run.Outcome();
    result.stopped = outcome.stoppedEarly;
    result.error = outcome.error;
    result.lines = outcome.lines;
    result.names = outcome.names;
    result.timeBase = outcome.timeBase;
    return result;
}

} // namespace acquire
