#include "search/SearchRoutines.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

// A full 10-second parallel-port recording: 1,048,576 cells of two planes.
constexpr std::int32_t kCells = 0x100000;

class Planes final : public search::CellReader {
  public:
    Planes() : low_(kCells, 0x55), high_(kCells, 0x00) {}
    std::uint8_t GetCellLow(std::int32_t i) const override {
        return i >= 0 && i < kCells ? low_[i] : 0;
    }
    std::uint8_t GetCellHigh(std::int32_t i) const override {
        return i >= 0 && i < kCells ? high_[i] : 0;
    }

  private:
    std::vector<std::uint8_t> low_, high_;
};

// Worst cases: nothing is found, every cell is visited.
void BM_FindEdgeWholeBuffer(benchmark::State& state) {
    const Planes cells;
    int blocks = 0;
    for (auto _ : state) {
        auto hit = search::FindEdge(cells, 0, kCells, 9, search::EdgeRising, [&] { ++blocks; });
        benchmark::DoNotOptimize(hit);
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_FindEdgeWholeBuffer)->Unit(benchmark::kMillisecond);

void BM_FindNibbleWholeBuffer(benchmark::State& state) {
    const Planes cells;
    int blocks = 0;
    for (auto _ : state) {
        auto hit = search::FindNibble(cells, 0, kCells, 0xA, search::ByteLow, search::KindNibbleHi,
                                      [&] { ++blocks; });
        benchmark::DoNotOptimize(hit);
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(BM_FindNibbleWholeBuffer)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
