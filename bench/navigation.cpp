// The costs that navigation in a full recording must keep small: summing up
// 1,048,576 cells into the min/max pyramid, drawing the overview strip at the
// main window's width, keeping the pyramid up to date after a live tick, and
// the readout for a pointer in the middle of a pulse 500,000 cells long.
#include "display/OverviewImage.h"
#include "display/PulseReadout.h"
#include "display/SamplePyramid.h"
#include "display/TOverview.h"
#include "display/TTrazor.h"
#include "platform/QtDesktop.h"

#include <QWidget>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int kCells = 1 << 20;

// A recording as the simulated port gives it: a counter on lines 0..3 and
// square waves of many periods on the others, plus some noise on line 15.
SampleBuffer recording() {
    SampleBuffer buffer;
    buffer.Resize(kCells);
    std::mt19937 random(3);
    for (int n = 0; n < kCells; ++n) {
        const auto sq = [n](int half) { return (n / half) & 1; };
        buffer.SetCellLow(n, std::uint8_t((n & 0x0F) | sq(25) << 4 | sq(100) << 5 | sq(500) << 6 |
                                          sq(2500) << 7));
        buffer.SetCellHigh(n, std::uint8_t(sq(3) | sq(10) << 1 | sq(50) << 2 | sq(1000) << 3 |
                                           ((random() % 5000 == 0) ? 0x80 : 0)));
    }
    return buffer;
}

void BM_BuildPyramid1M(benchmark::State& state) {
    const SampleBuffer buffer = recording();
    SamplePyramid pyramid;
    for (auto _ : state) {
        pyramid.Build(buffer);
        benchmark::DoNotOptimize(pyramid.Levels());
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_BuildPyramid1M)->Unit(benchmark::kMillisecond);

// A live tick writes 80 cells; the pyramid follows along their paths only.
void BM_UpdatePyramidAfterLiveTick(benchmark::State& state) {
    SampleBuffer buffer = recording();
    SamplePyramid pyramid;
    pyramid.Update(buffer);
    std::uint8_t value = 0;
    for (auto _ : state) {
        for (int i = 0; i < 80; ++i)
            buffer.SetCellLow(i, value++);
        pyramid.Update(buffer);
    }
}
BENCHMARK(BM_UpdatePyramidAfterLiveTick)->Unit(benchmark::kMicrosecond);

trazor::OverviewStyle style16(int width) {
    trazor::OverviewStyle style;
    style.width = width;
    style.height = 50;
    style.digits = 16;
    for (int line = 0; line < 16; ++line)
        style.lineColors[std::size_t(line)] = TColor(0x101010 * line);
    return style;
}

void BM_RenderOverview864(benchmark::State& state) {
    const SampleBuffer buffer = recording();
    SamplePyramid pyramid;
    pyramid.Build(buffer);
    const trazor::OverviewStyle style = style16(864);
    for (auto _ : state)
        benchmark::DoNotOptimize(trazor::renderOverview(buffer, pyramid, style));
}
BENCHMARK(BM_RenderOverview864)->Unit(benchmark::kMillisecond);

// The strip as the window paints it: the buffer's picture, made again each
// time (as after a live tick), and the frame on top.
void BM_PaintOverviewWidget864(benchmark::State& state) {
    QtDesktop desktop;
    QWidget owner;
    auto* trazor = new TTrazor(&owner, desktop);
    trazor->Option().SetDigits(16);
    trazor->LoadStream(recording().Bytes());
    TOverview overview(&owner, *trazor);
    overview.resize(864, 50);
    QImage target(864, 50, QImage::Format_RGB32);
    int tick = 0;
    for (auto _ : state) {
        trazor->SetCellLow(tick % 80, std::uint8_t(tick));
        ++tick;
        overview.render(&target);
    }
}
BENCHMARK(BM_PaintOverviewWidget864)->Unit(benchmark::kMillisecond);

void BM_ReadoutOnPulse500k(benchmark::State& state) {
    SampleBuffer buffer;
    buffer.Resize(kCells);
    // Low, a pulse of 500,000 cells from cell 100,000, low again, and a short
    // pulse after it so that the period is known.
    for (int n = 100'000; n < 600'000; ++n)
        buffer.SetCellLow(n, 1);
    for (int n = 700'000; n < 700'010; ++n)
        buffer.SetCellLow(n, 1);
    SamplePyramid pyramid;
    pyramid.Build(buffer);
    const auto timeBase =
        sampling::TimeBase::Paced(sampling::SamplePeriod::FromNanoseconds(10'000));
    // The pointer wanders over the pulse as a mouse does.
    int cell = 350'000;
    for (auto _ : state) {
        const auto m = trazor::measurePulse(buffer, pyramid, 0, cell);
        benchmark::DoNotOptimize(trazor::readoutText(*m, QStringLiteral("D00"), timeBase));
        cell = cell == 350'000 ? 350'017 : 350'000;
    }
}
BENCHMARK(BM_ReadoutOnPulse500k)->Unit(benchmark::kMicrosecond);

// The same pulse measured cell by cell, for comparison: what the pyramid saves.
void BM_ReadoutOnPulse500kCellByCell(benchmark::State& state) {
    SampleBuffer buffer;
    buffer.Resize(kCells);
    for (int n = 100'000; n < 600'000; ++n)
        buffer.SetCellLow(n, 1);
    for (auto _ : state) {
        int start = 350'000, end = 350'000;
        while (start > 0 && buffer.Bit(start - 1, 0))
            --start;
        while (end < kCells && buffer.Bit(end, 0))
            ++end;
        benchmark::DoNotOptimize(end - start);
    }
}
BENCHMARK(BM_ReadoutOnPulse500kCellByCell)->Unit(benchmark::kMicrosecond);

} // namespace
