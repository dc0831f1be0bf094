// Drawing a 64 Mi-cell buffer in the diagram at the main window's width of
// 864 pixels: the whole buffer fitted into view, zoomed-out views of every
// level, and one zoom step and one scroll step as the keys make them (the
// drawing of the new view and the widget's repaint of it).
#include "display/BusRows.h"
#include "display/TTrazor.h"
#include "display/TrazorGeometry.h"
#include "display/ViewScale.h"
#include "platform/QtDesktop.h"

#include <QImage>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kCells = 64 << 20;
constexpr int kWidth = 864;

// A capture as a fast device gives it: a counter on lines 0..7 and square
// waves of long periods on 8..15, so every level has toggling and quiet
// columns.
std::vector<std::uint8_t> capture() {
    std::vector<std::uint8_t> bytes(std::size_t(kCells) * 2);
    for (int n = 0; n < kCells; ++n) {
        bytes[std::size_t(n)] = std::uint8_t(n);
        bytes[std::size_t(kCells) + std::size_t(n)] = std::uint8_t(n >> 14);
    }
    return bytes;
}

// The diagram set up as the main window sets it up, holding the capture.
struct Diagram {
    QtDesktop desktop;
    QWidget owner;
    TTrazor* trazor = nullptr;
    Diagram() {
        trazor = new TTrazor(&owner, desktop);
        trazor->LineOption().Apply(TLineVariable::WindowLayout, 10);
        trazor->Option().SetCopyMode(0);
        trazor->Option().SetDigits(16);
        trazor->Option().SetCellsSize(kCells);
        trazor->LoadStream(capture());
        trazor->SetTimeBase(
            sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(20'000'000)));
        trazor->SetAxisFollowsTimeBase(true);
        owner.resize(kWidth, 700);
        owner.show();
        trazor->SetBounds(0, 0, kWidth - 1, 640);
        trazor->Pyramid(); // built once after a recording or a load
    }
    int columns() const { return kWidth - 1 - 1 - 70; }
    // The widget's paint event into a frame of its size. A window of the
    // offscreen platform is never exposed, and repaint() on it measured no
    // painting at all; render() runs the paint event every time.
    static void paint(QWidget& widget) {
        static QImage frame;
        if (frame.size() != widget.size()) frame = QImage(widget.size(), QImage::Format_RGB32);
        widget.render(&frame);
    }
    void drawAll() {
        trazor->DrawScale(trazor->Option().CellsPos());
        trazor->DrawBaseLines();
        trazor->DrawSignals();
    }
};

Diagram& diagram() {
    static auto* d = new Diagram; // built once: 128 MiB of samples
    return *d;
}

void BM_DrawWhole64Mi(benchmark::State& state) {
    Diagram& d = diagram();
    d.trazor->Option().SetCellsPos(0);
    d.trazor->SetZoomOut(trazor::fitScale(kCells, d.columns(), 6));
    for (auto _ : state)
        d.drawAll();
}
BENCHMARK(BM_DrawWhole64Mi)->Unit(benchmark::kMillisecond);

// Every zoomed-out level from 3 pixels per cell to 32,768 cells per column,
// from the middle of the capture.
void BM_DrawZoomedOut64Mi(benchmark::State& state) {
    Diagram& d = diagram();
    const trazor::ViewScale scale = trazor::zoomOutScale(6, int(state.range(0)));
    d.trazor->Option().SetCellsPos(kCells / 2);
    d.trazor->SetZoomOut(scale);
    for (auto _ : state)
        d.drawAll();
    state.SetLabel(std::to_string(scale.cellWidth) + " px, " +
                   std::to_string(scale.cellsPerColumn) + " cells per column");
}
BENCHMARK(BM_DrawZoomedOut64Mi)->DenseRange(1, 18, 1)->Unit(benchmark::kMillisecond);

// One zoom step out and back in, each drawn and repainted.
void BM_ZoomStep64Mi(benchmark::State& state) {
    Diagram& d = diagram();
    d.trazor->Option().SetCellsPos(kCells / 2);
    const trazor::ViewScale a = trazor::zoomOutScale(6, 10), b = trazor::zoomOutScale(6, 11);
    bool out = false;
    for (auto _ : state) {
        d.trazor->SetZoomOut(out ? a : b);
        Diagram::paint(*d.trazor);
        out = !out;
    }
}
BENCHMARK(BM_ZoomStep64Mi)->Unit(benchmark::kMillisecond);

// One wheel notch of scrolling (an eighth of the view) in a zoomed-out view.
void BM_ScrollStep64Mi(benchmark::State& state) {
    Diagram& d = diagram();
    d.trazor->Option().SetCellsPos(kCells / 4);
    d.trazor->SetZoomOut(trazor::zoomOutScale(6, 10));
    const int notch = trazor::wheelCells(d.trazor->VisibleCells());
    bool forward = true;
    for (auto _ : state) {
        if (forward)
            d.trazor->ScrollForward(notch);
        else
            d.trazor->ScrollBack(notch);
        Diagram::paint(*d.trazor);
        forward = !forward;
    }
}
BENCHMARK(BM_ScrollStep64Mi)->Unit(benchmark::kMillisecond);

// For comparison: a scroll step at the narrowest zoom step, cell by cell.
void BM_ScrollStepNarrowest64Mi(benchmark::State& state) {
    Diagram& d = diagram();
    d.trazor->SetZoomOut(std::nullopt);
    d.trazor->Option().SetTimeStep(2);
    d.trazor->Option().SetCellsPos(kCells / 4);
    bool forward = true;
    for (auto _ : state) {
        if (forward)
            d.trazor->ScrollForward(16);
        else
            d.trazor->ScrollBack(16);
        Diagram::paint(*d.trazor);
        forward = !forward;
    }
}
BENCHMARK(BM_ScrollStepNarrowest64Mi)->Unit(benchmark::kMillisecond);

// Two bus rows under the diagram (the counter's byte and a nibble of the slow
// lines) repainted over the whole capture and at 1 px per cell.
void BM_BusRows64Mi(benchmark::State& state) {
    Diagram& d = diagram();
    static auto* rows = [&d] {
        auto* r = new BusRows(&d.owner, *d.trazor, d.desktop);
        r->SetBuses({{QStringLiteral("Zähler"), {7, 6, 5, 4, 3, 2, 1, 0}},
                     {QStringLiteral("Langsam"), {11, 10, 9, 8}}});
        r->setGeometry(0, 640, kWidth - 1, r->RowsHeight());
        r->show();
        return r;
    }();
    const bool whole = state.range(0) == 0;
    d.trazor->Option().SetCellsPos(whole ? 0 : kCells / 2);
    d.trazor->SetZoomOut(whole ? trazor::fitScale(kCells, d.columns(), 6)
                               : trazor::zoomOutScale(6, 3));
    for (auto _ : state)
        Diagram::paint(*rows);
    state.SetLabel(whole ? "whole capture" : "1 px per cell");
}
BENCHMARK(BM_BusRows64Mi)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
