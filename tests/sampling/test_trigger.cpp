// Triggers in sigrok-cli's syntax, capture lengths, and the
// program's own trigger over a stream of sample words.
#include "sampling/CaptureLength.h"
#include "sampling/Trigger.h"

#include <gtest/gtest.h>

using namespace sampling;

namespace {

const std::vector<std::string> kNames = UsualLineNames();

TEST(TriggerText, ReadsSigrokCliSyntax) {
    using M = TriggerMatch;
    struct Case {
        const char* text;
        std::vector<TriggerStage> stages; // empty: refused
        const char* reason = "";
    } cases[] = {
        {"D0=r", {{{0, M::Rising}}}},
        {"D0=r,D2=1", {{{0, M::Rising}, {2, M::High}}}},
        // Kept in line order, however written.
        {"D15=f,D3=0,D4=e", {{{3, M::Low}, {4, M::Edge}, {15, M::Falling}}}},
        // One letter per stage: D0 rises while D2 is low, then D2 is high.
        {"D0=r,D2=01", {{{0, M::Rising}, {2, M::Low}}, {{2, M::High}}}},
        {"", {}, "leer"},
        {"D0", {}, "KANAL=BEDINGUNG"},
        {"D0=", {}, "KANAL=BEDINGUNG"},
        {"=r", {}, "KANAL=BEDINGUNG"},
        {"D0=r,", {}, "KANAL=BEDINGUNG"},
        {"D16=r", {}, "\"D16\" gibt es nicht"},
        {"d0=r", {}, "\"d0\" gibt es nicht"},
        {"D0=x", {}, "\"x\" gibt es nicht"},
        {"D0=R", {}, "\"R\" gibt es nicht"},
        {"D0=r,D0=1", {}, "zweimal"},
    };
    for (const Case& c : cases) {
        std::string error;
        const std::optional<Trigger> trigger = ParseTrigger(c.text, kNames, error);
        if (c.stages.empty()) {
            EXPECT_FALSE(trigger) << c.text;
            EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << ": " << error;
            continue;
        }
        ASSERT_TRUE(trigger) << c.text << ": " << error;
        EXPECT_EQ(trigger->stages, c.stages) << c.text;
        // Written back it reads the same.
        std::string again;
        EXPECT_EQ(ParseTrigger(TriggerText(*trigger, kNames), kNames, again), trigger) << c.text;
    }
}

TEST(CaptureLength, DurationsPercentsAndCells) {
    struct Duration {
        const char* text;
        std::optional<std::uint64_t> microseconds;
    } durations[] = {
        {"500", 500'000},         {"250ms", 250'000},
        {"2s", 2'000'000},        {"1,5s", 1'500'000},
        {"1.5 s", 1'500'000},     {"800us", 800},
        {"800µs", 800},           {" 3 ms ", 3'000},
        {"0", std::nullopt},      {"", std::nullopt},
        {"s", std::nullopt},      {"1.2345s", std::nullopt},
        {"1h", std::nullopt},     {"-5", std::nullopt},
        {"90000s", std::nullopt}, {"99999999999999999999", std::nullopt},
    };
    for (const Duration& d : durations)
        EXPECT_EQ(ParseDuration(d.text), d.microseconds) << d.text;

    struct Percent {
        const char* text;
        std::optional<int> value;
    } percents[] = {{"10%", 10},         {"10 %", 10},           {"0", 0},
                    {"99%", 99},         {"100%", std::nullopt}, {"", std::nullopt},
                    {"%", std::nullopt}, {"-1", std::nullopt},   {"2.5%", std::nullopt}};
    for (const Percent& p : percents)
        EXPECT_EQ(ParsePercent(p.text), p.value) << p.text;

    EXPECT_EQ(CellsForDuration(24'000'000, 1'000), 24'000u);
    EXPECT_EQ(CellsForDuration(1'000'000, 1'500'000), 1'500'000u);
    // Rounded up: 1 µs at 1 kHz still takes a sample.
    EXPECT_EQ(CellsForDuration(1'000, 1), 1u);
    // A day at 1 GHz does not overflow.
    EXPECT_EQ(CellsForDuration(1'000'000'000, 86'400'000'000), 86'400'000'000'000u);
}

// Feeds `words` in blocks of `block` and answers what the watch handed out.
std::vector<std::uint16_t> Watch(const char* trigger, std::size_t before,
                                 const std::vector<std::uint16_t>& words, std::size_t block) {
    std::string error;
    TriggerWatch watch(*ParseTrigger(trigger, kNames, error), before);
    std::vector<std::uint16_t> out;
    for (std::size_t i = 0; i < words.size(); i += block)
        watch.Feed(words.data() + i, std::min(block, words.size() - i), out);
    return out;
}

// A counter: word i is i, so the handed-out words tell where the capture began.
std::vector<std::uint16_t> Counter(std::size_t n) {
    std::vector<std::uint16_t> words(n);
    for (std::size_t i = 0; i < n; ++i)
        words[i] = std::uint16_t(i);
    return words;
}

TEST(TriggerWatch, FiresWhereTheConditionsFirstHoldOnceThePreTriggerIsFull) {
    struct Case {
        const char* trigger;
        std::size_t before;
        long first; // the first word handed out; -1: never fired
    } cases[] = {
        // D2 rises at 4, 12, 20, ... on a counter.
        {"D2=r", 0, 4},
        {"D2=r", 2, 2},
        // Armed only after 5 words: the rise at 4 is too early, 12 counts.
        {"D2=r", 5, 7},
        {"D2=f", 0, 8},
        {"D0=e", 0, 1},
        {"D3=1", 0, 8},
        {"D3=0", 0, 0},
        // AND: D0 rising while D1 is high first happens at 3.
        {"D0=r,D1=1", 0, 3},
        {"D0=r,D1=1,D2=1", 0, 7},
        // Stages on consecutive samples: D1 high (at 2), then D0 high (at 3).
        {"D1=1,D0=01", 0, 3},
        // D4 high and then straight after D4 low happens at 31/32.
        {"D4=10", 0, 32},
        // Never: D15 stays low on the first 1000 words.
        {"D15=1", 0, -1},
        // The very first word has no edge before it.
        {"D0=f,D1=f", 0, 4},
    };
    const std::vector<std::uint16_t> words = Counter(1000);
    for (const Case& c : cases) {
        for (const std::size_t block : {std::size_t(1), std::size_t(3), std::size_t(1000)}) {
            const std::vector<std::uint16_t> out = Watch(c.trigger, c.before, words, block);
            SCOPED_TRACE(std::string(c.trigger) + " before " + std::to_string(c.before) +
                         " block " + std::to_string(block));
            if (c.first < 0) {
                EXPECT_TRUE(out.empty());
                continue;
            }
            // Everything from the first word on, without a gap across blocks.
            ASSERT_EQ(out.size(), words.size() - std::size_t(c.first));
            for (std::size_t i = 0; i < out.size(); ++i)
                ASSERT_EQ(out[i], words[std::size_t(c.first) + i]) << i;
        }
    }
}

TEST(TriggerWatch, KeepsOnlyThePreTriggerShareOfALongWait) {
    // D12 first rises at 4096: of the 4096 words before it, the last 100 stay.
    const std::vector<std::uint16_t> out = Watch("D12=r", 100, Counter(5000), 256);
    ASSERT_EQ(out.size(), 5000u - 3996u);
    EXPECT_EQ(out.front(), 3996);
    EXPECT_EQ(out[100], 4096);
}

} // namespace
