// The live trigger on samples that arrive in blocks.
#include "search/LiveTrigger.h"

#include <gtest/gtest.h>
#include <vector>

TEST(LiveTriggerTest, FirstMatchingSampleWithinTheSearchedPart) {
    // Low byte, high byte: 0x0100 has D08 set, 0x0004 has D02 set.
    const std::vector<std::uint16_t> words = {0x0000, 0x0100, 0x0004, 0x0040, 0x0040};
    TriggerSettings bits;
    bits.SyncKind = 0;
    TriggerSettings byte;
    byte.SyncKind = 3;
    byte.SyncByte = 0x40;
    TriggerSettings nibble;
    nibble.SyncKind = 1;
    nibble.SyncNibbleLo = 0;

    struct Case {
        const char* what;
        TriggerSettings trigger;
        std::uint8_t mask;
        bool armed;
        std::size_t searchable;
        std::optional<std::size_t> found;
    };
    const Case cases[] = {
        {"bit in the high byte", bits, 0x01, true, 5, 1},
        {"bit in the low byte", bits, 0x04, true, 5, 2},
        {"bit never set", bits, 0x80, true, 5, std::nullopt},
        {"bit trigger not armed", bits, 0x01, false, 5, std::nullopt},
        {"byte", byte, 0, true, 5, 3},
        {"byte beyond the searched part", byte, 0, true, 3, std::nullopt},
        {"searched part longer than the samples", byte, 0, true, 99, 3},
        {"kinds the live mode does not check", nibble, 0, true, 5, std::nullopt},
    };
    for (Case c : cases) {
        c.trigger.SyncBitMask = c.mask;
        EXPECT_EQ(FindLiveTrigger(words, c.searchable, c.trigger, c.armed), c.found) << c.what;
    }
    EXPECT_EQ(FindLiveTrigger({}, 10, byte, true), std::nullopt);
}
