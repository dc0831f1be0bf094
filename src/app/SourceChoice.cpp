#include "SourceChoice.h"

#include "SigrokSource.h"
#include "SourceCommands.h"
#include "TMain1.h"
#include "acquire/BoardSource.h"
#include "acquire/ParallelPortSource.h"

namespace {

// The sigrok source before a device was chosen: every run says so.
class NoDevice final : public acquire::SampleSource {
  public:
    std::string Name() const override { return "sigrok"; }
    int Lines() const override { return 0; }
    std::int64_t NominalPeriodNs() const override { return 0; }
    std::uint64_t RecordLengthCells(bool) const override { return 256; }
    std::uint64_t MaxCells() const override { return 0; }
    acquire::RunResult Run(const acquire::RunRequest&, acquire::SampleSink&,
                           const acquire::RunControl&) override {
        acquire::RunResult result;
        result.error = "Es ist kein sigrok-Gerät gewählt.";
        return result;
    }
};

} // namespace

SourceKind ChosenSourceKind(const MainState& state) {
    switch (state.InputSource) {
    case 1:
        return SourceKind::Board;
    case 2:
        return SourceKind::SigrokDevice;
    default:
        return SourceKind::ParallelPort;
    }
}

std::unique_ptr<acquire::SampleSource> MakeSampleSource(TMain1& main) {
    switch (ChosenSourceKind(main.State())) {
    case SourceKind::Board:
        return std::make_unique<acquire::BoardSource>(main.PortUSB1(), main.desktop(),
                                                      main.SampleClock());
    case SourceKind::SigrokDevice:
        if (auto device = main.Sigrok().MakeSource()) return device;
        return std::make_unique<NoDevice>();
    case SourceKind::ParallelPort:
        break;
    }
    return std::make_unique<acquire::ParallelPortSource>(main.PortIO1(), main.State().PortBase,
                                                         main.Source().CurrentLptMode(),
                                                         main.desktop(), main.SampleClock());
}

void ShapeRequest(TMain1& main, acquire::RunRequest& request) {
    if (ChosenSourceKind(main.State()) == SourceKind::SigrokDevice) main.Sigrok().Shape(request);
}
