#include "display/ColumnSummary.h"

#include <algorithm>

namespace trazor {

std::vector<SamplePyramid::Span> summarizeColumns(const SampleBuffer& buffer,
                                                  const SamplePyramid& pyramid, long long firstCell,
                                                  const ViewScale& scale, int columns) {
    std::vector<SamplePyramid::Span> out(std::size_t(std::max(columns, 0)),
                                         SamplePyramid::Span{0, 0});
    const long long cells = std::min<long long>(pyramid.Cells(), buffer.Cells());
    for (int c = 0; c < columns; ++c) {
        const ViewScale::Range range = scale.cellsAt(c);
        const long long first = firstCell + range.first;
        if (first >= cells) break;
        const long long last = std::min(firstCell + range.last, cells);
        if (first < 0 || last <= first) continue;
        out[std::size_t(c)] = pyramid.Summary(buffer, int(first), int(last));
    }
    return out;
}

} // namespace trazor
