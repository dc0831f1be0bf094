#include "search/SearchRoutines.h"
#include "search/SyncSetup.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

using namespace search;

// A buffer of two planes; cells past the loaded data read as 0, as the
// display component's accessors do after a short recording was loaded.
class Planes : public CellReader {
  public:
    std::vector<std::uint8_t> low, high;
    mutable int reads = 0;

    std::uint8_t GetCellLow(std::int32_t i) const override {
        ++reads;
        return i >= 0 && i < static_cast<std::int32_t>(low.size()) ? low[i] : 0;
    }
    std::uint8_t GetCellHigh(std::int32_t i) const override {
        ++reads;
        return i >= 0 && i < static_cast<std::int32_t>(high.size()) ? high[i] : 0;
    }
};

// Line 0 of the low plane and line 8 (bit 0 of the high plane) both carry
// 0 0 1 1 0 0 1 1 0 1 from cell 0 on.
Planes edgeFixture() {
    Planes p;
    p.low = {0, 0, 1, 1, 0, 0, 1, 1, 0, 1};
    p.high = p.low;
    return p;
}

struct EdgeCase {
    const char* what;
    std::int32_t pos;
    std::int32_t size;
    int line;
    int edge;
    std::optional<std::int32_t> hit;
};

TEST(FindEdge, Table) {
    const Planes p = edgeFixture();
    const EdgeCase cases[] = {
        {"rising from 0", 0, 10, 0, EdgeRising, 2},
        {"falling from 0 needs a 1 first", 0, 10, 0, EdgeFalling, 4},
        {"again from the rising hit's cell", 2, 10, 0, EdgeRising, 6},
        {"again from the falling hit's cell", 4, 10, 0, EdgeFalling, 8},
        {"line constantly 1 after the start", 6, 8, 0, EdgeRising, std::nullopt},
        {"rising at the last cell", 7, 10, 0, EdgeRising, 9},
        {"Bit 9 reads the high plane", 0, 10, 8, EdgeRising, 2},
        {"Bit 2 is constantly 0", 0, 10, 1, EdgeRising, std::nullopt},
        {"past the loaded data the line reads 0", 8, 20, 0, EdgeFalling, 10},
        {"no line chosen", 0, 10, -1, EdgeRising, std::nullopt},
        {"no edge chosen", 0, 10, 0, -1, std::nullopt},
        {"position at the end", 10, 10, 0, EdgeRising, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindEdge(p, c.pos, c.size, c.line, c.edge), c.hit) << c.what;
}

TEST(FindEdge, HighPlaneLineIsNotConfusedWithTheLowPlane) {
    Planes p;
    p.low = {0xFF, 0xFF, 0xFF, 0xFF};
    p.high = {0x00, 0x00, 0x02, 0x02}; // line 9 rises at cell 2
    EXPECT_EQ(FindEdge(p, 0, 4, 9, EdgeRising), 2);
    EXPECT_EQ(FindEdge(p, 0, 4, 8, EdgeRising), std::nullopt);
    EXPECT_EQ(FindEdge(p, 0, 4, 1, EdgeRising), std::nullopt);
}

TEST(FindEdge, PositionAtTheEndVisitsNoCell) {
    Planes p = edgeFixture();
    EXPECT_EQ(FindEdge(p, 10, 10, 0, EdgeRising), std::nullopt);
    EXPECT_EQ(FindNibble(p, 11, 10, 0, ByteLow, KindNibbleLo), std::nullopt);
    EXPECT_EQ(p.reads, 0);
}

struct NibbleCase {
    const char* what;
    std::int32_t first;
    std::int32_t size;
    std::int32_t value;
    int byte;
    int kind;
    std::optional<std::int32_t> hit;
};

TEST(FindNibble, Table) {
    Planes p;
    p.low = {0x00, 0x21, 0x3A, 0xA5, 0x21};
    p.high = {0x00, 0x00, 0x07, 0x50};
    const NibbleCase cases[] = {
        {"low nibble of the low byte", 0, 5, 0xA, ByteLow, KindNibbleLo, 2},
        {"high nibble of the low byte", 0, 5, 0xA, ByteLow, KindNibbleHi, 3},
        {"value 0 hits cell 0", 0, 5, 0, ByteLow, KindNibbleLo, 0},
        {"continued search starts after the position", 2, 5, 1, ByteLow, KindNibbleLo, 4},
        {"high byte, low nibble", 0, 5, 7, ByteHigh, KindNibbleLo, 2},
        {"high byte, high nibble", 0, 5, 5, ByteHigh, KindNibbleHi, 3},
        {"value above 15 never matches", 0, 5, 0x1A, ByteLow, KindNibbleLo, std::nullopt},
        {"negative value never matches", 0, 5, -1, ByteLow, KindNibbleLo, std::nullopt},
        {"no byte chosen", 0, 5, 0, -1, KindNibbleLo, std::nullopt},
        {"not a nibble kind", 0, 5, 0, ByteLow, KindByte, std::nullopt},
        {"past the loaded data cells read 0", 1, 20, 0, ByteHigh, KindNibbleHi, 1},
        {"nibble 0 past a short recording", 4, 20, 0, ByteLow, KindNibbleLo, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindNibble(p, c.first, c.size, c.value, c.byte, c.kind), c.hit) << c.what;
}

TEST(Search, BlockCallbackRunsOncePerBlockOfCells) {
    Planes p;
    const std::int32_t size = 3 * kBlockCells;
    int blocks = 0;
    EXPECT_EQ(FindNibble(p, 0, size, 5, ByteLow, KindNibbleLo, [&] { ++blocks; }), std::nullopt);
    EXPECT_EQ(blocks, 3);
    blocks = 0;
    EXPECT_EQ(FindEdge(p, 0, size, 0, EdgeRising, [&] { ++blocks; }), std::nullopt);
    EXPECT_EQ(blocks, 3);
}

// The same planes with a summary, worked out here cell by cell without
// counting as reads, the way the display's min/max summary answers.
class SummedPlanes : public Planes {
  public:
    std::optional<LineSpan> Summary(std::int32_t first, std::int32_t last) const override {
        LineSpan span;
        for (std::int32_t i = first; i < last; ++i) {
            const auto at = [i](const std::vector<std::uint8_t>& plane) {
                return i < static_cast<std::int32_t>(plane.size()) ? plane[std::size_t(i)] : 0;
            };
            const auto word = std::uint16_t(at(low) | at(high) << 8);
            span.all &= word;
            span.any |= word;
        }
        return span;
    }
};

// Long quiet stretches with a few busy ones, as a long recording of slow
// signals looks; the data ends before the searched size, so zeros follow.
SummedPlanes longRecording() {
    SummedPlanes p;
    const std::size_t cells = 9 * kSummaryCells + 777;
    p.low.assign(cells, 0);
    p.high.assign(cells, 0);
    std::uint32_t seed = 12345;
    for (std::size_t i = 0; i < cells; ++i) {
        const std::size_t block = i / kSummaryCells;
        if (block == 2 || block == 6) { // busy: every cell random
            seed = seed * 1664525u + 1013904223u;
            p.low[i] = std::uint8_t(seed >> 24);
            p.high[i] = std::uint8_t(seed >> 16);
        } else { // quiet: a level per block, one change inside block 4
            const bool late = block == 4 && i % kSummaryCells > 1000;
            p.low[i] = std::uint8_t((block * 37 + (late ? 5 : 0)) & 0xFF);
            p.high[i] = std::uint8_t((block * 91) & 0xFF);
        }
    }
    return p;
}

TEST(Search, SummariesSkipQuietCellsAndFindTheSameHits) {
    const SummedPlanes summed = longRecording();
    Planes plain;
    plain.low = summed.low;
    plain.high = summed.high;
    const std::int32_t size = 10 * kSummaryCells + 100; // beyond the data: zeros
    const std::vector<std::int32_t> starts = {-1, 0, 5, kSummaryCells - 2, kSummaryCells - 1,
                                              2 * kSummaryCells + 17, 4 * kSummaryCells + 999,
                                              9 * kSummaryCells + 700, size - 3};
    for (const std::int32_t from : starts) {
        for (int line = 0; line < 16; ++line) {
            for (const int edge : {EdgeRising, EdgeFalling}) {
                int blocksSummed = 0, blocksPlain = 0;
                const auto hit = FindEdge(summed, from, size, line, edge, [&] { ++blocksSummed; });
                const auto expected =
                    FindEdge(plain, from, size, line, edge, [&] { ++blocksPlain; });
                ASSERT_EQ(hit, expected) << "from " << from << " line " << line << " edge " << edge;
                ASSERT_EQ(blocksSummed, blocksPlain) << "from " << from << " line " << line;
            }
        }
        for (const int byte : {ByteLow, ByteHigh}) {
            for (const int kind : {KindNibbleLo, KindNibbleHi}) {
                for (int value = 0; value < 16; ++value) {
                    int blocksSummed = 0, blocksPlain = 0;
                    const auto hit = FindNibble(summed, from, size, value, byte, kind,
                                                [&] { ++blocksSummed; });
                    const auto expected = FindNibble(plain, from, size, value, byte, kind,
                                                     [&] { ++blocksPlain; });
                    ASSERT_EQ(hit, expected) << "from " << from << " value " << value;
                    ASSERT_EQ(blocksSummed, blocksPlain) << "from " << from << " value " << value;
                }
            }
        }
    }
    // A search through the quiet part reads only the cells of blocks that
    // can hold a hit, not every cell on the way.
    summed.reads = 0;
    EXPECT_EQ(FindNibble(summed, 7 * kSummaryCells, size, 0xF, ByteHigh, KindNibbleHi),
              std::nullopt);
    EXPECT_LT(summed.reads, kSummaryCells);
}

TEST(Search, ScrollBarPositionFollowsTheBufferSize) {
    EXPECT_EQ(ScrollBarPosition(524288, 1048576), 4096);
    EXPECT_EQ(ScrollBarPosition(8191, 8192), 8191);
    EXPECT_EQ(ScrollBarPosition(1000, 16384), 500);
    // A buffer below 8192 cells must not divide by zero.
    EXPECT_EQ(ScrollBarPosition(1023, 1024), 1023);
}

struct KindCase {
    const char* what;
    int tag;
    int locked;
    int requested;
    KindChoice result;
};

TEST(SyncSetup, KindChangeRule) {
    const KindCase cases[] = {
        {"search mode takes any kind", 0, KindBits, KindWord, {KindWord, KindBits}},
        {"set-up mode, same kind", 1, KindByte, KindByte, {KindByte, KindByte}},
        {"nibble low to high", 1, KindNibbleLo, KindNibbleHi, {KindNibbleHi, KindNibbleHi}},
        {"nibble high to low", 1, KindNibbleHi, KindNibbleLo, {KindNibbleLo, KindNibbleLo}},
        {"nibble to byte snaps back", 1, KindNibbleLo, KindByte, {KindNibbleLo, KindNibbleLo}},
        {"bits to nibble snaps back", 1, KindBits, KindNibbleLo, {KindBits, KindBits}},
        {"word to bits snaps back", 1, KindWord, KindBits, {KindWord, KindWord}},
        {"byte to word snaps back", 1, KindByte, KindWord, {KindByte, KindByte}},
    };
    for (const auto& c : cases) {
        const KindChoice r = ResolveKindChange(c.tag, c.locked, c.requested);
        EXPECT_EQ(r.kind, c.result.kind) << c.what;
        EXPECT_EQ(r.lockedKind, c.result.lockedKind) << c.what;
    }
}

struct StoreCase {
    const char* what;
    int kind;
    int line;
    int edge;
    std::int32_t hexvalue;
    TriggerSettings expected;
};

TEST(SyncSetup, EachKindStoresExactlyItsParameters) {
    // Start from values every field can be told apart from.
    const TriggerSettings before{9, 9, 9, 9, 9, 9, 9};
    const StoreCase cases[] = {
        {"Bit 1 rising", KindBits, 0, EdgeRising, 0x1234, {0, 1, 0, 9, 9, 9, 9}},
        {"Bit 9 falling", KindBits, 8, EdgeFalling, 0, {0, 1, 1, 9, 9, 9, 9}},
        {"Bit 16", KindBits, 15, EdgeRising, 0, {0, 128, 0, 9, 9, 9, 9}},
        {"Bit 8", KindBits, 7, EdgeRising, 0, {0, 128, 0, 9, 9, 9, 9}},
        {"no line, no edge", KindBits, -1, -1, 0, {0, 9, 255, 9, 9, 9, 9}},
        {"nibble low", KindNibbleLo, 3, 1, 0x1A, {1, 9, 9, 0x1A, 9, 9, 9}},
        {"nibble high", KindNibbleHi, 3, 1, 0x5, {2, 9, 9, 9, 0x5, 9, 9}},
        {"byte keeps the low 8 bits", KindByte, 3, 1, 0x1FF, {3, 9, 9, 9, 9, 0xFF, 9}},
        {"word keeps the low 16 bits", KindWord, 3, 1, 0x12345, {4, 9, 9, 9, 9, 9, 0x2345}},
        {"word FFFF is -1", KindWord, 3, 1, 0xFFFF, {4, 9, 9, 9, 9, 9, -1}},
        {"no kind stores nothing", -1, 3, 1, 0x7, {9, 9, 9, 9, 9, 9, 9}},
    };
    for (const auto& c : cases) {
        TriggerSettings s = before;
        StoreSyncParameters(s, c.kind, c.line, c.edge, c.hexvalue);
        EXPECT_EQ(s.SyncKind, c.expected.SyncKind) << c.what;
        EXPECT_EQ(s.SyncBitMask, c.expected.SyncBitMask) << c.what;
        EXPECT_EQ(s.SyncEdge, c.expected.SyncEdge) << c.what;
        EXPECT_EQ(s.SyncNibbleLo, c.expected.SyncNibbleLo) << c.what;
        EXPECT_EQ(s.SyncNibbleHi, c.expected.SyncNibbleHi) << c.what;
        EXPECT_EQ(s.SyncByte, c.expected.SyncByte) << c.what;
        EXPECT_EQ(s.SyncWord, c.expected.SyncWord) << c.what;
    }
}

} // namespace
