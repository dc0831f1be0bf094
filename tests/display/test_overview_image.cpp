#include "SignalRuns.h"
#include "display/OverviewImage.h"

#include <gtest/gtest.h>

using namespace trazor;

namespace {
constexpr TColor kRed = colors::Red, kBlue = 0xFF0000;

TColor at(const QImage& image, int x, int y) {
    return colors::fromQColor(QColor(image.pixel(x, y)));
}

OverviewStyle twoLines(int width) {
    OverviewStyle style;
    style.width = width;
    style.height = 20; // two rows of 10 pixels, trace from y 1 to 9 and 11 to 19
    style.digits = 2;
    style.lineColors[0] = kRed;
    style.lineColors[1] = kBlue;
    return style;
}
} // namespace

TEST(OverviewImage, ColumnsShowLevelOrActivity) {
    // Line 0 high in cells 0..3; line 1 toggles in 0..1 and stays high after.
    SampleBuffer buffer = bufferFromRuns(0, {{true, 4}, {false, 4}});
    buffer.SetCellLow(0, buffer.GetCellLow(0) | 2);
    for (int cell = 2; cell < 8; ++cell)
        buffer.SetCellLow(cell, buffer.GetCellLow(cell) | 2);
    SamplePyramid pyramid;
    pyramid.Build(buffer);

    // Four columns of two cells each.
    const QImage image = renderOverview(buffer, pyramid, twoLines(4));
    ASSERT_EQ(image.size(), QSize(4, 20));
    struct Case {
        int x, y;
        TColor color;
    };
    const Case cases[] = {
        {0, 1, kRed},          {0, 9, colors::White}, // line 0 high
        {2, 1, colors::White}, {2, 9, kRed},          // line 0 low
        {0, 11, kBlue},        {0, 15, kBlue},        {0, 19, kBlue}, // line 1 toggles
        {3, 11, kBlue},        {3, 19, colors::White}, // line 1 high
        {0, 0, colors::White}, {0, 10, colors::White}, // gaps between rows
    };
    for (const Case& c : cases)
        EXPECT_EQ(at(image, c.x, c.y), c.color) << c.x << "," << c.y;

    // More columns than cells: every column shows the cell under it.
    const QImage wide = renderOverview(buffer, pyramid, twoLines(80));
    EXPECT_EQ(at(wide, 39, 1), kRed);
    EXPECT_EQ(at(wide, 40, 9), kRed);
    EXPECT_EQ(at(wide, 10, 15), colors::White); // cell 1: line 1 low, no bar
}

TEST(OverviewImage, HiddenLinesEmptyBuffersAndLowStrips) {
    SampleBuffer buffer = bufferFromRuns(1, {{true, 8}});
    SamplePyramid pyramid;
    pyramid.Build(buffer);
    OverviewStyle style = twoLines(8);
    style.lineColors[1] = style.background; // hidden as in the diagram
    const QImage hidden = renderOverview(buffer, pyramid, style);
    for (int y = 10; y < 20; ++y)
        EXPECT_EQ(at(hidden, 4, y), colors::White) << y;
    EXPECT_EQ(at(hidden, 4, 9), kRed); // line 0 is shown, low

    SampleBuffer empty;
    SamplePyramid none;
    none.Build(empty);
    const QImage blank = renderOverview(empty, none, twoLines(8));
    EXPECT_EQ(at(blank, 4, 9), colors::White);

    // Sixteen lines in eight pixels: rows of two, the lower ones left out.
    style = twoLines(8);
    style.digits = 16;
    style.height = 8;
    for (auto& color : style.lineColors)
        color = kRed;
    EXPECT_EQ(overviewRowHeight(8, 16), 2);
    const QImage low = renderOverview(buffer, pyramid, style);
    EXPECT_EQ(at(low, 0, 2), kRed); // line 1 high at the top of its row
    EXPECT_EQ(low.size(), QSize(8, 8));

    EXPECT_EQ(renderOverview(buffer, pyramid, twoLines(0)).size(), QSize(1, 20));
}
