// The display's time per cell for a device's sample rate.
#include "display/CellUnit.h"
#include "display/MarkerRecord.h"

#include <gtest/gtest.h>

TEST(CellUnitTest, RatesGiveTheirRealPeriod) {
    struct Case {
        std::uint64_t rateHz;
        const char* unit;
        int factor;
    };
    const Case cases[] = {
        {1, "s", 1},
        {2, "ms", 500},
        {3, "ms", 333},           // 0.1 % off: close enough to read
        {1'000, "ms", 1},
        {200'000, "µs", 5},
        {1'000'000, "µs", 1},
        {3'000'000, "ns", 333},
        {12'000'000, "ps", 83333}, // 83 ns would be 0.4 % off
        {16'000'000, "ps", 62500},
        {24'000'000, "ps", 41667},
        {100'000'000, "ns", 10},
        {1'000'000'000, "ns", 1},
        {5'000'000'000, "ps", 200},
        {3'000'000'000'000, "ps", 1}, // faster than the smallest unit
        {0, "s", 1},
    };
    for (const Case& c : cases) {
        const trazor::CellUnit cell = trazor::CellUnitForRate(c.rateHz);
        EXPECT_EQ(cell.unit, QString::fromUtf8(c.unit)) << c.rateHz;
        EXPECT_EQ(cell.factor, c.factor) << c.rateHz;
        // The period the display assumes is the device's, within 0.2 %.
        if (c.rateHz > 0 && c.rateHz < 1'000'000'000'000) {
            const double assumed = cell.factor * trazor::unitFactor(cell.unit);
            EXPECT_NEAR(assumed * double(c.rateHz), 1.0, 0.002) << c.rateHz;
        }
    }
}
