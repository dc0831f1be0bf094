#pragma once

#include "display/SamplePyramid.h"
#include "display/ViewScale.h"

#include <cstdint>
#include <vector>

// What each pixel column of a zoomed-out view shows, for all 16 lines at once:
// a line is high where `all` has its bit, low where `any` lacks it, and toggles
// inside the column otherwise. Read from the min/max pyramid, so the cost
// follows the number of columns, not the cells behind them. Columns past the
// buffer's end read as low, as cells outside the buffer do.
namespace trazor {

std::vector<SamplePyramid::Span> summarizeColumns(const SampleBuffer& buffer,
                                                  const SamplePyramid& pyramid, long long firstCell,
                                                  const ViewScale& scale, int columns);

// A line's level in one column.
enum class ColumnLevel : std::uint8_t { Low, High, Toggling };

inline ColumnLevel levelOf(const SamplePyramid::Span& span, int line) {
    const auto mask = std::uint16_t(1u << line);
    if (span.all & mask) return ColumnLevel::High;
    if (span.any & mask) return ColumnLevel::Toggling;
    return ColumnLevel::Low;
}

} // namespace trazor
