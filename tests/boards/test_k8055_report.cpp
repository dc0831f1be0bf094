#include "Report.h"

#include <gtest/gtest.h>

using k8055::Command;
using k8055::Report;

TEST(K8055Report, CarriesTheCommandAndTheWholeOutputCopy) {
    const k8055::Outputs outputs{0xA5, 0x12, 0xFE, 0x1D, 0x7F};
    const struct {
        Command command;
        Report expected;
    } cases[] = {
        {Command::Reset, {0, 0xA5, 0x12, 0xFE, 0, 0, 0x1D, 0x7F}},
        {Command::SetDebounce1, {1, 0xA5, 0x12, 0xFE, 0, 0, 0x1D, 0x7F}},
        {Command::SetDebounce2, {2, 0xA5, 0x12, 0xFE, 0, 0, 0x1D, 0x7F}},
        {Command::ResetCounter1, {3, 0xA5, 0x12, 0xFE, 0, 0, 0x1D, 0x7F}},
        {Command::ResetCounter2, {4, 0xA5, 0x12, 0xFE, 0, 0, 0x1D, 0x7F}},
        {Command::SetOutputs, {5, 0xA5, 0x12, 0xFE, 0, 0, 0x1D, 0x7F}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(k8055::BuildReport(c.command, outputs), c.expected)
            << "command " << int(c.command);
}

TEST(K8055Report, DebounceByteIsTheRoundedRootClampedToTheBoardsRange) {
    const struct {
        long ms;
        int byte;
    } cases[] = {
        {0, 0},      {1, 3},      {2, 4},        {100, 29}, {1000, 93},
        {7450, 255}, {7451, 255}, {100000, 255}, {-1, 0},   {-100000, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(k8055::DebounceByte(c.ms), c.byte) << c.ms << " ms";
}

TEST(K8055Report, InputsAreUnscrambledIntoBitsZeroToFour) {
    const struct {
        std::uint8_t raw;
        std::uint8_t inputs;
    } cases[] = {
        {0x10, 0x01},               // input 1
        {0x20, 0x02},               // input 2
        {0x01, 0x04},               // input 3
        {0x40, 0x08},               // input 4
        {0x80, 0x10},               // input 5
        {0xF1, 0x1F}, {0x0E, 0x00}, // bits 1..3 carry no input
        {0x00, 0x00}, {0xFF, 0x1F},
    };
    for (const auto& c : cases)
        EXPECT_EQ(k8055::UnscrambleInputs(c.raw), c.inputs) << "raw " << int(c.raw);
}

TEST(K8055Report, InputReportYieldsInputsAnalogValuesAndUnsignedCounters) {
    const Report report{0x91, 0x03, 0x80, 0xFF, 0x34, 0x12, 0xFF, 0xFF};
    const auto state = k8055::ParseInputReport(report, 8, 2);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->digital, 0x15); // inputs 1, 3 and 5
    EXPECT_EQ(state->analog1, 0x80);
    EXPECT_EQ(state->analog2, 0xFF);
    EXPECT_EQ(state->counter1, 0x1234);
    EXPECT_EQ(state->counter2, 65535);
    EXPECT_EQ(k8055::ParseInputReport({0, 0x01, 0, 0, 0x00, 0x80, 0, 0}, 8, 0)->counter1, 32768);
}

TEST(K8055Report, ShortReportsAndOtherCardsAreNoInput) {
    const Report card0{0x10, 0x01, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(k8055::ParseInputReport(card0, 8, 0));
    // Only the low nibble names the card; the high nibble is free.
    EXPECT_TRUE(k8055::ParseInputReport({0, 0xA1, 0, 0, 0, 0, 0, 0}, 8, 0));
    EXPECT_FALSE(k8055::ParseInputReport(card0, 7, 0));
    EXPECT_FALSE(k8055::ParseInputReport(card0, 0, 0));
    EXPECT_FALSE(k8055::ParseInputReport(card0, 9, 0));
    EXPECT_FALSE(k8055::ParseInputReport(card0, 8, 1));
    EXPECT_FALSE(k8055::ParseInputReport({0, 0x00, 0, 0, 0, 0, 0, 0}, 8, 0));
}
