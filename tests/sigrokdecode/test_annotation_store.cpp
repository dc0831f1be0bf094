#include "sigrok/decode/AnnotationStore.h"

#include <gtest/gtest.h>

using namespace sigrokdecode;

namespace {

std::vector<AnnotationRow> TwoRows() {
    return {{"uart-1", "uart", "rx-data", "RX data", true},
            {"uart-1", "uart", "rx-bits", "RX bits", true}};
}

} // namespace

TEST(AnnotationStore, TimeOrderAcrossRowsAndStartOrderWithinEach) {
    AnnotationStore s;
    s.SetRows(TwoRows());
    // As decoder threads deliver them: finished order, not start order.
    s.Add(300, 310, 1, "rx-bit", {"1"});
    s.Add(100, 200, 0, "rx-data", {"H"});
    s.Add(100, 110, 1, "rx-bit", {"0"});
    s.Add(50, 400, 0, "rx-warning", {"Frame error", "FE"});
    s.Add(10, 20, 7, "bogus", {"x"}); // no such row: dropped
    s.Finish();
    ASSERT_EQ(s.Count(), 4u);
    std::vector<std::pair<std::uint64_t, int>> order;
    for (std::size_t i = 0; i < s.Count(); ++i)
        order.emplace_back(s.At(i).start, s.At(i).row);
    EXPECT_EQ(order,
              (std::vector<std::pair<std::uint64_t, int>>{{50, 0}, {100, 0}, {100, 1}, {300, 1}}));
    ASSERT_EQ(s.CountInRow(0), 2u);
    ASSERT_EQ(s.CountInRow(1), 2u);
    EXPECT_EQ(s.CountInRow(5), 0u);
    EXPECT_EQ(s.Text(s.InRow(0, 0)), "Frame error");
    EXPECT_EQ(s.Text(s.InRow(0, 0), 1), "FE");
    EXPECT_EQ(s.Text(s.InRow(0, 0), 2), "");
    EXPECT_EQ(s.ClassId(s.InRow(0, 1)), "rx-data");
    // The largest end so far: the long warning still covers sample 300.
    EXPECT_EQ(s.EndSoFar(0, 1), 400u);
    EXPECT_EQ(s.EndSoFar(1, 0), 110u);
    EXPECT_EQ(s.FirstInRowFrom(1, 101), 1u);
    EXPECT_EQ(s.UsedRows(), (std::vector<int>{0, 1}));
}

TEST(AnnotationStore, EachDistinctTextOnceAndFewBytesPerAnnotation) {
    AnnotationStore s;
    s.SetRows(TwoRows());
    const std::vector<std::string> bytes[] = {{"0x41", "41"}, {"0x42", "42"}, {"0x43", "43"}};
    // More than arrive in one piece (2 Mi).
    constexpr std::size_t kCount = (std::size_t(1) << 21) + 1000;
    for (std::size_t i = 0; i < kCount; ++i)
        s.Add(i * 10, i * 10 + 9, int(i % 2), i % 2 ? "rx-bit" : "rx-data", bytes[i % 3]);
    s.Finish();
    ASSERT_EQ(s.Count(), kCount);
    // Six texts and two class ids.
    EXPECT_EQ(s.DistinctTexts(), 8u);
    EXPECT_LT(s.TextBytes(), 1024u);
    EXPECT_LE(s.AnnotationBytes(), 64 * kCount);
    // Held as they are, without room left over from growing: the record, its
    // place in time order and the largest end so far of its row.
    EXPECT_LE(s.AnnotationBytes(), (24 + 4 + 8) * kCount + 64);
    // Every annotation, in order, across the pieces they arrived in.
    for (std::size_t i = 0; i < kCount; ++i)
        ASSERT_EQ(s.At(i).start, i * 10) << i;
    EXPECT_EQ(s.Text(s.At(4)), "0x42");
    EXPECT_EQ(s.Text(s.At(5), 1), "43");
}

TEST(AnnotationStore, EmptyStoreAnswersWithoutAnnotations) {
    AnnotationStore s;
    EXPECT_EQ(s.Count(), 0u);
    EXPECT_EQ(s.CountInRow(0), 0u);
    EXPECT_TRUE(s.UsedRows().empty());
    s.SetRows(TwoRows());
    s.Finish();
    EXPECT_EQ(s.Count(), 0u);
    EXPECT_TRUE(s.UsedRows().empty());
}
