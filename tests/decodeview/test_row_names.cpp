#include "decodeview/RowNames.h"

#include <gtest/gtest.h>

using decodeview::NameLines;
using decodeview::RowHeightFor;
using decodeview::WrapText;

namespace {
// Six pixels a character, like a small fixed font.
int advance(const QString& s) {
    return 6 * int(s.size());
}
} // namespace

// Names break at spaces and separators where they do not fit, inside a word
// only when the word alone is wider than the margin; nothing is cut off.
TEST(RowNames, BreakWhereTheMarginEnds) {
    struct Case {
        const char* text;
        int width;
        QStringList lines;
    };
    const Case cases[] = {
        {"uart-1", 60, {"uart-1"}},
        {"RX warnings", 60, {"RX", "warnings"}},
        {"Address/data", 48, {"Address/", "data"}},
        {"spi_flash-12", 42, {"spi_", "flash-", "12"}},
        {"transfers", 30, {"trans", "fers"}},
        {"  RX  data ", 60, {"RX  data"}},
        {"a b", 6, {"a", "b"}},
        {"", 60, {}},
        {"x", 1, {"x"}}, // a character wider than the margin still shows
    };
    for (const Case& c : cases) {
        const QStringList lines = WrapText(QString::fromUtf8(c.text), c.width, advance);
        EXPECT_EQ(lines, c.lines) << c.text << " at " << c.width;
        for (const QString& line : lines) {
            if (line.size() > 1) {
                EXPECT_LE(advance(line), c.width) << c.text;
            }
        }
        // Every character but the breaking spaces is kept.
        EXPECT_EQ(lines.join(QString()).remove(u' '), QString::fromUtf8(c.text).remove(u' '));
    }
}

TEST(RowNames, DecoderAboveRowAndTheRowGrowsForMoreLines) {
    EXPECT_EQ(NameLines(QStringLiteral("i2c-1"), QStringLiteral("Address/data"), 48, advance),
              (QStringList{"i2c-1", "Address/", "data"}));
    EXPECT_EQ(RowHeightFor(1, 13, 28), 28);
    EXPECT_EQ(RowHeightFor(2, 13, 28), 28);
    EXPECT_EQ(RowHeightFor(3, 13, 28), 41);
}
