#pragma once

#include "display/SampleBuffer.h"

#include <cstdint>
#include <optional>
#include <vector>

// A min/max summary of a sample buffer in levels: level 0 sums up blocks of
// 16 cells, each further level 16 entries of the level below. One entry holds,
// for all 16 lines at once, which lines are high in every cell of its block
// (the minimum) and which are high in at least one (the maximum); a line
// whose bits differ toggles inside the block.
//
// It answers, in time bounded by the number of levels rather than by the
// length of the data: what a range of cells looks like (for drawing many
// cells into one pixel) and where the next or previous change of a line lies
// (for edge jumps and pulse measurements). Each query takes the buffer the
// pyramid was built from, which supplies the single cells.
class SamplePyramid {
  public:
    static constexpr int kFanOut = 16;

    // Lines as bit masks: bit n is line n.
    struct Span {
        std::uint16_t all = 0xFFFF; // high in every cell
        std::uint16_t any = 0;      // high in at least one cell
        void Add(const Span& other) {
            all &= other.all;
            any |= other.any;
        }
        void Add(std::uint16_t cell) {
            all &= cell;
            any |= cell;
        }
        bool Empty() const { return all == 0xFFFF && any == 0; }
    };

    // Brings the summary up to date with the buffer's changes since the last
    // call: a reshaped buffer is summed up anew, written cells only along
    // their paths up the levels. Returns whether anything changed.
    bool Update(SampleBuffer& buffer);
    // Sums up the whole buffer, whatever changed.
    void Build(const SampleBuffer& buffer);

    int Cells() const { return cells_; }
    int Levels() const { return static_cast<int>(levels_.size()); }

    // Cells first .. last-1, clipped to the buffer; an empty range gives an
    // empty span (all 0xFFFF, any 0).
    Span Summary(const SampleBuffer& buffer, int first, int last) const;

    // The first cell after `cell` whose bit of `line` differs from the bit at
    // `cell`: the cell an edge leads into. nullopt when the line keeps its
    // level to the end of the buffer, or `cell` or `line` is out of range.
    std::optional<int> NextChange(const SampleBuffer& buffer, int line, int cell) const;
    // The last cell before `cell` whose bit differs: the run holding `cell`
    // starts one cell after it. nullopt when the level holds back to cell 0.
    std::optional<int> PreviousChange(const SampleBuffer& buffer, int line, int cell) const;

  private:
    // Level -1 is the cells themselves.
    int count(int level) const;
    Span entry(const SampleBuffer& buffer, int level, int index) const;
    void sumUp(const SampleBuffer& buffer, int level, int first, int last);

    int cells_ = 0;
    std::vector<std::vector<Span>> levels_;
};

// The 16 line bits of one cell: low plane in bits 0..7, high plane in 8..15.
inline std::uint16_t CellWord(const SampleBuffer& buffer, int cell) {
    return std::uint16_t(buffer.GetCellLow(cell) | (buffer.GetCellHigh(cell) << 8));
}
