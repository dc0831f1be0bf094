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
    EXPECT_EQ(panel(4),
              QStringLiteral(" Digi-Status: 524288 Samples in 5,24 s, 10,00 µs je Sample"));
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
    struct Seen {
        bool done = false;
        bool ansicht, datei, aufzeichnen, play, rate, record5, recordButton, zoom, record;
    } during;
    desktop.onPump = [&] {
        if (during.done || window->State().SampleIndex < 1000) return;
        during = {true,
                  action("MNMenuAnsicht")->isEnabled(),
                  action("Datei1")->isEnabled(),
                  action("MNMenuAufzeichnen")->isEnabled(),
                  action("MenuPlay_Scan")->isEnabled(),
                  action("Abtastrate1")->isEnabled(),
                  action("MenuRecord_5_Sek")->isEnabled(),
                  window->Ui().ButtonRecord_Signal->isEnabled(),
                  window->Ui().ButtonScaleTimeUp->isEnabled(),
                  action("MenuRecord_Signal")->isEnabled()};
    };
    trigger("MenuRecord_Signal");
    ASSERT_TRUE(during.done);
    EXPECT_FALSE(during.ansicht);
    EXPECT_TRUE(during.datei);
    EXPECT_TRUE(during.aufzeichnen);
    EXPECT_FALSE(during.play);
    EXPECT_FALSE(during.rate);
    EXPECT_TRUE(during.record5);
    EXPECT_TRUE(during.record);
    EXPECT_FALSE(during.recordButton);
    EXPECT_FALSE(during.zoom);

    for (const char* name :
         {"MNMenuAnsicht", "MNMenuPort", "MenuPlay_Scan", "Abtastrate1", "bits1", "Nibbel1",
          "Byte1", "Word1", "Speichern1", "Speichernunter1", "Schliessen1", "Drucken1"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_FALSE(action("MenuPlay_Scan")->isChecked());
    EXPECT_TRUE(window->Ui().ButtonRecord_Signal->isEnabled());
}

TEST_F(RecordingTest, PrinterSignalModeSetsPinsDuringTheRunAndInitAfterIt) {
    programInput("PortAuswahl3");
    trigger("MenuRecord_5_Sek");
    int controlDuring = -1;
    desktop.onPump = [&] {
        if (controlDuring < 0 && window->State().SampleIndex >= 100)
            controlDuring = port->inner.Control(0x378);
    };
    const std::uint8_t before = port->inner.Control(0x378);
    trigger("MenuRecord_Signal");
    ASSERT_GE(controlDuring, 0);
    EXPECT_EQ(controlDuring & 0x03, 0x03);
    EXPECT_EQ(controlDuring & ~0x03, before & ~0x03);
    const std::uint8_t after = port->inner.Control(0x378);
    EXPECT_EQ(after & 0x07, 0x04);
    EXPECT_EQ(after & ~0x07, before & ~0x07);
}

TEST_F(RecordingTest, AdapterAloneRunsWithControl2F) {
    programInput("PortAuswahl3");
    trigger("ALFFEHINIDSL1");
    trigger("MenuRecord_5_Sek");
    int controlDuring = -1;
    desktop.onPump = [&] {
        if (controlDuring < 0 && window->State().SampleIndex >= 100)
            controlDuring = port->inner.Control(0x378);
    };
    trigger("MenuRecord_Signal");
    EXPECT_EQ(controlDuring, 0x2F);
    EXPECT_EQ(port->inner.Control(0x378), 0x2F);
}

TEST_F(RecordingTest, ALengthChangeFromAPumpedEventEndsTheLoopInsideTheBuffer) {
    programInput();
    bool switched = false;
    desktop.onPump = [&] {
        if (!switched && window->State().SampleIndex >= 600000) {
            switched = true;
            trigger("MenuRecord_5_Sek");
        }
    };
    trigger("MenuRecord_Signal");
    EXPECT_TRUE(switched);
    EXPECT_EQ(trazor().Option().CellsSize(), 524288);
    EXPECT_EQ(trazor().Stream().size(), 2u * 524288u);
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
