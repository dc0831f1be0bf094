// One parallel-port sample as a recording takes it (data register, then the
// status register) through TPortIO on the simulated port, in request mode
// (one 12-byte driver request per register) and in fast mode (port
// instructions after the grant). Reported as samples per second.
#include "hardware/SimulatedPortSystem.h"
#include "hardware/TPortIO.h"
#include "platform/Desktop.h"

#include <benchmark/benchmark.h>

namespace {

// Nothing in these runs shows a box or waits; a desktop that does nothing.
class SilentDesktop final : public Desktop {
  public:
    int MessageBox(const MessageBoxRequest&) override { return Ok; }
    std::optional<QString> OpenFileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<QString> SaveFileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<TColor> ColorDialog(TColor) override { return {}; }
    bool PrinterSetupDialog(QPrinter&) override { return false; }
    bool PrintDialog(QPrinter&) override { return false; }
    void Beep() override {}
    void Sleep(int) override {}
    void PumpEvents() override {}
};

void Sample(benchmark::State& state, bool fastMode) {
    SilentDesktop desktop;
    TPortIO port(desktop, std::make_unique<SimulatedPortSystem>());
    port.SetIOactive(true);
    port.WritePortByte(0x37A, 0x2F);
    if (fastMode) port.SetIOFastmode(true);
    if (port.IOFastmode() != fastMode) {
        state.SkipWithError("fast mode did not take");
        return;
    }
    for (auto _ : state) {
        const std::uint8_t low = port.ReadPortByte(0x378);
        const std::uint8_t high = port.ReadPortByte(0x379) >> 4;
        benchmark::DoNotOptimize(low);
        benchmark::DoNotOptimize(high);
    }
    state.counters["samples/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_PortSampleRequestMode(benchmark::State& state) {
    Sample(state, false);
}
void BM_PortSampleFastMode(benchmark::State& state) {
    Sample(state, true);
}

} // namespace

BENCHMARK(BM_PortSampleRequestMode);
BENCHMARK(BM_PortSampleFastMode);
BENCHMARK_MAIN();
