#include "DecodeFixture.h"
#include "SignalSynth.h"

#include "sigrok/decode/BackgroundDecode.h"
#include "sigrok/decode/DecodeError.h"

#include <gtest/gtest.h>

#include <chrono>
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
