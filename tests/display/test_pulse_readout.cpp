#include "SignalRuns.h"
#include "display/PulseReadout.h"

#include <gtest/gtest.h>
#include <string>

using trazor::measurePulse;
using trazor::PulseMeasure;

namespace {
std::optional<int> none = std::nullopt;

struct Expected {
    bool high;
    std::optional<int> start, end, width, period, highTime;
};

struct PulseCase {
    std::string name;
    std::vector<std::pair<bool, int>> runs;
    int cell;
    Expected expected;
};
} // namespace

TEST(PulseReadout, MeasuresTheRunUnderThePointerAndItsNeighbour) {
    const std::vector<std::pair<bool, int>> mixed = {{false, 10}, {true, 20}, {false, 30}, {true, 5}};
    const std::vector<std::pair<bool, int>> single = {{false, 1}, {true, 1}, {false, 1}, {true, 1}};
    const std::vector<PulseCase> cases = {
        {"high pulse, next low run complete", mixed, 15, {true, 10, 30, 20, 50, 20}},
        {"first cell of a run", mixed, 10, {true, 10, 30, 20, 50, 20}},
        {"last cell of a run", mixed, 29, {true, 10, 30, 20, 50, 20}},
        {"low run, next one reaches the end: previous one instead",
         mixed, 45, {false, 30, 60, 30, 50, 20}},
        {"run from the buffer's start", mixed, 5, {false, none, 10, none, none, none}},
        {"the last cell", mixed, 64, {true, 60, none, none, none, none}},
        {"no edge at all", {{true, 4100}}, 2000, {true, none, none, none, none, none}},
        {"one-cell pulses", single, 1, {true, 1, 2, 1, 2, 1}},
        {"one-cell gap before the last run", single, 2, {false, 2, 3, 1, 2, 1}},
        {"pulse longer than the levels",
         {{false, 3}, {true, 500000}, {false, 7}, {true, 2}}, 250000,
         {true, 3, 500003, 500000, 500007, 500000}},
    };
    for (const PulseCase& c : cases) {
        for (int line : {0, 11}) {
            const SampleBuffer buffer = bufferFromRuns(line, c.runs);
            SamplePyramid pyramid;
            pyramid.Build(buffer);
            const auto m = measurePulse(buffer, pyramid, line, c.cell);
            ASSERT_TRUE(m) << c.name;
            EXPECT_EQ(m->line, line);
            EXPECT_EQ(m->cell, c.cell);
            EXPECT_EQ(m->high, c.expected.high) << c.name;
            EXPECT_EQ(m->start, c.expected.start) << c.name;
            EXPECT_EQ(m->end, c.expected.end) << c.name;
            EXPECT_EQ(m->width, c.expected.width) << c.name;
            EXPECT_EQ(m->period, c.expected.period) << c.name;
            EXPECT_EQ(m->highTime, c.expected.highTime) << c.name;
        }
    }
}

TEST(PulseReadout, NothingToMeasureOutsideTheBufferOrTheLines) {
    const SampleBuffer buffer = bufferFromRuns(0, {{true, 8}});
    SamplePyramid pyramid;
    pyramid.Build(buffer);
    EXPECT_FALSE(measurePulse(buffer, pyramid, 0, -1));
    EXPECT_FALSE(measurePulse(buffer, pyramid, 0, 8));
    EXPECT_FALSE(measurePulse(buffer, pyramid, 16, 0));
    EXPECT_FALSE(measurePulse(buffer, pyramid, -1, 0));
}

TEST(PulseReadout, TextInTheTimeBaseUnitsWithDashesForUnknownEdges) {
    const SampleBuffer buffer = bufferFromRuns(3, {{false, 10}, {true, 20}, {false, 30}, {true, 5}});
    SamplePyramid pyramid;
    pyramid.Build(buffer);
    const auto us = sampling::TimeBase::Paced(sampling::SamplePeriod::FromNanoseconds(1000));
    struct Case {
        int cell;
        sampling::TimeBase timeBase;
        const char* text;
    };
    const Case cases[] = {
        {15, us,
         "CLK = H | Puls 20,00 µs | Periode 50,00 µs | 20,00 kHz | Tastgrad 40,0 %"},
        {45, sampling::TimeBase::Paced(sampling::SamplePeriod::FromNanoseconds(10'000'000)),
         "CLK = L | Puls 300,00 ms | Periode 500,00 ms | 2,00 Hz | Tastgrad 40,0 %"},
        {5, us, "CLK = L | Puls – | Periode – | – | Tastgrad –"},
        // A buffer without timing of its own reads in the assumed 10 us.
        {20, sampling::TimeBase::Nominal(),
         "CLK = H | Puls 200,00 µs | Periode 500,00 µs | 2,00 kHz | Tastgrad 40,0 %"},
        {62, sampling::TimeBase::Nominal(), "CLK = H | Puls – | Periode – | – | Tastgrad –"},
    };
    for (const Case& c : cases) {
        const auto m = measurePulse(buffer, pyramid, 3, c.cell);
        ASSERT_TRUE(m);
        EXPECT_EQ(trazor::readoutText(*m, QStringLiteral("CLK"), c.timeBase),
                  QString::fromUtf8(c.text));
    }
}

TEST(PulseReadout, EdgeJumpsWalkFromEdgeToEdge) {
    // Edges at 10, 30 and 60; cell 64 is the last.
    const SampleBuffer buffer = bufferFromRuns(6, {{false, 10}, {true, 20}, {false, 30}, {true, 5}});
    SamplePyramid pyramid;
    pyramid.Build(buffer);
    struct Case {
        int cell;
        std::optional<int> after, before;
    };
    const Case cases[] = {
        {-5, 10, std::nullopt}, {0, 10, std::nullopt}, {9, 10, std::nullopt},
        {10, 30, std::nullopt}, // standing on an edge: the one before it
        {11, 30, 10},           {30, 60, 10},          {59, 60, 30},
        {60, std::nullopt, 30}, {64, std::nullopt, 60}, {1000, std::nullopt, 60},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trazor::edgeAfter(buffer, pyramid, 6, c.cell), c.after) << c.cell;
        EXPECT_EQ(trazor::edgeBefore(buffer, pyramid, 6, c.cell), c.before) << c.cell;
    }
    // A line without edges.
    EXPECT_EQ(trazor::edgeAfter(buffer, pyramid, 1, 0), std::nullopt);
    EXPECT_EQ(trazor::edgeBefore(buffer, pyramid, 1, 64), std::nullopt);
}
