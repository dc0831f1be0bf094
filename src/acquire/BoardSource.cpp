#include "acquire/BoardSource.h"

#include "acquire/PacedRun.h"
#include "acquire/SourceFacts.h"
#include "hardware/PortSample.h"
#include "hardware/TPortUSB.h"
#include "platform/Desktop.h"

namespace acquire {

BoardSource::BoardSource(TPortUSB& usb, Desktop& desktop, sampling::MonotonicClock& clock)
    : usb_(usb), desktop_(desktop), clock_(clock) {}

std::string BoardSource::Name() const {
    return "USB" + std::to_string(usb_.USBportAddr());
}

std::int64_t BoardSource::NominalPeriodNs() const {
    return kBoardPeriodNs;
}

std::uint64_t BoardSource::RecordLengthCells(bool fiveSeconds) const {
    return fiveSeconds ? kBoardCells5s : kBoardCells10s;
}

std::uint64_t BoardSource::MaxCells() const {
    return kMaxPortCells;
}

void BoardSource::Prepare(RunKind kind) {
    if (kind == RunKind::Recording) desktop_.Sleep(kSettleMs);
}

RunResult BoardSource::Run(const RunRequest& request, SampleSink& sink, const RunControl& control) {
    return RunPaced(clock_, request.pacePeriodNs > 0 ? request.pacePeriodNs : NominalPeriodNs(),
                    Lines(), request.cells, sink, control,
                    [this] { return SampleWord(ReadBoardSample(usb_)); });
}

} // namespace acquire
