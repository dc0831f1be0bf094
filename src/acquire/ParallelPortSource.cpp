#include "acquire/ParallelPortSource.h"

#include "acquire/PacedRun.h"
#include "acquire/SourceFacts.h"
#include "hardware/PortSample.h"
#include "hardware/TPortIO.h"
#include "platform/Desktop.h"

namespace acquire {

ParallelPortSource::ParallelPortSource(TPortIO& io, std::int32_t base, LptMode mode,
                                       Desktop& desktop, sampling::MonotonicClock& clock)
    : io_(io), base_(base), mode_(mode), desktop_(desktop), clock_(clock) {}

std::string ParallelPortSource::Name() const {
    return base_ == 0x278 ? "LPT2" : "LPT1";
}

std::int64_t ParallelPortSource::NominalPeriodNs() const {
    return kPortPeriodNs;
}

std::uint64_t ParallelPortSource::RecordLengthCells(bool fiveSeconds) const {
    return fiveSeconds ? kPortCells5s : kPortCells10s;
}

std::uint64_t ParallelPortSource::MaxCells() const {
    return kMaxPortCells;
}

void ParallelPortSource::Prepare(RunKind kind) {
    if (kind == RunKind::Live) {
        portprep::LiveStart(io_, base_, mode_);
        return;
    }
    portprep::RecordingStart(io_, base_, mode_);
    desktop_.Sleep(kSettleMs);
}

void ParallelPortSource::Finish(RunKind) {
    portprep::RunEnd(io_, base_, mode_);
}

RunResult ParallelPortSource::Run(const RunRequest& request, SampleSink& sink,
                                  const RunControl& control) {
    return RunPaced(clock_, request.pacePeriodNs > 0 ? request.pacePeriodNs : NominalPeriodNs(),
                    Lines(), request.cells, sink, control,
                    [this] { return SampleWord(ReadPortSample(io_, base_)); });
}

} // namespace acquire
