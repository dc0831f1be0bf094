#pragma once

#include "search/SearchRoutines.h"

#include <cstdint>
#include <optional>

class SamplePyramid;
class TTrazor;

namespace search {

// The display's buffer as the searches read it: cell by cell, and in whole
// blocks through the display's min/max summary, so that a search steps over
// long stretches where a line keeps its level.
class TrazorCells final : public CellReader {
  public:
    // Brings the display's summary up to date once, for the whole search.
    explicit TrazorCells(TTrazor& trazor);
    std::uint8_t GetCellLow(std::int32_t index) const override;
    std::uint8_t GetCellHigh(std::int32_t index) const override;
    std::optional<LineSpan> Summary(std::int32_t first, std::int32_t last) const override;

  private:
    const TTrazor& trazor_;
    const SamplePyramid& pyramid_;
};

} // namespace search
