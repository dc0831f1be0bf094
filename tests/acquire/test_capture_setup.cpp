// A sigrok device recorded as the window and the command line record it
// (SigrokDeviceSource through the Recorder), with a channel subset and with
// the program's trigger on libsigrok's demo device.
#include "acquire/Recorder.h"
#include "acquire/SigrokDeviceSource.h"
#include "acquire/VectorSink.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevices.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// The demo's "incremental" pattern: sample i carries 2i in its low byte and
// 2i+1 in its high byte.
std::uint16_t Incremental(std::uint64_t i) {
    return std::uint16_t((2 * i & 0xFF) | ((2 * i + 1) & 0xFF) << 8);
}

sigrok::DeviceSpec Demo(const char* pattern) {
    sigrok::DeviceSpec spec = sigrok::DemoDeviceSpec();
    spec.options.emplace_back("pattern", pattern);
    return spec;
}

class CaptureSetup : public ::testing::Test {
  protected:
    acquire::Recording Record(const char* pattern, const acquire::RunRequest& request,
                              const acquire::RunControl& control = {}) {
        acquire::SigrokDeviceSource source(context, Demo(pattern), 1'000'000, "Demo");
        acquire::VectorSink sink(words);
        return acquire::Recorder(source).Record(acquire::RunKind::Recording, request, sink,
                                                control);
    }

    sigrok::Context context;
    std::vector<std::uint16_t> words;
};

TEST_F(CaptureSetup, LinesNotChosenStayLow) {
    acquire::RunRequest request;
    request.cells = 20'000;
    request.lines = 0x810D; // D0, D2, D3, D8, D15
    const acquire::Recording run = Record("incremental", request);
    EXPECT_EQ(run.error, "");
    ASSERT_EQ(words.size(), 20'000u);
    for (std::size_t i = 0; i < words.size(); ++i)
        ASSERT_EQ(words[i], Incremental(i) & 0x810D) << "sample " << i;
}

// D7 is bit 7 of 2i: it rises at every i = 64 mod 128. With 25 % of 40,000
// before the trigger, the watch is armed after 10,000 samples and fires at
// the rise at 10,048; the capture then starts at sample 48.
TEST_F(CaptureSetup, EdgeTriggerWithAQuarterBefore) {
    acquire::RunRequest request;
    request.cells = 40'000;
    request.trigger.stages = {{{7, sampling::TriggerMatch::Rising}}};
    request.preTriggerPercent = 25;
    const acquire::Recording run = Record("incremental", request);
    EXPECT_EQ(run.error, "");
    EXPECT_FALSE(run.triggerMissed);
    ASSERT_EQ(run.triggerCell, 10'000u);
    ASSERT_EQ(words.size(), 40'000u);
    EXPECT_FALSE(words[9'999] & 0x80);
    EXPECT_TRUE(words[10'000] & 0x80);
    // Before and after the trigger one unbroken stretch of the pattern.
    for (std::size_t i = 0; i < words.size(); ++i)
        ASSERT_EQ(words[i], Incremental(48 + i)) << "sample " << i;
    EXPECT_NE(run.summary.find("Trigger bei Wert 10000"), std::string::npos) << run.summary;
}

// All lines stay low, so D0=1 never fires: a stop ends the wait, and nothing
// the device sent meanwhile passes for a capture.
TEST_F(CaptureSetup, ATriggerThatNeverFiresIsStoppedAndKeepsNothing) {
    acquire::RunRequest request;
    request.cells = 10'000;
    request.trigger.stages = {{{0, sampling::TriggerMatch::High}}};
    request.preTriggerPercent = 10;
    std::atomic<bool> stop{false};
    const auto start = std::chrono::steady_clock::now();
    acquire::RunControl control;
    control.stop = &stop;
    control.progress = [&](std::uint64_t) {
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(300)) stop = true;
    };
    const acquire::Recording run = Record("all-low", request, control);
    EXPECT_TRUE(run.stopped);
    EXPECT_TRUE(run.triggerMissed);
    EXPECT_EQ(run.cells, 0u);
    EXPECT_TRUE(words.empty());
    EXPECT_EQ(run.error, "");
    EXPECT_EQ(run.summary, "Der Trigger hat nicht ausgelöst; es wurde nichts aufgenommen.");
}

} // namespace
