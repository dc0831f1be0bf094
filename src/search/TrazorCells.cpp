#include "search/TrazorCells.h"

#include "display/SamplePyramid.h"
#include "display/TTrazor.h"

namespace search {

TrazorCells::TrazorCells(TTrazor& trazor) : trazor_(trazor), pyramid_(trazor.Pyramid()) {}

std::uint8_t TrazorCells::GetCellLow(std::int32_t index) const {
    return trazor_.GetCellLow(index);
}

std::uint8_t TrazorCells::GetCellHigh(std::int32_t index) const {
    return trazor_.GetCellHigh(index);
}

std::optional<LineSpan> TrazorCells::Summary(std::int32_t first, std::int32_t last) const {
    const SamplePyramid::Span span = pyramid_.Summary(trazor_.Buffer(), first, last);
    LineSpan lines{span.all, span.any};
    // Cells beyond the buffer read as 0: every line is low somewhere there.
    if (last > pyramid_.Cells()) lines.all = 0;
    return lines;
}

} // namespace search
