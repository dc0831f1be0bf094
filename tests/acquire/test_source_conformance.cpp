#include "FakeClock.h"
#include "K8055Sim.h"
#include "ScriptedDesktop.h"
#include "acquire/BoardSource.h"
#include "acquire/OwnSources.h"
#include "acquire/ParallelPortSource.h"
#include "acquire/Recorder.h"
#include "acquire/SigrokDeviceSource.h"
#include "acquire/VectorSink.h"
#include "hardware/K8055Library.h"
#include "hardware/PortPreparation.h"
#include "hardware/SimulatedPattern.h"
#include "hardware/SimulatedPortSystem.h"
#include "hardware/TPortIO.h"
#include "hardware/TPortUSB.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevices.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

// One suite for the sample-source interface, run on every source the program
// has: the simulated parallel port in each of its modes, the simulated K8055
// board, both as the command line opens them, and libsigrok's demo device.
// Each must fill a sink the same way under the one recorder.
namespace {

using acquire::RunKind;

// A harness owns a source and knows what its samples must be.
class Harness {
  public:
    virtual ~Harness() = default;
    virtual acquire::SampleSource& Source() = 0;
    // Word i of the first run.
    virtual std::uint16_t Expected(std::uint64_t i) const = 0;
    // The period the time base must give, in picoseconds; 0 on the steady
    // clock, where only the machine's load decides what was measured.
    virtual std::int64_t PeriodPs() const = 0;
    // Cells of a run: enough to stop in its middle, few enough to be quick.
    virtual std::uint64_t Cells() const { return 2000; }
    // The port's control register, to see that a run sets the port back; -1
    // for sources without one.
    virtual int Control() { return -1; }
};

std::uint16_t PortWord(std::uint64_t i) {
    return std::uint16_t(SimulatedPattern::Data(i) | (SimulatedPattern::Status(i) >> 4) << 8);
}

// The simulated port programmed for input, paced on a fake clock.
class PortHarness final : public Harness {
  public:
    explicit PortHarness(LptMode mode)
        : io_(desktop_, std::make_unique<SimulatedPortSystem>()),
          source_(io_, 0x378, mode, desktop_, clock_) {
        io_.SetIOactive(true);
        portprep::InputStart(io_, 0x378);
    }
    acquire::SampleSource& Source() override { return source_; }
    std::uint16_t Expected(std::uint64_t i) const override { return PortWord(i); }
    std::int64_t PeriodPs() const override { return 10'000'000; }
    int Control() override { return io_.ReadPortByte(0x378 + 2); }

  private:
    ScriptedDesktop desktop_;
    FakeClock clock_;
    TPortIO io_;
    acquire::ParallelPortSource source_;
};

// The simulated board 1, paced on a fake clock.
class BoardHarness final : public Harness {
  public:
    BoardHarness() {
        k8055sim_Reset();
        const k8055::LibraryChoice library =
            k8055::ChooseLibrary(true, {}, QStringLiteral(SPURWERK_BINARY_DIR));
        usb_ = std::make_unique<TPortUSB>(desktop_, library.name, library.directory);
        usb_->SetUSBportconnect(TUSBConnect::User);
        usb_->SetUSBportAddr(1);
        usb_->SetUSBportactive(true);
        source_ = std::make_unique<acquire::BoardSource>(*usb_, desktop_, clock_);
    }
    ~BoardHarness() override { k8055sim_Reset(); }
    acquire::SampleSource& Source() override { return *source_; }
    // The simulated board's inputs count its reads in eighths.
    std::uint16_t Expected(std::uint64_t i) const override { return std::uint16_t((i / 8) & 0x1F); }
    std::int64_t PeriodPs() const override { return 10'000'000'000; }
    std::uint64_t Cells() const override { return 400; }

  private:
    ScriptedDesktop desktop_;
    FakeClock clock_;
    std::unique_ptr<TPortUSB> usb_;
    std::unique_ptr<acquire::BoardSource> source_;
};

// The port or board the way `spurwerk record` opens it: the program's own
// factory, on the steady clock.
class OwnSourceHarness final : public Harness {
  public:
    explicit OwnSourceHarness(const char* name) {
        k8055sim_Reset();
        board_ = std::string(name).starts_with("usb");
        opened_ = acquire::OpenOwnSource(
            {*acquire::OwnSourceName::Parse(name), true, {}, SPURWERK_BINARY_DIR}, desktop_);
        if (!opened_.source) throw std::runtime_error(opened_.error);
    }
    ~OwnSourceHarness() override { k8055sim_Reset(); }
    acquire::SampleSource& Source() override { return *opened_.source; }
    std::uint16_t Expected(std::uint64_t i) const override {
        return board_ ? std::uint16_t((i / 8) & 0x1F) : PortWord(i);
    }
    std::int64_t PeriodPs() const override { return 0; }
    // Real time: 0.5 s of port, 0.3 s of board. A stop must find the run
    // still going on a busy machine, where a late loop catches up at once.
    std::uint64_t Cells() const override { return board_ ? 30 : 50'000; }

  private:
    ScriptedDesktop desktop_;
    bool board_ = false;
    acquire::OpenedSource opened_;
};

// libsigrok's demo device, 16 lines counting up, at 100 kHz: 2000 samples
// last 20 ms, long enough for a stop to arrive in the middle.
class DemoHarness final : public Harness {
  public:
    DemoHarness() : source_(context_, IncrementalDemo(), 100'000, "Demo") {}
    acquire::SampleSource& Source() override { return source_; }
    // The demo's "incremental" pattern as two little-endian bytes.
    std::uint16_t Expected(std::uint64_t i) const override {
        return std::uint16_t((2 * i & 0xFF) | ((2 * i + 1) & 0xFF) << 8);
    }
    std::int64_t PeriodPs() const override { return 10'000'000; }
    std::uint64_t Cells() const override { return 20'000; }

  private:
    static sigrok::DeviceSpec IncrementalDemo() {
        sigrok::DeviceSpec spec = sigrok::DemoDeviceSpec();
        spec.options.emplace_back("pattern", "incremental");
        return spec;
    }
    sigrok::Context context_;
    acquire::SigrokDeviceSource source_;
};

// A buffer of fixed length, as the window's: filled with a mark beforehand.
class FixedSink final : public acquire::SampleSink {
  public:
    explicit FixedSink(std::size_t cells) : words(cells, 0xEEEE) {}
    std::size_t Write(std::uint64_t first, const std::uint16_t* in, std::size_t count) override {
        std::size_t n = 0;
        for (; n < count && first + n < words.size(); ++n)
            words[first + n] = in[n];
        if (failAfter && first + n >= failAfter) throw std::runtime_error("Datenträger voll");
        return n;
    }
    void EndAt(std::uint64_t cells) override {
        for (std::size_t i = cells; i < words.size(); ++i)
            words[i] = 0;
    }
    std::vector<std::uint16_t> words;
    std::uint64_t failAfter = 0; // 0: never
};

struct Implementation {
    const char* name;
    std::function<std::unique_ptr<Harness>()> make;
};

void PrintTo(const Implementation& implementation, std::ostream* os) {
    *os << implementation.name;
}

class SourceConformance : public ::testing::TestWithParam<Implementation> {
  protected:
    void SetUp() override { harness = GetParam().make(); }
    acquire::SampleSource& source() { return harness->Source(); }
    acquire::Recording record(acquire::SampleSink& sink, const acquire::RunControl& control = {}) {
        return acquire::Recorder(source()).Record(RunKind::Recording, {harness->Cells()}, sink,
                                                  control);
    }
    // A control that stops once `cells` are stored.
    acquire::RunControl stopAfter(std::uint64_t cells) {
        acquire::RunControl control;
        control.stop = &stop;
        control.progress = [this, cells](std::uint64_t have) {
            if (have >= cells) stop = true;
        };
        return control;
    }
    long long firstMismatch(const std::vector<std::uint16_t>& words, std::size_t count) const {
        for (std::size_t i = 0; i < count; ++i)
            if (words[i] != harness->Expected(i)) return static_cast<long long>(i);
        return -1;
    }

    std::unique_ptr<Harness> harness;
    std::atomic<bool> stop{false};
};

TEST_P(SourceConformance, ARunFillsTheSinkWithItsSamplesAndTheirTimeBase) {
    std::vector<std::uint16_t> words;
    acquire::VectorSink sink(words);
    const acquire::Recording run = record(sink);
    EXPECT_TRUE(run.error.empty()) << run.error;
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(run.cells, harness->Cells());
    ASSERT_EQ(words.size(), harness->Cells());
    EXPECT_EQ(firstMismatch(words, words.size()), -1);
    EXPECT_EQ(run.lines, source().Lines());
    EXPECT_NE(run.timeBase.origin, sampling::TimingOrigin::UnknownNominal);
    if (harness->PeriodPs() > 0) {
        EXPECT_EQ(run.timeBase.period.Picoseconds(), harness->PeriodPs());
    }
    EXPECT_TRUE(run.summary.starts_with(std::to_string(run.cells) + " Werte")) << run.summary;
}

TEST_P(SourceConformance, AStopKeepsTheSamplesTakenAndZeroesTheRestOfAFixedBuffer) {
    FixedSink sink(harness->Cells());
    const std::uint64_t stopAt = harness->Cells() / 4;
    const acquire::Recording run = record(sink, stopAfter(stopAt));
    EXPECT_TRUE(run.stopped);
    EXPECT_TRUE(run.error.empty()) << run.error;
    EXPECT_GE(run.cells, stopAt);
    ASSERT_LT(run.cells, harness->Cells());
    EXPECT_EQ(firstMismatch(sink.words, run.cells), -1) << "the samples taken are kept";
    for (std::size_t i = run.cells; i < sink.words.size(); ++i)
        ASSERT_EQ(sink.words[i], 0) << "cell " << i << " still holds the old buffer";
}

TEST_P(SourceConformance, ProgressReportsOnlyCellsAlreadyInTheSink) {
    std::vector<std::uint16_t> words;
    acquire::VectorSink sink(words);
    std::vector<std::uint64_t> reports;
    acquire::RunControl control;
    control.progress = [&](std::uint64_t cells) {
        EXPECT_LE(cells, words.size());
        if (!reports.empty()) {
            EXPECT_GE(cells, reports.back());
        }
        reports.push_back(cells);
    };
    const acquire::Recording run = record(sink, control);
    ASSERT_FALSE(reports.empty());
    EXPECT_LE(reports.back(), run.cells);
    EXPECT_EQ(run.cells, harness->Cells());
}

TEST_P(SourceConformance, ASinkFailingMidRunEndsItAndTheSourceRecordsAgain) {
    FixedSink failing(harness->Cells());
    failing.failAfter = harness->Cells() / 2;
    EXPECT_THROW(record(failing), std::runtime_error);
    const int controlAfterFailure = harness->Control();
    std::vector<std::uint16_t> words;
    acquire::VectorSink sink(words);
    const acquire::Recording again = record(sink);
    EXPECT_TRUE(again.error.empty()) << again.error;
    EXPECT_EQ(again.cells, harness->Cells());
    // A port was set back as after any run.
    EXPECT_EQ(controlAfterFailure, harness->Control());
}

LptMode Mode(bool adapter, bool printerSignals) {
    LptMode mode;
    mode.adapter = adapter;
    mode.printerSignals = printerSignals;
    return mode;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, SourceConformance,
    ::testing::Values(
        Implementation{"PortPlain",
                       [] { return std::make_unique<PortHarness>(Mode(false, false)); }},
        Implementation{"PortAdapter",
                       [] { return std::make_unique<PortHarness>(Mode(true, false)); }},
        Implementation{"PortAdapterWithSignals",
                       [] { return std::make_unique<PortHarness>(Mode(true, true)); }},
        Implementation{"Board", [] { return std::make_unique<BoardHarness>(); }},
        Implementation{"OwnLpt1", [] { return std::make_unique<OwnSourceHarness>("lpt1"); }},
        Implementation{"OwnUsb1", [] { return std::make_unique<OwnSourceHarness>("usb1"); }},
        Implementation{"SigrokDemo", [] { return std::make_unique<DemoHarness>(); }}),
    [](const ::testing::TestParamInfo<Implementation>& info) { return info.param.name; });

} // namespace
