#include "display/BusValues.h"

#include "display/ColumnSummary.h"
#include "display/SampleBuffer.h"

#include <gtest/gtest.h>

using namespace trazor;

TEST(BusValuesTest, ValuesFollowTheLinesMostSignificantFirst) {
    struct Case {
        std::uint16_t sample;
        std::vector<int> lines;
        std::uint32_t value;
        const char* hex;
    };
    const Case cases[] = {
        {0x00A5, {7, 6, 5, 4, 3, 2, 1, 0}, 0xA5, "A5"},
        {0x00A5, {0, 1, 2, 3, 4, 5, 6, 7}, 0xA5, "A5"}, // a palindrome: either order
        {0x000A, {3, 2, 1, 0}, 0xA, "A"},
        {0x000A, {0, 1, 2, 3}, 0x5, "5"},
        {0x8001, {15, 0}, 0x3, "3"},
        {0x0040, {6, 5, 4}, 0x4, "4"},
        {0xFFFF, {15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 0xFFFF, "FFFF"},
        {0x0100, {8, 7, 6, 5, 4, 3, 2, 1, 0}, 0x100, "100"},
        {0x0002, {7, 6, 5, 4, 3, 2, 1, 0}, 0x02, "02"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(busValue(c.sample, c.lines), c.value) << c.hex;
        EXPECT_EQ(busHex(busValue(c.sample, c.lines), int(c.lines.size())).toStdString(), c.hex);
    }
}

// One column per cell at a zoom step, and many cells per column zoomed out:
// equal values merge, a column where a bus line toggles becomes part of a band.
TEST(BusValuesTest, SegmentsMergeEqualValuesAndBandTheDenseColumns) {
    // A 4-bit counter on lines 0..3 that holds each value 4 cells, line 4
    // toggling every cell (not in the bus).
    SampleBuffer buffer;
    buffer.Resize(64);
    for (int cell = 0; cell < 64; ++cell) {
        const auto word = std::uint16_t(((cell / 4) & 0xF) | ((cell & 1) << 4));
        buffer.WriteWords(cell, &word, 1);
    }
    SamplePyramid pyramid;
    pyramid.Update(buffer);
    const std::vector<int> bus{3, 2, 1, 0};

    // 2 pixels per cell: 8 columns per value.
    const auto wide = busSegments(summarizeColumns(buffer, pyramid, 0, {2, 1}, 24), bus);
    EXPECT_EQ(wide, (std::vector<BusSegment>{{0, 8, 0}, {8, 16, 1}, {16, 24, 2}}));

    // Two cells per column: still two columns per value.
    const auto narrow = busSegments(summarizeColumns(buffer, pyramid, 4, {1, 2}, 4), bus);
    EXPECT_EQ(narrow, (std::vector<BusSegment>{{0, 2, 1}, {2, 4, 2}}));

    // Eight cells per column: every column holds a change, one band.
    const auto dense = busSegments(summarizeColumns(buffer, pyramid, 0, {1, 8}, 4), bus);
    EXPECT_EQ(dense, (std::vector<BusSegment>{{0, 4, std::nullopt}}));

    // Starting mid-value, with four cells per column: each column straddles a change.
    const auto offset = busSegments(summarizeColumns(buffer, pyramid, 2, {1, 4}, 3), bus);
    EXPECT_EQ(offset, (std::vector<BusSegment>{{0, 3, std::nullopt}}));
}

TEST(BusValuesTest, LinesAreWrittenAndReadBack) {
    struct Case {
        const char* text;
        std::optional<std::vector<int>> lines;
    };
    const Case cases[] = {
        {"7,6,5,4", std::vector<int>{7, 6, 5, 4}},
        {" 7-4 , 0 ", std::vector<int>{7, 6, 5, 4, 0}},
        {"0-3", std::vector<int>{0, 1, 2, 3}},
        {"15", std::vector<int>{15}},
        {"", std::nullopt},
        {"16", std::nullopt},
        {"-1", std::nullopt},
        {"3,3", std::nullopt},
        {"2-5,4", std::nullopt},
        {"a,b", std::nullopt},
        {"20-0", std::nullopt},
        {"1-2-3", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseLines(QString::fromUtf8(c.text)), c.lines) << c.text;
        if (c.lines) {
            EXPECT_EQ(parseLines(linesText(*c.lines)), c.lines) << c.text;
        }
    }
}
