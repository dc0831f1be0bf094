#include "MainWindowFixture.h"
#include "app/RecordingCommands.h"
#include "hardware/SimulatedPattern.h"

#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

class RecordingTest : public MainWindowTest {
  protected:
    // Programs the chosen parallel-port source for input.
    void programInput(const char* source = "PortAuswahl1") {
        trigger(source);
        trigger("Eingabeprogrammieren1");
        desktop.clear();
    }
    void fillBuffer(std::uint8_t value) {
        for (int i = 0; i < trazor().Option().CellsSize(); ++i) {
            trazor().SetCellLow(i, value);
            trazor().SetCellHigh(i, value);
        }
    }
};

TEST_F(RecordingTest, FiveSecondRecordingRewritesEveryCellWithThePortSamples) {
    programInput();
    trigger("MenuRecord_5_Sek");
    ASSERT_EQ(trazor().Option().CellsSize(), 524288);
    fillBuffer(0xEE);
    int progressMax = 0;
    QString statusDuring;
    desktop.onPump = [&] {
        progressMax = window->Ui().ProgressBar1->maximum();
        if (window->Recording().Running()) statusDuring = panel(4);
    };
    const std::uint64_t first = port->inner.NextSample(0x378);

    window->Ui().ButtonRecord_Signal->click();

    EXPECT_EQ(progressMax, 524288);
    EXPECT_EQ(window->State().SampleIndex, 524288);
    int wrong = 0;
    for (int i = 0; i < 524288 && wrong < 5; ++i) {
        const std::uint64_t n = first + std::uint64_t(i);
        if (trazor().GetCellLow(i) != SimulatedPattern::Data(n) ||
            trazor().GetCellHigh(i) != (SimulatedPattern::Status(n) >> 4)) {
            ADD_FAILURE() << "cell " << i;
            ++wrong;
        }
    }
    // Lines D12..D15 never carry a signal from the parallel port.
    for (int i = 0; i < 524288; i += 997)
        EXPECT_EQ(trazor().GetCellHigh(i) & 0xF0, 0) << i;
    EXPECT_EQ(desktop.totalSleepMs(), 500);
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(statusDuring, QStringLiteral(" Digi-Status: 5 Sek. Aufzeichnung"));
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: 5 Sek. Aufzeichnung"))
        << "the start's message stays in place";
    EXPECT_EQ(window->Info(), QStringLiteral("524288 Werte in 5,24 s, 10,00 µs je Wert"));
    EXPECT_EQ(window->Ui().ProgressBar1->value(), 0);
}

TEST_F(RecordingTest, StatusA5IsStoredAs0AInTheHighPlane) {
    // Sample 1010 of the simulated port has status bits 4..7 = 1010b.
    programInput();
    trigger("MenuRecord_5_Sek");
    const std::uint64_t first = port->inner.NextSample(0x378);
    ASSERT_LE(first, 1010u);
    trigger("MenuRecord_Signal");
    EXPECT_EQ(SimulatedPattern::Status(1010) & 0xF0, 0xA0);
    EXPECT_EQ(trazor().GetCellHigh(int(1010 - first)), 0x0A);
}

TEST_F(RecordingTest, CommandsAreSwitchedOffDuringTheRunAndBackOnAfterIt) {
    programInput();
    trigger("MenuRecord_5_Sek");
    // Usable during the run: the menus that hold the way out, quitting, the
    // printer set-up and the stop button. Everything that loads, clears,
    // resizes or replaces the buffer is off.
    const char* const onDuring[] = {"Datei1", "MNMenuAufzeichnen", "MenuStop_Scan", "E1",
                                    "Druckeneinrichten1"};
    const char* const offDuring[] = {"MNMenuAnsicht",     "MNMenuPort",
                                     "MenuPlay_Scan",     "Abtastrate1",
                                     "MenuRecord_5_Sek",  "MenuRecord_10_Sek",
                                     "MenuRecord_Signal", "MenuRecord_SignalClear",
                                     "NeueAufzeichnung1", "ffnen1",
                                     "Speichern1",        "Speichernunter1",
                                     "Schliessen1",       "Drucken1"};
    bool seen = false;
    desktop.onPump = [&] {
        if (seen || window->State().SampleIndex < 1000) return;
        seen = true;
        for (const char* name : onDuring)
            EXPECT_TRUE(action(name)->isEnabled()) << name;
        for (const char* name : offDuring)
            EXPECT_FALSE(action(name)->isEnabled()) << name;
        EXPECT_TRUE(window->Ui().ButtonStop_Scan->isEnabled());
        EXPECT_FALSE(window->Ui().ButtonRecord_Signal->isEnabled());
        EXPECT_FALSE(window->Ui().ButtonScaleTimeUp->isEnabled());
        // A length item reached anyway (a shortcut, a stale menu) changes nothing.
        trigger("MenuRecord_10_Sek");
    };
    trigger("MenuRecord_Signal");
    ASSERT_TRUE(seen);
    EXPECT_EQ(window->State().SampleIndex, 524288);
    EXPECT_EQ(trazor().Option().CellsSize(), 524288);

    for (const char* name : offDuring)
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    for (const char* name : {"bits1", "Nibbel1", "Byte1", "Word1"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_FALSE(action("MenuPlay_Scan")->isChecked());
    EXPECT_TRUE(window->Ui().ButtonRecord_Signal->isEnabled());
}

TEST_F(RecordingTest, SimultanstopDuringARecordingEndsItAndKeepsItsSamples) {
    programInput();
    trigger("MenuRecord_5_Sek");
    const std::uint64_t first = port->inner.NextSample(0x378);
    bool stopped = false;
    desktop.onPump = [&] {
        if (stopped || window->State().SampleIndex < 5000) return;
        stopped = true;
        trigger("MenuStop_Scan");
        EXPECT_TRUE(window->Recording().Running()) << "the loop ends at its next sample";
        EXPECT_FALSE(action("MNMenuAnsicht")->isEnabled()) << "no menu is switched on under it";
    };
    trigger("MenuRecord_Signal");
    ASSERT_TRUE(stopped);
    const int taken = window->State().SampleIndex;
    EXPECT_GE(taken, 5000);
    EXPECT_LT(taken, 524288);
    EXPECT_EQ(trazor().GetCellLow(taken - 1), SimulatedPattern::Data(first + taken - 1))
        << "the samples taken are kept";
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: 5 Sek. Aufzeichnung"));
    EXPECT_TRUE(window->Info().startsWith(QStringLiteral("Abgebrochen: ")));
    EXPECT_TRUE(window->HasUnsavedRecording());
}

TEST_F(RecordingTest, RecordLengthCommandsKeepOrEmptyTheBuffer) {
    trazor().SetCellLow(5, 0x55);
    trigger("MenuRecord_10_Sek");
    EXPECT_EQ(trazor().GetCellLow(5), 0x55) << "the same length keeps the data";
    EXPECT_TRUE(action("MenuRecord_10_Sek")->isChecked());
    trigger("MenuRecord_5_Sek");
    EXPECT_EQ(trazor().Option().CellsSize(), 524288);
    EXPECT_EQ(trazor().GetCellLow(5), 0);
    EXPECT_TRUE(action("MenuRecord_5_Sek")->isChecked());
    EXPECT_FALSE(action("MenuRecord_10_Sek")->isChecked());
}

TEST_F(RecordingTest, ClearingZeroesTheCellsAndKeepsSizeAndPosition) {
    trazor().SetCellLow(7, 0xFF);
    trazor().SetCellHigh(7, 0x0F);
    trazor().Option().SetCellsPos(300);
    trigger("MenuRecord_SignalClear");
    EXPECT_EQ(trazor().GetCellLow(7), 0);
    EXPECT_EQ(trazor().GetCellHigh(7), 0);
    EXPECT_EQ(trazor().Option().CellsSize(), 0x100000);
    EXPECT_EQ(trazor().Option().CellsPos(), 300);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Daten sind jetzt gelöscht!"));
    EXPECT_EQ(desktop.totalSleepMs(), 1000);
    EXPECT_EQ(desktop.beeps(), 1);
}

TEST_F(RecordingTest, SamplePeriodItemsSetTimerUnitScaleAndMissCount) {
    struct Case {
        const char* item;
        int missCount; // -1: unchanged
        int interval;
        const char* unit; // nullptr: unchanged
        int scale;
    } cases[] = {
        {"N1ms1", 100, 10, "1 ms", 1},     {"N10ms1", 50, 10, "10 ms", 10},
        {"N20ms1", 50, 20, "ms", 10},      {"N100ms1", 25, 100, "100 ms", 100},
        {"N05s1", 12, 500, "500 ms", 500}, {"N10sek1", 7, 1000, " s", 1},
        {"N50sek1", -1, 5000, " s", 1},    {"N10sek2", -1, 10000, " s", 1},
        {"CPU769s1", -1, 1, nullptr, 0},
    };
    for (const auto& c : cases) {
        window->State().SyncMissCount = 3;
        const QString unitBefore = trazor().Option().TimeUnit();
        const int scaleBefore = trazor().Option().TimeScale();
        trigger(c.item);
        EXPECT_EQ(window->State().SyncMissCount, c.missCount < 0 ? 3 : c.missCount) << c.item;
        EXPECT_EQ(window->Ui().SimultanTimer1->interval(), c.interval) << c.item;
        EXPECT_EQ(trazor().Option().TimeUnit(), c.unit ? QString::fromUtf8(c.unit) : unitBefore)
            << c.item;
        EXPECT_EQ(trazor().Option().TimeScale(), c.unit ? c.scale : scaleBefore) << c.item;
        for (const char* other : {"CPU769s1", "N1ms1", "N10ms1", "N20ms1", "N100ms1", "N05s1",
                                  "N10sek1", "N50sek1", "N10sek2"})
            EXPECT_EQ(action(other)->isChecked(), qstrcmp(other, c.item) == 0)
                << c.item << " " << other;
    }
}
