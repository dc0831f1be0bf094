// Recording from libsigrok's demo device through the acquisition thread, and
// the plain rules for device names, rates and quantities around it.
#include "sigrok/DeviceSpec.h"
#include "sigrok/SigrokAcquisition.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokDevices.h"
#include "sigrok/SigrokExport.h"
#include "sigrok/SigrokImport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace sigrok;

namespace {

// The demo's "incremental" pattern counts bytes: sample i carries 2i in its
// low byte and 2i+1 in its high byte.
std::uint16_t Incremental(std::size_t i) {
    return static_cast<std::uint16_t>(((2 * i) & 0xFF) | (((2 * i + 1) & 0xFF) << 8));
}

DeviceSpec DemoWithPattern(const char* channels = "16") {
    return {"demo", {{"logic_channels", channels}, {"analog_channels", "0"},
                     {"pattern", "incremental"}}};
}

std::vector<std::uint16_t> Drain(Acquisition& run) {
    std::vector<std::uint16_t> samples;
    while (!run.Finished()) {
        run.TakeBlocks(samples);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    run.Wait();
    run.TakeBlocks(samples);
    return samples;
}

} // namespace

TEST(DeviceSpecText, ParsesDriverAndOptions) {
    struct Case {
        const char* text;
        bool valid;
        DeviceSpec spec;
    } cases[] = {
        {"demo", true, {"demo", {}}},
        {"demo:logic_channels=16:analog_channels=0",
         true,
         {"demo", {{"logic_channels", "16"}, {"analog_channels", "0"}}}},
        {"fx2lafw:conn=1.5", true, {"fx2lafw", {{"conn", "1.5"}}}},
        {"", false, {}},
        {":conn=1", false, {}},
        {"demo:pattern", false, {}},
        {"demo:=x", false, {}},
    };
    for (const Case& c : cases) {
        const auto spec = ParseDeviceSpec(c.text);
        ASSERT_EQ(spec.has_value(), c.valid) << c.text;
        if (!c.valid) continue;
        EXPECT_EQ(*spec, c.spec) << c.text;
        EXPECT_EQ(DeviceSpecText(*spec), c.text);
    }
}

TEST(DeviceSpecText, ReadsQuantitiesAsPeopleWriteThem) {
    struct Case {
        const char* text;
        std::optional<std::uint64_t> value;
    } cases[] = {
        {"1000000", 1'000'000},     {"1M", 1'000'000},         {"24 MHz", 24'000'000},
        {"200k", 200'000},          {"1.5G", 1'500'000'000},   {"12,5 kHz", 12'500},
        {"1G", 1'000'000'000},      {"100000", 100'000},       {"0", std::nullopt},
        {"", std::nullopt},         {"M", std::nullopt},       {"1.5", std::nullopt},
        {"1x", std::nullopt},       {"-5", std::nullopt},      {"1.2.3k", std::nullopt},
        {"99999999999999999999", std::nullopt},                {"20000000000G", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseQuantity(c.text), c.value) << c.text;
}

TEST(DeviceSpecText, RatesAsGermanText) {
    struct Case {
        std::uint64_t hz;
        const char* text;
    } cases[] = {{24'000'000, "24 MHz"}, {200'000, "200 kHz"}, {1'000'000'000, "1 GHz"},
                 {12'500, "12,5 kHz"},   {1, "1 Hz"},          {999, "999 Hz"},
                 {1'000'001, "1,000001 MHz"}};
    for (const Case& c : cases) EXPECT_EQ(RateText(c.hz), c.text) << c.hz;
}

TEST(DeviceSpecText, RatesOfListsAndRanges) {
    SampleRates list;
    list.listed = {20'000, 1'000'000, 24'000'000};
    EXPECT_TRUE(list.Accepts(1'000'000));
    EXPECT_FALSE(list.Accepts(2'000'000));
    EXPECT_EQ(list.Choices(), list.listed);

    SampleRates range;
    range.low = 1;
    range.high = 1'000'000'000;
    range.step = 1;
    EXPECT_TRUE(range.Accepts(24'000'000));
    EXPECT_FALSE(range.Accepts(2'000'000'000));
    const auto choices = range.Choices();
    EXPECT_EQ(choices.front(), 1u);
    EXPECT_EQ(choices.back(), 1'000'000'000u);
    EXPECT_NE(std::find(choices.begin(), choices.end(), 200'000u), choices.end());
    EXPECT_TRUE(std::is_sorted(choices.begin(), choices.end()));
}

class DemoAcquisition : public ::testing::Test {
  protected:
    Context context;
};

TEST_F(DemoAcquisition, ScanFindsTheDemoWithItsRates) {
    const std::vector<DeviceInfo> found = ScanDriver(context, DemoDeviceSpec());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].logicChannels, 16);
    EXPECT_TRUE(found[0].rates.Accepts(1'000'000));
    EXPECT_TRUE(found[0].rates.Accepts(1'000'000'000));
    EXPECT_EQ(found[0].spec, DemoDeviceSpec());
    EXPECT_NE(found[0].Title().find("16 Logikkanäle"), std::string::npos) << found[0].Title();
}

TEST_F(DemoAcquisition, RecordsThePatternAtTheChosenRate) {
    Acquisition run(context, {DemoWithPattern(), 1'000'000'000, 50'000});
    const std::vector<std::uint16_t> samples = Drain(run);
    const AcquisitionOutcome& outcome = run.Outcome();
    EXPECT_EQ(outcome.error, "");
    EXPECT_FALSE(outcome.stoppedEarly);
    EXPECT_EQ(outcome.received, 50'000u);
    EXPECT_EQ(outcome.lines, 16);
    EXPECT_EQ(outcome.timeBase,
              sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000'000)));
    ASSERT_EQ(samples.size(), 50'000u);
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], Incremental(i)) << "sample " << i;
}

TEST_F(DemoAcquisition, SmallerDeviceLeavesUpperLinesLow) {
    Acquisition run(context, {DemoWithPattern("8"), 1'000'000'000, 4'000});
    const std::vector<std::uint16_t> samples = Drain(run);
    EXPECT_EQ(run.Outcome().error, "");
    EXPECT_EQ(run.Outcome().lines, 8);
    ASSERT_EQ(samples.size(), 4'000u);
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], i % 256) << "sample " << i;
}

TEST_F(DemoAcquisition, StopEndsEarlyAndKeepsWhatArrived) {
    // At 10 kHz the demo paces itself: 10 s for all, so the stop comes first.
    Acquisition run(context, {DemoWithPattern(), 10'000, 100'000});
    std::vector<std::uint16_t> samples;
    while (samples.size() < 200 && !run.Finished()) {
        run.TakeBlocks(samples);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.Stop();
    const std::vector<std::uint16_t> rest = Drain(run);
    samples.insert(samples.end(), rest.begin(), rest.end());
    const AcquisitionOutcome& outcome = run.Outcome();
    EXPECT_TRUE(outcome.stoppedEarly);
    EXPECT_EQ(outcome.error, "");
    EXPECT_GE(samples.size(), 200u);
    EXPECT_LT(samples.size(), 100'000u);
    EXPECT_EQ(outcome.received, samples.size());
    EXPECT_EQ(outcome.timeBase.period, sampling::SamplePeriod::FromRateHz(10'000));
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], Incremental(i)) << "sample " << i;
}

TEST_F(DemoAcquisition, FailuresGiveGermanMessagesAndNoSamples) {
    struct Case {
        DeviceSpec device;
        std::uint64_t rate;
        const char* message;
    } cases[] = {
        {DemoWithPattern(), 5'000'000'000, "nimmt die Abtastrate 5 GHz nicht an"},
        {{"no_such_driver", {}}, 0, "keinen Treiber namens \"no_such_driver\""},
        {{"demo", {{"pattern", "plaid"}}}, 0, "Das Gerät Demo device nimmt die Einstellung pattern=plaid nicht an"},
        {{"demo", {{"no_such_key", "1"}}}, 0, "kennt die Geräteeinstellung \"no_such_key\""},
    };
    for (const Case& c : cases) {
        Acquisition run(context, {c.device, c.rate, 1'000});
        const std::vector<std::uint16_t> samples = Drain(run);
        EXPECT_NE(run.Outcome().error.find(c.message), std::string::npos) << run.Outcome().error;
        EXPECT_TRUE(samples.empty());
    }
}

TEST_F(DemoAcquisition, DeviceEndingEarlyKeepsDataAndSaysSo) {
    // A time limit on the demo makes it end its run before the asked count.
    DeviceSpec shortRun = DemoWithPattern();
    shortRun.options.emplace_back("limit_time", "50");
    Acquisition run(context, {shortRun, 10'000, 100'000});
    const std::vector<std::uint16_t> samples = Drain(run);
    const AcquisitionOutcome& outcome = run.Outcome();
    EXPECT_FALSE(outcome.stoppedEarly);
    EXPECT_NE(outcome.error.find("hat nur " + std::to_string(samples.size()) +
                                 " von 100000 Abtastwerten geliefert"),
              std::string::npos)
        << outcome.error;
    EXPECT_GT(samples.size(), 0u);
    EXPECT_EQ(outcome.received, samples.size());
}

TEST_F(DemoAcquisition, DestroyingARunningAcquisitionStopsIt) {
    // 1,000,000 samples at 1 kHz would take over a quarter of an hour: a
    // destructor that did not stop the device would outlast the test's time.
    Acquisition run(context, {DemoWithPattern(), 1'000, 1'000'000});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

TEST(ContextLog, EachThreadHearsWhyItsOwnCallFailed) {
    // The window keeps one context for its device while imports and exports
    // hold one for a moment: after those, a refusal must still say why, and a
    // failure on the acquisition thread is no failure of the window's thread.
    const QTemporaryDir dir;
    // A CSV whose caption line has more columns than its rows: libsigrok's reader refuses it.
    const QString path = dir.filePath(QStringLiteral("bad.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a,b,c\n0,1\n1\n");
    file.close();
    Context kept;
    { Context passing; }
    kept.ClearLog();
    EXPECT_THROW(ImportFile(kept, ExchangeFormat::Csv, path.toStdString(), 100), Error);
    EXPECT_NE(kept.LastMessage(), "");

    kept.ClearLog();
    Acquisition run(kept, {{"demo", {{"pattern", "plaid"}}}, 0, 10});
    run.Wait();
    EXPECT_NE(run.Outcome().error.find("pattern"), std::string::npos) << run.Outcome().error;
    EXPECT_FALSE(kept.ErrorLogged());
    EXPECT_EQ(kept.LastMessage(), "");
}

TEST(SharedContext, ImportAndExportWhileARecordingRuns) {
    // The window records from its device on the acquisition thread while the
    // user exports and imports with contexts of their own: ending those must
    // not take the device from under the running recording.
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Context device;
    Acquisition run(device, {DemoWithPattern(), 20'000, 10'000'000});
    std::vector<std::uint16_t> samples;
    while (samples.size() < 100 && !run.Finished()) {
        run.TakeBlocks(samples);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    LogicFrames frames;
    frames.names = {"A", "B"};
    frames.samples = {0, 1, 2, 3, 2, 1, 0};
    frames.timeBase = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000));
    for (const ExchangeFormat format : {ExchangeFormat::Session, ExchangeFormat::Vcd,
                                        ExchangeFormat::Csv}) {
        const std::string path =
            dir.filePath(QStringLiteral("x.") + FormatExtension(format)).toStdString();
        {
            Context exporting;
            ExportFile(exporting, frames, format, path);
        }
        Context importing;
        ImportResult back = ImportFile(importing, format, path, 1'000);
        EXPECT_EQ(back.frames.samples, frames.samples) << path;
        EXPECT_TRUE(importing.LastMessage().empty()) << importing.LastMessage();
    }
    const std::size_t before = samples.size();
    while (samples.size() < before + 100 && !run.Finished()) {
        run.TakeBlocks(samples);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    run.Stop();
    const std::vector<std::uint16_t> rest = Drain(run);
    samples.insert(samples.end(), rest.begin(), rest.end());
    EXPECT_EQ(run.Outcome().error, "");
    EXPECT_TRUE(run.Outcome().stoppedEarly);
    EXPECT_GE(samples.size(), before + 100);
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], Incremental(i)) << "sample " << i;
}
