#include "SignalRuns.h"
#include "display/SamplePyramid.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

struct RunsCase {
    std::string name;
    int line;
    std::vector<std::pair<bool, int>> runs;
};

// Runs around the block sizes of the levels (16, 256, 4096 cells), lines
// without any edge, and edges at both ends of the buffer.
const std::vector<RunsCase>& runCases() {
    static const std::vector<RunsCase> cases = {
        {"one high cell", 0, {{true, 1}}},
        {"low without an edge", 3, {{false, 300}}},
        {"high without an edge across four levels", 7, {{true, 4100}}},
        {"edge into the last cell", 0, {{false, 4099}, {true, 1}}},
        {"edge after the first cell", 9, {{true, 1}, {false, 5000}}},
        {"runs across level boundaries",
         12,
         {{false, 15}, {true, 17}, {false, 256}, {true, 1}, {false, 4096}, {true, 300}}},
        {"every cell toggles", 15, {{true, 1}, {false, 1}, {true, 1}, {false, 1}, {true, 1},
                                    {false, 1}, {true, 1}, {false, 1}, {true, 1}, {false, 1},
                                    {true, 1}, {false, 1}, {true, 1}, {false, 1}, {true, 1},
                                    {false, 1}, {true, 1}, {false, 1}}},
        {"partial last block", 5, {{false, 16 * 16 * 3 + 5}, {true, 2}, {false, 3}}},
    };
    return cases;
}

void expectChangesLikeCellByCell(const SampleBuffer& buffer, const SamplePyramid& pyramid,
                                 int line, const std::string& name) {
    const SlowChanges slow = slowChanges(buffer, line);
    for (int cell = 0; cell < buffer.Cells(); ++cell) {
        ASSERT_EQ(pyramid.NextChange(buffer, line, cell), slow.next[std::size_t(cell)])
            << name << ", line " << line << ", cell " << cell;
        ASSERT_EQ(pyramid.PreviousChange(buffer, line, cell), slow.previous[std::size_t(cell)])
            << name << ", line " << line << ", cell " << cell;
    }
}

} // namespace

TEST(SamplePyramid, FindsEveryChangeAsACellByCellWalkDoes) {
    for (const RunsCase& c : runCases()) {
        SampleBuffer buffer = bufferFromRuns(c.line, c.runs);
        SamplePyramid pyramid;
        pyramid.Build(buffer);
        expectChangesLikeCellByCell(buffer, pyramid, c.line, c.name);
        // A line that stays low beside it has no change at all.
        expectChangesLikeCellByCell(buffer, pyramid, (c.line + 1) % 16, c.name);
    }
}

TEST(SamplePyramid, LevelsEndWithOneEntry) {
    struct Case {
        int cells, levels;
    };
    for (const Case& c : {Case{0, 0}, Case{1, 1}, Case{16, 1}, Case{17, 2}, Case{256, 2},
                          Case{257, 3}, Case{1 << 20, 5}}) {
        SampleBuffer buffer;
        buffer.Resize(std::size_t(c.cells));
        SamplePyramid pyramid;
        pyramid.Build(buffer);
        EXPECT_EQ(pyramid.Levels(), c.levels) << c.cells;
        EXPECT_EQ(pyramid.Cells(), c.cells);
    }
}

TEST(SamplePyramid, QueriesOutsideTheBufferFindNothing) {
    SampleBuffer buffer = bufferFromRuns(2, {{false, 10}, {true, 10}});
    SamplePyramid pyramid;
    pyramid.Build(buffer);
    for (int cell : {-1, 20, 1 << 30}) {
        EXPECT_EQ(pyramid.NextChange(buffer, 2, cell), std::nullopt) << cell;
        EXPECT_EQ(pyramid.PreviousChange(buffer, 2, cell), std::nullopt) << cell;
    }
    for (int line : {-1, 16})
        EXPECT_EQ(pyramid.NextChange(buffer, line, 0), std::nullopt) << line;
    EXPECT_TRUE(pyramid.Summary(buffer, 5, 5).Empty());
    EXPECT_TRUE(pyramid.Summary(buffer, 30, 40).Empty());

    SampleBuffer empty;
    SamplePyramid none;
    none.Build(empty);
    EXPECT_EQ(none.NextChange(empty, 0, 0), std::nullopt);
    EXPECT_TRUE(none.Summary(empty, 0, 10).Empty());
}

TEST(SamplePyramid, SummaryOfAnyRangeMatchesItsCells) {
    SampleBuffer buffer;
    buffer.Resize(5000);
    std::mt19937 random(7);
    // Long quiet stretches with a few busy cells, so ranges see all three kinds.
    for (int i = 0; i < 60; ++i) {
        const int cell = int(random() % 5000);
        buffer.SetCellLow(cell, std::uint8_t(random()));
        buffer.SetCellHigh(cell, std::uint8_t(random()));
    }
    SamplePyramid pyramid;
    pyramid.Build(buffer);
    for (int i = 0; i < 2000; ++i) {
        int first = int(random() % 5001), last = int(random() % 5001);
        if (first > last) std::swap(first, last);
        SamplePyramid::Span expected;
        for (int cell = first; cell < last; ++cell)
            expected.Add(CellWord(buffer, cell));
        const SamplePyramid::Span got = pyramid.Summary(buffer, first, last);
        ASSERT_EQ(got.all, expected.all) << first << ".." << last;
        ASSERT_EQ(got.any, expected.any) << first << ".." << last;
    }
    // Clipped to the buffer.
    const SamplePyramid::Span whole = pyramid.Summary(buffer, -100, 1 << 30);
    const SamplePyramid::Span exact = pyramid.Summary(buffer, 0, 5000);
    EXPECT_EQ(whole.all, exact.all);
    EXPECT_EQ(whole.any, exact.any);
}

TEST(SamplePyramid, UpdateFollowsWrittenCellsAndReshapedBuffers) {
    SampleBuffer buffer = bufferFromRuns(4, {{false, 3000}});
    SamplePyramid pyramid;
    EXPECT_TRUE(pyramid.Update(buffer)); // first sight: built whole
    EXPECT_FALSE(pyramid.Update(buffer));
    EXPECT_EQ(pyramid.NextChange(buffer, 4, 0), std::nullopt);

    // Written cells, as a recording or a live tick writes them.
    buffer.SetCellLow(2999, 0x10);
    buffer.SetCellLow(1000, 0x10);
    buffer.SetCellHigh(1000, 0x01);
    EXPECT_TRUE(pyramid.Update(buffer));
    expectChangesLikeCellByCell(buffer, pyramid, 4, "written");
    expectChangesLikeCellByCell(buffer, pyramid, 8, "written");
    buffer.SetCellLow(1000, 0); // and written back
    EXPECT_TRUE(pyramid.Update(buffer));
    expectChangesLikeCellByCell(buffer, pyramid, 4, "written back");

    // Cleared, resized and loaded buffers are summed up anew.
    buffer.Clear();
    EXPECT_TRUE(pyramid.Update(buffer));
    EXPECT_EQ(pyramid.NextChange(buffer, 4, 0), std::nullopt);
    buffer.Load(std::vector<std::uint8_t>{0, 0, 0x10, 0, 0, 0});
    EXPECT_TRUE(pyramid.Update(buffer));
    EXPECT_EQ(pyramid.Cells(), 3);
    EXPECT_EQ(pyramid.NextChange(buffer, 4, 0), 2);
    buffer.Resize(20);
    EXPECT_TRUE(pyramid.Update(buffer));
    EXPECT_EQ(pyramid.Cells(), 20);
    EXPECT_EQ(pyramid.NextChange(buffer, 4, 0), std::nullopt);
}
