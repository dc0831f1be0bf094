#include "DecodeFixture.h"
#include "SignalSynth.h"

#include "sigrok/decode/BackgroundDecode.h"
#include "sigrok/decode/DecodeError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <malloc.h>
#include <thread>

using namespace sigrokdecode;

namespace {

DecodeJob UartJob(const std::string& setup, std::size_t repeat) {
    SignalSynth s;
    s.Hold(50);
    for (std::size_t i = 0; i < repeat; ++i) s.Uart(0, "Spurwerk ", 1e6, 115200);
    s.Hold(50);
    DecodeJob job;
    job.stacks.push_back(Resolve(ParseStack(setup), TheLibrary().Decoders(), NoLineNames()));
    job.planes = s.Planes();
    job.sampleRateHz = 1'000'000;
    return job;
}

void WaitFor(const BackgroundDecode& run) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!run.Finished() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_TRUE(run.Finished());
}

// Bytes the C library has mapped for large blocks (each on its own).
std::size_t MappedBlocks() {
    return mallinfo2().hblkhd;
}

} // namespace

TEST(BackgroundDecode, RunsToTheEndWithFullProgress) {
    BackgroundDecode run(TheLibrary(), UartJob("uart:rx=D00:format=ascii", 40));
    WaitFor(run);
    EXPECT_DOUBLE_EQ(run.Progress(), 1.0);
    const auto r = run.TakeResult();
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(ClassTexts(r, "uart", "rx-data").size(), 40u * 9u);
}

TEST(BackgroundDecode, CancelStopsEarlyWithThePartSoFar) {
    // Long enough (several blocks) that a cancel arrives before the end.
    BackgroundDecode run(TheLibrary(), UartJob("uart:rx=D00", 4000));
    run.Cancel();
    WaitFor(run);
    const auto r = run.TakeResult();
    EXPECT_TRUE(r.cancelled);
    EXPECT_LT(run.Progress(), 1.0);
}

TEST(BackgroundDecode, DecoderErrorIsRethrownByTakeResult) {
    BackgroundDecode run(TheLibrary(), UartJob("uart:rx=D00:baudrate=0", 5));
    WaitFor(run);
    EXPECT_THROW(run.TakeResult(), DecodeError);
}

TEST(BackgroundDecode, DestroyingARunningDecodeStopsIt) {
    const auto start = std::chrono::steady_clock::now();
    { BackgroundDecode run(TheLibrary(), UartJob("uart:rx=D00", 4000)); }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

// A run's copy of the samples (as long as a long capture) goes on the run's
// thread when it ends, whichever way: not with the run's owner, which is the
// window's thread, nor later while the annotations are sorted.
TEST(BackgroundDecode, EndedRunHasGivenBackItsSamples) {
    struct Case {
        const char* name;
        const char* setup;
        bool cancel;
    };
    const Case cases[] = {
        {"cancelled", "uart:rx=D00", true},
        {"failed", "uart:rx=D00:baudrate=0", false},
    };
    constexpr std::size_t kCells = std::size_t(20) << 20; // 40 MiB, mapped on its own
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DecodeJob job;
        job.stacks.push_back(Resolve(ParseStack(c.setup), TheLibrary().Decoders(), NoLineNames()));
        job.planes.assign(2 * kCells, 0);
        std::fill_n(job.planes.begin(), kCells, std::uint8_t(0xFF)); // D00..D07 idle high
        job.sampleRateHz = 1'000'000;
        const std::size_t held = MappedBlocks();
        BackgroundDecode run(TheLibrary(), std::move(job));
        if (c.cancel) run.Cancel();
        WaitFor(run);
        EXPECT_LT(MappedBlocks() + kCells, held);
    }
}

