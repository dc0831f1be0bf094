// A libsigrok device as the window's source: the device dialog with its scan
// on a thread, and timed recordings and live ticks from the demo device into
// the display, which run on from the window's event loop.
#include "MainWindowFixture.h"
#include "app/CaptureSetup.h"
#include "app/LiveCommands.h"
#include "app/RecordingCommands.h"
#include "app/SigrokDeviceDialog.h"
#include "app/SigrokSource.h"
#include "sigrok/SigrokContext.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace {

sigrok::DeviceSpec IncrementalDemo() {
    sigrok::DeviceSpec spec = sigrok::DemoDeviceSpec();
    spec.options.emplace_back("pattern", "incremental");
    return spec;
}

void WaitForScan(SigrokDeviceDialog& dialog) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while ((dialog.Scanning() || dialog.findChild<QProgressBar*>()->maximum() == 0) &&
           std::chrono::steady_clock::now() < until) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

TEST(SigrokDeviceDialogTest, ScanOnItsThreadListsDevicesAndRates) {
    sigrok::Context context;
    int guarded = 0;
    SigrokDeviceDialog dialog(
        nullptr, [&context] { return sigrok::ScanDriver(context, sigrok::DemoDeviceSpec()); },
        [&guarded](const std::function<void()>& f) {
            ++guarded;
            f();
        });
    EXPECT_FALSE(dialog.ChosenDevice().has_value());
    WaitForScan(dialog);
    EXPECT_GT(guarded, 0) << "the poll timer runs through the guard";
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("SigrokDevices"));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("SigrokStatus"))->text(),
              QStringLiteral("1 Gerät gefunden."));
    EXPECT_TRUE(list->item(0)->text().contains(QStringLiteral("16 Logikkanäle")))
        << list->item(0)->text().toStdString();
    auto* rates = dialog.findChild<QComboBox*>(QStringLiteral("SigrokRates"));
    EXPECT_GE(rates->findText(QStringLiteral("1 MHz")), 0);
    EXPECT_EQ(dialog.ChosenRate(), 200'000u) << "the device's own rate comes first";
    dialog.SelectRate(1'000'000);
    EXPECT_EQ(dialog.ChosenRate(), 1'000'000u);
    ASSERT_TRUE(dialog.ChosenDevice().has_value());
    EXPECT_EQ(dialog.ChosenDevice()->spec, sigrok::DemoDeviceSpec());
}

TEST(SigrokDeviceDialogTest, AFailedScanSaysWhy) {
    SigrokDeviceDialog dialog(
        nullptr, []() -> std::vector<sigrok::DeviceInfo> { throw std::runtime_error("kaputt"); },
        [](const std::function<void()>& f) { f(); });
    WaitForScan(dialog);
    EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("SigrokStatus"))
                    ->text()
                    .contains(QStringLiteral("kaputt")));
    EXPECT_FALSE(dialog.ChosenDevice().has_value());
}

class SigrokSourceTest : public MainWindowTest {
  protected:
    void UseDemo(std::uint64_t rateHz) {
        window->Sigrok().UseDevice(IncrementalDemo(), rateHz, QStringLiteral("Demo"));
        trigger("Eingabeprogrammieren1");
    }
};

TEST_F(SigrokSourceTest, TimedRecordingFillsTheBufferAtTheDevicesRate) {
    UseDemo(1'000'000'000);
    EXPECT_EQ(window->State().InputSource, 2);
    EXPECT_TRUE(action("PortAuswahlSigrok")->isChecked());
    EXPECT_FALSE(action("PortAuswahl1")->isChecked());
    trigger("MenuRecord_5_Sek");
    // Five seconds at 1 GHz, capped at 32 Mi cells: a long buffer, recorded whole.
    ASSERT_EQ(trazor().Option().CellsSize(), 32 * 1024 * 1024);
    record();

    EXPECT_EQ(trazor().GetTimeBase(),
              sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000'000)));
    for (int i = 0; i < 32 * 1024 * 1024; i += 40961) {
        const auto expected = std::uint16_t(((2 * i) & 0xFF) | (((2 * i + 1) & 0xFF) << 8));
        ASSERT_EQ(trazor().Buffer().GetCellLow(i), expected & 0xFF) << i;
        ASSERT_EQ(trazor().Buffer().GetCellHigh(i), expected >> 8) << i;
    }
    EXPECT_TRUE(window->Info().contains(QStringLiteral("33554432 Werte")))
        << window->Info().toStdString();
    EXPECT_TRUE(window->State().UnsavedRecording);
}

TEST_F(SigrokSourceTest, ThePanelsShowTheDeviceWhenItsInputIsProgrammedAndAfter) {
    // The parallel port's registers are in the panels from the start's "Prüfen".
    trigger("Prfen1");
    UseDemo(1'000'000);
    EXPECT_EQ(panel(0), QStringLiteral(" Port sigrok"));
    EXPECT_EQ(panel(2), QStringLiteral(" Status ON"));
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Port aktiviert"));
    EXPECT_TRUE(window->Info().contains(QStringLiteral("Demo, 1 MHz")))
        << window->Info().toStdString();
    trigger("Ausgabeprogrammieren1");
    EXPECT_EQ(panel(0), QStringLiteral(" Port sigrok"));
    EXPECT_EQ(panel(1), QStringLiteral(" Steuer $xx"));
    EXPECT_EQ(panel(2), QStringLiteral(" Status OFF"));
    EXPECT_EQ(panel(3), QStringLiteral(" Daten $xx"));
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: sigrok-Gerät deaktiviert."));
}

TEST_F(SigrokSourceTest, RecordLengthsAreSecondsAtTheRateUpTo64MiCells) {
    struct Case {
        std::uint64_t rateHz;
        const char* item;
        int cells;
    } const cases[] = {
        {1'000, "MenuRecord_10_Sek", 10'240},          // ten seconds in whole 256-cell blocks
        {1'000'000, "MenuRecord_5_Sek", 5'000'192},     // five seconds, rounded up
        {1'000'000, "MenuRecord_10_Sek", 10'000'128},
        {24'000'000, "MenuRecord_5_Sek", 32 * 1024 * 1024}, // capped: 1.4 s
        {24'000'000, "MenuRecord_10_Sek", 64 * 1024 * 1024}, // capped: 2.8 s, 128 MiB
    };
    for (const Case& c : cases) {
        UseDemo(c.rateHz);
        trigger(c.item);
        EXPECT_EQ(trazor().Option().CellsSize(), c.cells) << c.rateHz << " " << c.item;
    }
    // Back to the parallel port: its own length again.
    trigger("Ausgabeprogrammieren1");
    trigger("PortAuswahl1");
    trigger("Eingabeprogrammieren1");
    trigger("MenuRecord_10_Sek");
    EXPECT_EQ(trazor().Option().CellsSize(), 0x100000);
}

TEST_F(SigrokSourceTest, ARefusedRateEndsWithAMessage) {
    UseDemo(5'000'000'000);
    record();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("nimmt die Abtastrate 5 GHz nicht an")))
        << lastMessage().toStdString();
    EXPECT_TRUE(window->Info().contains(QStringLiteral("0 Werte"))) << window->Info().toStdString();
}

// A device keeps its own clock: its recording runs on from the window's event
// loop. One second of the demo at 1 MHz, set up as a count of samples.
class SigrokRecordingTest : public SigrokSourceTest {
  protected:
    void SetUp() override {
        SigrokSourceTest::SetUp();
        UseDemo(1'000'000);
        CaptureSetup setup;
        setup.length = CaptureSetup::Length::Samples;
        setup.samples = kCells;
        window->Sigrok().TakeSetup(setup);
    }
    // Starts the recording and waits until it has stored `cells`.
    void recordUntil(int cells) {
        trigger("MenuRecord_Signal");
        ASSERT_TRUE(window->Recording().Running());
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->State().SampleIndex >= cells; }, 60'000));
    }
    static void expectPattern(const TTrazor& t, int from, int to) {
        for (int i = from; i < to; i += 997) {
            const auto expected = std::uint16_t(((2 * i) & 0xFF) | (((2 * i + 1) & 0xFF) << 8));
            ASSERT_EQ(t.Buffer().GetCellLow(i), expected & 0xFF) << i;
            ASSERT_EQ(t.Buffer().GetCellHigh(i), expected >> 8) << i;
        }
    }
    static constexpr int kCells = 1'000'192; // whole blocks
};

TEST_F(SigrokRecordingTest, TheWindowGoesOnWhileTheDeviceRecords) {
    QSignalSpy ended(&window->Recording(), &RecordingCommands::Ended);
    bool timerFired = false;
    QTimer::singleShot(0, [&] { timerFired = true; });
    recordUntil(100'000);
    EXPECT_TRUE(timerFired) << "the event loop ran";
    EXPECT_TRUE(window->Recording().Running());
    EXPECT_GT(window->Ui().ProgressBar1->value(), 0);
    EXPECT_FALSE(action("MenuRecord_Signal")->isEnabled());
    EXPECT_FALSE(action("ffnen1")->isEnabled()) << "nothing may replace the buffer meanwhile";
    EXPECT_TRUE(window->Ui().ButtonStop_Scan->isEnabled());
    // Another start is refused while this one runs.
    EXPECT_FALSE(window->Recording().RecordSignal());

    ASSERT_TRUE(ended.wait(60'000));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(window->Recording().Running());
    EXPECT_EQ(window->State().SampleIndex, kCells);
    expectPattern(trazor(), 0, kCells);
    EXPECT_TRUE(window->Info().startsWith(QStringLiteral("1000192 Werte")))
        << window->Info().toStdString();
    EXPECT_TRUE(action("MenuRecord_Signal")->isEnabled());
    EXPECT_TRUE(action("ffnen1")->isEnabled());
    EXPECT_EQ(window->Ui().ProgressBar1->value(), 0);
    EXPECT_TRUE(window->State().UnsavedRecording);
    EXPECT_EQ(desktop.beeps(), 1);
}

TEST_F(SigrokRecordingTest, AStopKeepsTheSamplesTaken) {
    recordUntil(50'000);
    window->Ui().ButtonStop_Scan->click();
    waitForRecording();
    const int taken = window->State().SampleIndex;
    EXPECT_GE(taken, 50'000);
    EXPECT_LT(taken, kCells);
    EXPECT_TRUE(window->Info().startsWith(QStringLiteral("Abgebrochen: ") +
                                          QString::number(taken) + QStringLiteral(" Werte")))
        << window->Info().toStdString();
    expectPattern(trazor(), 0, taken);
    for (int i = taken; i < kCells; i += 4099)
        ASSERT_EQ(trazor().Buffer().GetCellLow(i) | trazor().Buffer().GetCellHigh(i), 0) << i;
    EXPECT_TRUE(window->State().UnsavedRecording);
    EXPECT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
}

TEST_F(SigrokRecordingTest, QuittingEndsTheRecordingFirst) {
    window->show();
    recordUntil(50'000);
    window->close();
    EXPECT_TRUE(window->isVisible()) << "the window waits for the end of the recording";
    waitForRecording();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 10'000));
    EXPECT_LT(window->State().SampleIndex, kCells);
}

TEST_F(SigrokRecordingTest, AWindowThatGoesMidRunEndsTheDevicesRun) {
    recordUntil(50'000);
    window.reset(); // must neither hang nor touch what went
    SUCCEED();
}

TEST_F(SigrokSourceTest, TheDisplayCountsInTheDevicesPeriod) {
    struct Case {
        std::uint64_t rateHz;
        const char* markerTime; // 40 cells
        const char* unit;
    };
    const Case cases[] = {
        {1'000'000, "40 µs", "µs"},
        {3'000'000, "13320 ns", "ns"},
        {24'000'000, "1666680 ps", "ps"},
        {1'000'000'000, "40 ns", "ns"},
    };
    for (const Case& c : cases) {
        UseDemo(c.rateHz);
        EXPECT_EQ(trazor().Option().TimeUnit(), QString::fromUtf8(c.unit)) << c.rateHz;
        EXPECT_EQ(trazor().Option().TimeScale(), trazor().Option().Timefactor())
            << "the axis counts in the same steps as the legend";
        trazor().Option().SetCellsSize(4096);
        record();
        ASSERT_EQ(trazor().GetTimeBase().period, sampling::SamplePeriod::FromRateHz(c.rateHz));

        trazor().StoreMarkerPoint(1, 100);
        trazor().StoreMarkerPoint(1, 120);
        trazor().StoreMarkerPoint(1, 140);
        desktop.clear();
        trazor().ShowTimeMeasurement(1, 1);
        const QString text = lastMessage();
        EXPECT_TRUE(
            text.startsWith(QStringLiteral("Gesamtzeit ---> ") + QString::fromUtf8(c.markerTime)))
            << c.rateHz << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("Tatsächlich")))
            << "the unit already is the device's period: " << text.toStdString();
        trazor().ResetMarker(1);
    }
}

TEST_F(SigrokSourceTest, AnotherSourceCountsInItsOwnUnitAgain) {
    struct Case {
        const char* item;
        const char* unit;
        int scale;
    };
    for (const Case& c : {Case{"PortAuswahl1", "µs", 10}, Case{"PortAuswahl5", "ms", 1}}) {
        UseDemo(24'000'000);
        ASSERT_EQ(trazor().Option().TimeUnit(), QStringLiteral("ps"));
        trigger(c.item);
        EXPECT_FALSE(action("PortAuswahlSigrok")->isChecked()) << c.item;
        EXPECT_EQ(trazor().Option().TimeUnit(), QString::fromUtf8(c.unit)) << c.item;
        EXPECT_EQ(trazor().Option().TimeScale(), c.scale) << c.item;
        EXPECT_EQ(trazor().Option().Timefactor(), 10) << c.item;
    }
}

TEST_F(SigrokSourceTest, AUnitChosenByHandCountsInTensAgain) {
    for (const char* item : {"EinheitMikroSek1", "EinheitMilliSek1", "EinheitSek1", "N1ms1"}) {
        UseDemo(24'000'000);
        ASSERT_EQ(trazor().Option().Timefactor(), 41667);
        trigger(item);
        EXPECT_EQ(trazor().Option().Timefactor(), 10) << item;
    }
}

// Live mode on the demo device: every tick is a short acquisition of its own,
// so the incremental pattern starts afresh at sample 0 in each.
class SigrokLiveTest : public SigrokSourceTest {
  protected:
    LiveCommands& live() { return window->Live(); }
    void fill(std::uint8_t value) {
        for (int i = 0; i < 200; ++i) {
            trazor().SetCellLow(i, value);
            trazor().SetCellHigh(i, value);
        }
    }
    // Cell c holds pattern sample `first + c` for the burst's 80 cells.
    void expectBurstFrom(int first) {
        for (int c = 0; c < 80; ++c) {
            const int i = first + c;
            ASSERT_EQ(trazor().GetCellLow(c), (2 * i) & 0xFF) << c;
            ASSERT_EQ(trazor().GetCellHigh(c), (2 * i + 1) & 0xFF) << c;
        }
        EXPECT_EQ(trazor().GetCellLow(80), 0xEE) << "the cells after the burst stay";
    }
    // A tick, until its acquisition has ended and its burst shows.
    void tick() {
        live().SimultanTimer1Timer();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !live().TickRunning(); }, 60'000));
    }
    // Starts a tick and stops it with `stop` while its acquisition runs: at
    // 1 Hz it would last minutes, so the test ends only because the stop
    // reaches the device.
    void stopTickWith(const std::function<void()>& stop) {
        QSignalSpy ended(&live(), &LiveCommands::TickEnded);
        live().SimultanTimer1Timer();
        ASSERT_TRUE(live().TickRunning()) << "the tick runs on from the event loop";
        QTest::qWait(50);
        stop();
        ASSERT_TRUE(ended.wait(60'000));
        EXPECT_FALSE(live().TickRunning());
    }
};

TEST_F(SigrokLiveTest, EachTickShowsAFreshBurstFromTheDevice) {
    UseDemo(1'000'000);
    trigger("MenuPlay_Scan");
    ASSERT_EQ(window->State().LiveRunning, 1);
    for (int round = 0; round < 3; ++round) {
        fill(0xEE);
        tick();
        expectBurstFrom(0);
        EXPECT_TRUE(window->Ui().SimultanTimer1->isActive());
    }
    EXPECT_EQ(trazor().GetTimeBase(),
              sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000)));
    EXPECT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
}

TEST_F(SigrokLiveTest, TheTriggerStartsTheBurstAtTheFirstMatchingSample) {
    struct Case {
        const char* what;
        std::uint8_t kind;
        std::uint8_t mask;
        std::uint8_t byte;
        int first; // -1: nothing shown
    };
    const Case cases[] = {
        {"byte 0x40", 3, 0, 0x40, 32},
        {"the next tick finds the byte again", 3, 0, 0x40, 32},
        {"bit 7 of the low or high byte", 0, 0x80, 0, 64},
        {"an odd byte never comes", 3, 0, 0x41, -1},
    };
    UseDemo(1'000'000);
    trigger("Synchronisieren1");
    EXPECT_EQ(window->State().BitTriggerArmed, 1);
    live().Hauptsimultan();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TriggerSettings& t = window->State().Trigger;
        t.SyncKind = c.kind;
        t.SyncBitMask = c.mask;
        t.SyncByte = c.byte;
        window->State().SyncMissCount = 0;
        fill(0xEE);
        tick();
        if (c.first >= 0) {
            expectBurstFrom(c.first);
        } else {
            EXPECT_EQ(trazor().GetCellLow(0), 0xEE);
            EXPECT_EQ(window->State().SyncMissCount, 1);
        }
        EXPECT_TRUE(window->Ui().SimultanTimer1->isActive());
    }

    // After 80 ticks without the byte the newest samples show, with a beep.
    window->State().SyncMissCount = 79;
    fill(0xEE);
    tick();
    EXPECT_NE(trazor().GetCellLow(0), 0xEE);
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(window->State().SyncMissCount, 0);
}

TEST_F(SigrokLiveTest, StopDuringATickEndsTheAcquisition) {
    UseDemo(1);
    trigger("Synchronisieren1");
    live().Hauptsimultan();
    stopTickWith([&] { live().Hauptsimultanstop(); });
    EXPECT_EQ(window->State().LiveRunning, 0);
    EXPECT_EQ(window->State().StopRequested, 0);
    EXPECT_FALSE(window->Ui().SimultanTimer1->isActive());
    const auto& cells = trazor().Stream();
    EXPECT_EQ(std::count(cells.begin(), cells.end(), 0), std::ptrdiff_t(cells.size()));
    EXPECT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
}

TEST_F(SigrokLiveTest, ClosingTheWindowDuringATickEndsTheAcquisition) {
    UseDemo(1);
    live().Hauptsimultan();
    stopTickWith([&] { window->close(); });
    EXPECT_FALSE(window->Ui().SimultanTimer1->isActive());
    EXPECT_EQ(window->State().StopRequested, 0);
}

TEST_F(SigrokLiveTest, AWindowThatGoesDuringATickEndsItsAcquisition) {
    UseDemo(1);
    live().Hauptsimultan();
    live().SimultanTimer1Timer();
    ASSERT_TRUE(live().TickRunning());
    window.reset();
    SUCCEED();
}

TEST_F(SigrokLiveTest, ADeviceErrorEndsLiveModeWithAMessage) {
    UseDemo(5'000'000'000);
    live().Hauptsimultan();
    tick();
    EXPECT_EQ(window->State().LiveRunning, 0);
    EXPECT_FALSE(window->Ui().SimultanTimer1->isActive());
    EXPECT_TRUE(action("MenuPlay_Scan")->isEnabled());
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("Der Simultanbetrieb ist beendet")))
        << lastMessage().toStdString();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("5 GHz"))) << lastMessage().toStdString();
}
