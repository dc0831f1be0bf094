// The summary of a capture that lives in a file: every range and every column
// gives what the cells themselves give, read through the file's reader.
#include "display/LongCapture.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using Span = trazor::LongCapture::Span;

// Lines that hold their level for long runs of different lengths, and single
// glitches on line 15 beside and across block boundaries.
std::vector<std::uint16_t> Pattern(std::size_t cells) {
    std::vector<std::uint16_t> words(cells);
    for (std::size_t i = 0; i < cells; ++i) {
        for (unsigned line = 0; line < 15; ++line)
            if ((i / (line * 977 + 300)) % 2) words[i] = std::uint16_t(words[i] | 1u << line);
        if (i == 255 || i == 256 || i == 4096 * 3 + 17 || i == cells - 1)
            words[i] = std::uint16_t(words[i] | 0x8000);
    }
    return words;
}

Span Direct(const std::vector<std::uint16_t>& words, std::uint64_t first, std::uint64_t last) {
    Span span;
    for (std::uint64_t i = first; i < last && i < words.size(); ++i)
        span.Add(words[i]);
    return span;
}

struct Capture {
    explicit Capture(std::size_t cells, std::size_t piece = 1000) : words(Pattern(cells)) {
        for (std::size_t at = 0; at < cells; at += piece)
            capture.Append(words.data() + at, std::min(piece, cells - at));
        capture.SetReadable(cells);
    }
    std::vector<std::uint16_t> words;
    std::uint64_t reads = 0;
    trazor::LongCapture capture{"x.sr",
                                [this](std::uint64_t first, std::size_t count, std::uint16_t* out) {
                                    ASSERT_LE(first + count, words.size());
                                    ++reads;
                                    std::copy_n(words.begin() + long(first), count, out);
                                }};
};

TEST(LongCapture, EveryRangeSumsUpItsCells) {
    Capture c(300'000);
    std::mt19937 random(7);
    for (int k = 0; k < 3000; ++k) {
        // Short ranges inside a block, long ones across levels, and ends past the capture.
        const std::uint64_t length = std::uint64_t(1) << (random() % 19);
        const std::uint64_t first = random() % 300'100;
        const std::uint64_t last = first + random() % (length + 1);
        const Span got = c.capture.Summary(first, last);
        const Span want = Direct(c.words, first, last);
        ASSERT_EQ(got.all, want.all) << first << ".." << last;
        ASSERT_EQ(got.any, want.any) << first << ".." << last;
    }
    for (const auto& [first, last] : std::vector<std::pair<std::uint64_t, std::uint64_t>>{
             {0, 300'000}, {255, 257}, {256, 256 * 17}, {0, 4096 * 16}, {299'999, 300'000}}) {
        const Span got = c.capture.Summary(first, last);
        const Span want = Direct(c.words, first, last);
        EXPECT_EQ(got.all, want.all) << first << ".." << last;
        EXPECT_EQ(got.any, want.any) << first << ".." << last;
    }
}

// While the capture is written, only the cells in the file are shown.
TEST(LongCapture, ShowsOnlyWhatTheFileHolds) {
    Capture c(10'000);
    c.capture.SetReadable(5'000);
    EXPECT_EQ(c.capture.Cells(), 5'000u);
    const Span got = c.capture.Summary(0, 10'000);
    const Span want = Direct(c.words, 0, 5'000);
    EXPECT_EQ(got.all, want.all);
    EXPECT_EQ(got.any, want.any);
    EXPECT_TRUE(c.capture.Summary(5'000, 10'000).Empty());
}

TEST(LongCapture, ColumnsAtEveryScale) {
    Capture c(2'000'000, 4096);
    struct Case {
        trazor::ViewScale scale;
        long long firstCell;
        int columns;
    } cases[] = {
        {trazor::fitScale(2'000'000, 1200, 4), 0, 1200}, // the whole capture
        {{1, 3}, 12'345, 1000},                          // a view read at once
        {{1, 5000}, 700'001, 600},                       // columns through the summary
        {{1, 300}, 1'900'000, 1200},                     // past the end
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.scale.cellsPerColumn);
        c.reads = 0;
        const std::vector<Span> got = c.capture.Columns(k.firstCell, k.scale, k.columns);
        ASSERT_EQ(got.size(), std::size_t(k.columns));
        for (int col = 0; col < k.columns; ++col) {
            const trazor::ViewScale::Range r = k.scale.cellsAt(col);
            const std::uint64_t first = std::uint64_t(k.firstCell + r.first);
            Span want = Direct(c.words, first, std::uint64_t(k.firstCell + r.last));
            if (first >= c.words.size()) want = Span{0, 0};
            ASSERT_EQ(got[std::size_t(col)].all, want.all) << col;
            ASSERT_EQ(got[std::size_t(col)].any, want.any) << col;
        }
        // Neighbouring columns share the block they meet in: about one read each.
        EXPECT_LE(c.reads, std::uint64_t(k.columns) + 2);
    }
}

} // namespace
