#include "MainWindowFixture.h"
#include "app/LiveCommands.h"
#include "hardware/SimulatedPattern.h"

#include <QTimer>
#include <QToolButton>
#include <algorithm>

class LiveTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        trigger("Eingabeprogrammieren1");
        desktop.clear();
    }
    LiveCommands& live() { return window->Live(); }
    QTimer* timer() { return window->Ui().SimultanTimer1; }
    void fill(std::uint8_t value) {
        for (int i = 0; i < 200; ++i)
            trazor().SetCellLow(i, value);
    }
    bool refreshedLastTick() {
        return trazor().GetCellLow(0) != 0xEE || trazor().GetCellLow(79) != 0xEE;
    }
};

TEST_F(LiveTest, StartTwiceDoesNothingMore) {
    trazor().Option().SetTimeStep(20);
    live().Hauptsimultan();
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(window->State().SavedTimeStep, 20);
    EXPECT_EQ(trazor().Option().TimeStep(), 9);
    live().Hauptsimultan();
    EXPECT_EQ(window->State().SavedTimeStep, 20) << "a second start must not save the live values";
    EXPECT_EQ(window->State().LiveRunning, 1);
    EXPECT_TRUE(action("MenuPlay_Scan")->isChecked());
    EXPECT_TRUE(window->Ui().ButtonStop_Scan->isEnabled());
    EXPECT_FALSE(window->Ui().ButtonPlay_Scan->isEnabled());
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Trazor im Simultanbetrieb"));
}

TEST_F(LiveTest, PlainPortStartWritesControl2FAndDataFF) {
    port->log.clear();
    live().Hauptsimultan();
    const QStringList writes = port->Writes();
    ASSERT_GE(writes.size(), 2);
    EXPECT_EQ(writes[0], QStringLiteral("W 37A 2F"));
    EXPECT_EQ(writes[1], QStringLiteral("W 378 FF"));
}

TEST_F(LiveTest, ATickRefreshesCells0To79AndLeavesTheRest) {
    live().Hauptsimultan();
    fill(0xEE);
    const std::uint64_t first = port->inner.NextSample(0x378);
    const std::int64_t before = clock.now;
    live().SimultanTimer1Timer();
    for (int i = 0; i < 80; ++i)
        EXPECT_EQ(trazor().GetCellLow(i), SimulatedPattern::Data(first + std::uint64_t(i))) << i;
    EXPECT_EQ(trazor().GetCellLow(80), 0xEE);
    EXPECT_EQ(trazor().GetCellLow(199), 0xEE);
    EXPECT_TRUE(timer()->isActive());
    // The burst keeps the port's 10 us pace, and the buffer says so.
    EXPECT_GE(clock.now - before, 79 * 10'000);
    EXPECT_EQ(trazor().GetTimeBase().origin, sampling::TimingOrigin::Paced);
    EXPECT_EQ(trazor().GetTimeBase().period.Picoseconds(), 10'000'000);
}

TEST_F(LiveTest, StopClearsTheBufferAndRestoresTheDisplay) {
    trazor().Option().SetCopyMode(5);
    trazor().Option().SetTimeStep(30);
    live().Hauptsimultan();
    EXPECT_EQ(trazor().Option().CopyMode(), 0);
    live().SimultanTimer1Timer();
    live().Hauptsimultanstop();
    EXPECT_FALSE(timer()->isActive());
    EXPECT_EQ(trazor().GetCellLow(3), 0);
    EXPECT_EQ(trazor().Option().CopyMode(), 5);
    EXPECT_EQ(trazor().Option().TimeStep(), 30);
    EXPECT_EQ(window->State().LiveRunning, 0);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Simultanbetrieb gestoppt"));
    EXPECT_TRUE(window->Ui().ButtonPlay_Scan->isEnabled());
    EXPECT_FALSE(action("MenuPlay_Scan")->isChecked());
}

TEST_F(LiveTest, BitTriggerOnBit4RefreshesWhenDataBit3OrD11IsSet) {
    window->State().Trigger.SyncKind = 0;
    window->State().Trigger.SyncBitMask = 0x08;
    trigger("Synchronisieren1");
    EXPECT_EQ(window->State().BitTriggerArmed, 1);
    live().Hauptsimultan();
    int refreshes = 0, expected = 0;
    for (int tick = 0; tick < 60; ++tick) {
        fill(0xEE);
        const std::uint64_t n = port->inner.NextSample(0x378);
        const bool fires =
            (SimulatedPattern::Data(n) & 0x08) || ((SimulatedPattern::Status(n) >> 4) & 0x08);
        live().SimultanTimer1Timer();
        const bool refreshed = refreshedLastTick();
        EXPECT_EQ(refreshed, fires) << "tick " << tick;
        refreshes += refreshed;
        expected += fires;
    }
    EXPECT_GT(expected, 0);
    EXPECT_LT(expected, 60);
}

TEST_F(LiveTest, ByteTriggerMatchesAtOnceAndTimesOutAfter80Misses) {
    auto& trig = window->State().Trigger;
    trig.SyncKind = 3;
    trigger("Synchronisieren1");
    live().Hauptsimultan();

    trig.SyncByte = SimulatedPattern::Data(port->inner.NextSample(0x378));
    fill(0xEE);
    live().SimultanTimer1Timer();
    EXPECT_TRUE(refreshedLastTick());

    trig.SyncByte = 0xFF;
    window->State().SyncMissCount = 0;
    int refreshes = 0;
    for (int tick = 1; tick <= 80; ++tick) {
        fill(0xEE);
        const std::uint64_t n = port->inner.NextSample(0x378);
        ASSERT_NE(SimulatedPattern::Data(n), 0xFF);
        live().SimultanTimer1Timer();
        if (refreshedLastTick()) {
            ++refreshes;
            EXPECT_EQ(tick, 80);
        }
    }
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(window->State().SyncMissCount, 0);
}

TEST_F(LiveTest, MissCountPresetAbove80TimesOutAtTheNextMiss) {
    auto& trig = window->State().Trigger;
    trig.SyncKind = 3;
    trig.SyncByte = 0xFF;
    trigger("N1ms1"); // presets the counter to 100
    trigger("Synchronisieren1");
    live().Hauptsimultan();
    fill(0xEE);
    live().SimultanTimer1Timer();
    EXPECT_TRUE(refreshedLastTick());
    EXPECT_EQ(desktop.beeps(), 1);
}

TEST_F(LiveTest, StopDuringARefreshingTickLeavesTheTimerOffAndTheNextStartTicks) {
    live().Hauptsimultan();
    bool stopped = false;
    desktop.onPump = [&] {
        if (!stopped && live().TickRunning()) {
            stopped = true;
            live().Hauptsimultanstop();
        }
    };
    live().SimultanTimer1Timer();
    desktop.onPump = nullptr;
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(timer()->isActive());
    EXPECT_EQ(window->State().LiveRunning, 0);
    EXPECT_EQ(window->State().StopRequested, 0);

    live().Hauptsimultan();
    fill(0xEE);
    live().SimultanTimer1Timer();
    EXPECT_TRUE(refreshedLastTick()) << "the first tick after a new start must run";
}

TEST_F(LiveTest, AfterAStopDuringARefreshingTickTheBufferIsAllZero) {
    // The port's burst pumps only after it; the board's 10 ms samples pump
    // inside it, so a stop lands between two of its samples.
    struct Case {
        const char* source;
        int stopAtPump;
    };
    for (const Case c :
         {Case{"PortAuswahl1", 1}, Case{"PortAuswahl5", 3}, Case{"PortAuswahl5", 40}}) {
        SCOPED_TRACE(std::string(c.source) + " pump " + std::to_string(c.stopAtPump));
        TearDown();
        MainWindowTest::SetUp();
        trigger(c.source);
        trigger("Eingabeprogrammieren1");
        trazor().Option().SetCellsSize(4096);
        live().Hauptsimultan();
        int pumps = 0;
        desktop.onPump = [&] {
            if (live().TickRunning() && ++pumps == c.stopAtPump) live().Hauptsimultanstop();
        };
        live().SimultanTimer1Timer();
        desktop.onPump = nullptr;
        ASSERT_GE(pumps, c.stopAtPump);
        EXPECT_EQ(window->State().LiveRunning, 0);
        const auto& cells = trazor().Stream();
        EXPECT_EQ(std::count(cells.begin(), cells.end(), 0), std::ptrdiff_t(cells.size()))
            << "no sample of the burst is left after the stop";
        EXPECT_FALSE(timer()->isActive());
    }
}

TEST_F(LiveTest, StopBetweenTicksDoesNotSwallowTheNextStartsFirstTick) {
    live().Hauptsimultan();
    live().Hauptsimultanstop();
    live().Hauptsimultan();
    fill(0xEE);
    live().SimultanTimer1Timer();
    EXPECT_TRUE(refreshedLastTick());
}

TEST_F(LiveTest, StopWhileSynchronisedSwitchesSynchronisationOff) {
    trigger("Synchronisieren1");
    live().Hauptsimultan();
    live().Hauptsimultanstop();
    EXPECT_FALSE(action("Synchronisieren1")->isChecked());
    EXPECT_EQ(window->State().SyncActive, 0);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Synchronisieren aus"));
}

TEST_F(LiveTest, PrinterSignalModeSetsPinsDuringLiveAndInitAfterStop) {
    trigger("Ausgabeprogrammieren1");
    trigger("PortAuswahl3");
    trigger("Eingabeprogrammieren1");
    live().Hauptsimultan();
    EXPECT_EQ(port->inner.Control(0x378) & 0x03, 0x03);
    live().Hauptsimultanstop();
    EXPECT_EQ(port->inner.Control(0x378) & 0x07, 0x04);
}
