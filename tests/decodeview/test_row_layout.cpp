#include "decodeview/RowLayout.h"

#include <gtest/gtest.h>

using decodeview::RowItem;
using decodeview::RowView;
using sigrokdecode::AnnotationStore;

namespace {

// One row as a fast UART gives it: 1000 frames of 10 samples back to back
// from sample 100, then after a pause one long annotation over 20000..30000.
const AnnotationStore& Uartish() {
    static const AnnotationStore store = [] {
        AnnotationStore s;
        s.SetRows({{"uart-1", "uart", "rx-data", "RX data", true}});
        for (std::uint64_t i = 0; i < 1000; ++i)
            s.Add(100 + 10 * i, 110 + 10 * i, 0, "rx-data", {"0x55"});
        s.Add(20000, 30000, 0, "rx-break", {"Break condition", "Break"});
        s.Finish();
        return s;
    }();
    return store;
}

RowView View(long long first, int cellWidth, int cellsPerColumn) {
    return {first, {cellWidth, cellsPerColumn}, 70, 870};
}

std::string Describe(const std::vector<RowItem>& items) {
    std::string out;
    for (const RowItem& i : items)
        out += (i.band ? "band " : "box ") + std::to_string(i.x0) + ".." + std::to_string(i.x1) +
               " #" + std::to_string(i.first) + (i.band ? " n" + std::to_string(i.count) : "") +
               "; ";
    return out;
}

} // namespace

TEST(RowLayout, BoxesAtReadableZoomsAndBandsWhereAnnotationsCrowd) {
    struct Case {
        const char* what;
        RowView view;
        std::size_t items; // 0: any number, all boxes
        std::string first; // the first items as Describe gives them
    };
    const Case cases[] = {
        // A zoom step of 30 pixels per cell: each frame 300 pixels wide.
        {"zoom step", View(95, 30, 1), 3, "box 220..520 #0; box 520..820 #1; box 820..1120 #2; "},
        // One pixel per cell: 10 pixels each, still boxes; 70 start in view.
        {"one pixel per cell", View(0, 1, 1), 70, "box 170..180 #0; "},
        // Four cells per column: 2 pixels each, one band to the right edge
        // holding every frame that starts in the view.
        {"zoomed out", View(0, 1, 4), 1, "band 95..870 #0 n310; "},
        // 64 cells per column (the whole capture): the frames as one band,
        // the pause empty, the long annotation a box.
        {"whole capture", View(0, 1, 64), 2, "band 71..228 #0 n1000; box 382..538 #1000; "},
        // Scrolled into the long annotation: it starts left of the origin.
        {"started before the view", View(25000, 1, 1), 1, "box -4930..5070 #1000; "},
        // Scrolled past everything.
        {"after the end", View(40000, 1, 1), 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto items = decodeview::LayoutRow(Uartish(), 0, c.view);
        const std::string text = Describe(items);
        EXPECT_EQ(text.substr(0, c.first.size()), c.first);
        if (c.items > 0) {
            EXPECT_EQ(items.size(), c.items) << text;
        } else {
            EXPECT_EQ(items.empty(), c.first.empty()) << text;
        }
    }
}

TEST(RowLayout, TheItemUnderAPixelAndTheCellUnderIt) {
    const auto items = decodeview::LayoutRow(Uartish(), 0, View(0, 1, 64));
    struct Case {
        int x;
        bool hit;
        bool band;
    };
    for (const Case c :
         {Case{100, true, true}, {300, false, false}, {400, true, false}, {60, false, false}}) {
        const auto item = decodeview::ItemAt(items, c.x);
        EXPECT_EQ(item.has_value(), c.hit) << c.x;
        if (item) {
            EXPECT_EQ(item->band, c.band) << c.x;
        }
    }
    const RowView zoomed = View(95, 30, 1);
    EXPECT_EQ(zoomed.CellAt(70 + 31), 96);
    EXPECT_EQ(zoomed.CellAt(10), 95);
    EXPECT_EQ(View(0, 1, 64).CellAt(72), 128);
}

TEST(RowLayout, NoItemsForARowWithoutAnnotationsOrAViewWithoutRoom) {
    EXPECT_TRUE(decodeview::LayoutRow(Uartish(), 3, View(0, 1, 1)).empty());
    EXPECT_TRUE(decodeview::LayoutRow(Uartish(), 0, {0, {1, 1}, 70, 60}).empty());
    EXPECT_TRUE(decodeview::LayoutRow(Uartish(), 0, {0, {0, 1}, 70, 870}).empty());
}
