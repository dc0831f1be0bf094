#pragma once

#include "display/SampleBuffer.h"
#include "display/SamplePyramid.h"
#include "platform/Color.h"

#include <QImage>
#include <array>

// The picture of the whole buffer in the overview strip: one row per shown
// line, each pixel column summing up the cells it stands for. A column where
// the line keeps one level shows that level; a column where it toggles shows
// a bar over the row's full height (activity), however many edges it holds.
namespace trazor {

struct OverviewStyle {
    int width = 0;
    int height = 0;
    int digits = 8;
    TColor background = colors::White;
    // Line colours; a line coloured like the background is not drawn, as in
    // the diagram.
    std::array<TColor, 16> lineColors{};

    bool operator==(const OverviewStyle&) const = default;
};

// What one column of one line shows.
enum class ColumnLevel { Nothing, Low, High, Toggling };
ColumnLevel columnLevel(const SamplePyramid::Span& span, int line);

// Rows of equal height from the top; at least 2 pixels each, so that with
// many lines in a low strip the last rows may fall outside it.
int overviewRowHeight(int height, int digits);

// Costs one pyramid summary per column: in proportion to the width, not to
// the buffer's length.
QImage renderOverview(const SampleBuffer& buffer, const SamplePyramid& pyramid,
                      const OverviewStyle& style);

} // namespace trazor
