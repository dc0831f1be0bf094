// Full refresh and one-cell scroll of the diagram at the main window's size
// and geometry, 16 lines of a busy signal. At 33 pixels a row the lower lines
// fall below the 390-pixel bitmap; they are walked and clipped all the same.
#include "display/TTrazor.h"
#include "platform/QtDesktop.h"

#include <QWidget>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

struct Diagram {
    QtDesktop desktop;
    QWidget owner;
    TTrazor* trazor = new TTrazor(&owner, desktop);

    Diagram() {
        trazor->LineOption().Apply(TLineVariable::WindowLayout, 10);
        trazor->Option().SetCopyMode(0);
        trazor->Option().SetTimefactor(10);
        trazor->Option().SetDigits(16);
        trazor->SetBounds(0, 0, 772, 390);
        std::mt19937 random(1);
        for (int cell = 0; cell < trazor->Option().CellsSize(); ++cell) {
            trazor->SetCellLow(cell, std::uint8_t(random()));
            trazor->SetCellHigh(cell, std::uint8_t(random()));
        }
        trazor->Option().SetCellsPos(1000);
    }
};

void BM_FullRefresh(benchmark::State& state) {
    Diagram d;
    for (auto _ : state) {
        d.trazor->DrawScale(d.trazor->Option().CellsPos());
        d.trazor->DrawBaseLines();
        d.trazor->DrawSignals();
    }
}
BENCHMARK(BM_FullRefresh)->Unit(benchmark::kMicrosecond);

void BM_ScrollForwardOne(benchmark::State& state) {
    Diagram d;
    for (auto _ : state) {
        d.trazor->ScrollForward(1);
        if (d.trazor->Option().CellsPos() > 6000) d.trazor->Option().SetCellsPos(1000);
    }
}
BENCHMARK(BM_ScrollForwardOne)->Unit(benchmark::kMicrosecond);

// Narrow cells (TimeStep 4): with CopyMode 0 every scroll redraws in full;
// with CopyMode 4 a one-cell scroll moves the bitmap and redraws only the
// exposed strips.
void BM_ScrollForwardOneNarrow(benchmark::State& state) {
    Diagram d;
    d.trazor->Option().SetCopyMode(static_cast<int>(state.range(0)));
    d.trazor->Option().SetTimeStep(4);
    for (auto _ : state) {
        d.trazor->ScrollForward(1);
        if (d.trazor->Option().CellsPos() > 6000) d.trazor->Option().SetCellsPos(1000);
    }
}
BENCHMARK(BM_ScrollForwardOneNarrow)->Arg(0)->Arg(4)->Unit(benchmark::kMicrosecond);

} // namespace
