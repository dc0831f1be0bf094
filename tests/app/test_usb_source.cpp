#include "K8055Sim.h"
#include "MainWindowFixture.h"
#include "app/LiveCommands.h"

#include <QTimer>
#include <QToolButton>

// The main window on the simulated board library (loaded by the window's
// PortUSB1 from the build directory, the same library this test links).
class UsbSourceTest : public MainWindowTest {
  protected:
    void SetUp() override {
        k8055sim_Reset();
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        k8055sim_Reset();
    }
};

TEST_F(UsbSourceTest, ChoosingUsb1SetsFiveLinesMillisecondsAndTheLiveTimer) {
    trigger("PortAuswahl5");
    EXPECT_EQ(window->Ui().Portzustand->text(), QStringLiteral("USB1"));
    EXPECT_EQ(trazor().Option().Digits(), 5);
    EXPECT_EQ(trazor().Option().TimeUnit(), QStringLiteral("ms"));
    EXPECT_EQ(trazor().Option().TimeScale(), 1);
    EXPECT_EQ(window->Ui().SimultanTimer1->interval(), 10);
    EXPECT_TRUE(action("PortAuswahl5x")->isChecked());
    EXPECT_FALSE(action("PortAuswahl1")->isChecked());
    EXPECT_EQ(action("PortAuswahl5x")->property("imageIndex").toInt(), 54);
    EXPECT_EQ(action("PortAuswahl1")->property("imageIndex").toInt(), 51);

    trazor().Option().SetTimeUnit(QStringLiteral("µs"));
    trigger("PortAuswahl6");
    EXPECT_EQ(window->Ui().Portzustand->text(), QStringLiteral("USB2"));
    EXPECT_EQ(trazor().Option().TimeUnit(), QStringLiteral("µs")) << "only USB-1 changes the unit";
}

TEST_F(UsbSourceTest, InputOnUsb3OpensCardAddress2AndShowsTheBoardPanels) {
    k8055sim_SetBoardPresent(2, 1);
    k8055sim_SetLogging(1);
    port->log.clear();
    trigger("PortAuswahl7");
    trigger("Eingabeprogrammieren1");
    EXPECT_TRUE(k8055sim_IsOpen(2));
    EXPECT_TRUE(
        QString::fromLatin1(k8055sim_CallLog()).startsWith(QStringLiteral("OpenDevice(2)=2")));
    EXPECT_EQ(window->State().InputSource, 1);
    EXPECT_EQ(panel(0), QStringLiteral(" Port USB3"));
    EXPECT_EQ(panel(1), QStringLiteral(" Steuer $xx"));
    EXPECT_EQ(panel(2), QStringLiteral(" Status ON"));
    EXPECT_EQ(panel(3), QStringLiteral(" Daten $xx"));
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Port aktiviert"));
    EXPECT_TRUE(port->Writes().isEmpty()) << "a board source touches no parallel-port register";

    trigger("Ausgabeprogrammieren1");
    EXPECT_FALSE(k8055sim_IsOpen(2));
    EXPECT_EQ(panel(2), QStringLiteral(" Status OFF"));
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: USB-Port dekativiert."));
    for (const auto& m : desktop.messages())
        EXPECT_NE(m.caption, QStringLiteral("Information")) << "no port warning";
}

TEST_F(UsbSourceTest, AnAbsentBoardLeavesTheWindowUnprogrammed) {
    trigger("PortAuswahl8");
    trigger("Eingabeprogrammieren1");
    EXPECT_EQ(window->State().InputSource, 1) << "the choice is taken even when the board fails";
    EXPECT_EQ(window->State().InputProgrammed, 0);
    EXPECT_TRUE(action("Eingabeprogrammieren1")->isEnabled());
    EXPECT_FALSE(action("MNMenuAufzeichnen")->isEnabled());
    ASSERT_FALSE(desktop.messages().empty());
    EXPECT_TRUE(desktop.messages().back().text.startsWith(
        QStringLiteral("Could not start your USB card.")));
}

TEST_F(UsbSourceTest, BoardRecordingFillsTheLowPlaneAndLeavesTheHighPlaneZero) {
    trigger("PortAuswahl5");
    trigger("Eingabeprogrammieren1");
    ASSERT_EQ(window->State().InputProgrammed, 1);
    trigger("MenuRecord_5_Sek");
    EXPECT_EQ(trazor().Option().CellsSize(), 8192);
    k8055sim_SetInputs(0, 0x15);
    for (int i = 0; i < 8192; ++i)
        trazor().SetCellHigh(i, 0xFF);
    desktop.clear();
    port->log.clear();
    trigger("MenuRecord_Signal");
    int wrong = 0;
    for (int i = 0; i < 8192; ++i) {
        wrong += trazor().GetCellLow(i) != 0x15;
        wrong += trazor().GetCellHigh(i) != 0;
    }
    EXPECT_EQ(wrong, 0);
    // 500 ms to settle; the 10 ms between board reads are deadlines on the
    // sample clock, not desktop sleeps.
    EXPECT_EQ(desktop.totalSleepMs(), 500);
    EXPECT_GE(clock.now, 8191LL * 10'000'000);
    EXPECT_TRUE(port->Writes().isEmpty());

    trigger("MenuRecord_10_Sek");
    EXPECT_EQ(trazor().Option().CellsSize(), 16384);
}

TEST_F(UsbSourceTest, LiveBurstsKeepTheBoardsPaceAndAStopEndsOneEarly) {
    trigger("PortAuswahl5");
    trigger("Eingabeprogrammieren1");
    LiveCommands& live = window->Live();
    live.Hauptsimultan();
    std::int64_t before = clock.now;
    live.SimultanTimer1Timer();
    EXPECT_GE(clock.now - before, 79LL * 10'000'000) << "80 board samples, 10 ms apart";
    EXPECT_EQ(trazor().GetTimeBase().period.Picoseconds(), 10'000'000'000);

    int pumps = 0;
    desktop.onPump = [&] {
        if (++pumps == 5) live.Hauptsimultanstop();
    };
    before = clock.now;
    live.SimultanTimer1Timer();
    EXPECT_LT(clock.now - before, 10LL * 10'000'000) << "the stop ended the burst";
    EXPECT_FALSE(window->Ui().SimultanTimer1->isActive());
}

TEST_F(UsbSourceTest, ClosingAfterUsbInputShowsNoPortWarning) {
    trigger("PortAuswahl5");
    trigger("Eingabeprogrammieren1");
    desktop.clear();
    window->close();
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(UsbSourceTest, CheckRunsTheSelfTestOnlyWhileTheBoardIsProgrammed) {
    trigger("PortAuswahl5");
    trigger("Prfen1");
    EXPECT_FALSE(panel(4).contains(QStringLiteral("Test der USB")));

    trigger("Eingabeprogrammieren1");
    desktop.clear();
    trigger("Prfen1");
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Test der USB - Karte wurde abgeschlossen."));
    EXPECT_GT(desktop.totalSleepMs(), 0) << "the self-test pauses between its steps";
}

TEST_F(UsbSourceTest, PinItemsKeepTheirMarksWithTheBoard) {
    k8055sim_SetBoardPresent(0, 1);
    trigger("PortAuswahl5");
    trigger("Eingabeprogrammieren1");
    port->log.clear();
    for (const char* pin : {"STR2", "ALF1", "INI1"}) {
        const bool before = action(pin)->isChecked();
        trigger(pin);
        EXPECT_EQ(action(pin)->isChecked(), before) << pin << ": no pin moved";
    }
    EXPECT_TRUE(port->Writes().isEmpty());
}
