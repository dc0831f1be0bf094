#include "K8055Sim.h"
#include "MainWindowFixture.h"
#include "app/RecordingCommands.h"
#include "hardware/SimulatedPattern.h"
#include "sampling/TimeFormat.h"

#include <QApplication>
#include <QProcess>
#include <QProgressBar>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <chrono>

using sampling::TimingOrigin;

// Timed recordings on a fake clock: the pacing, the measured timing in the
// status panel, stopping early, closing during a recording.
class PacedRecordingTest : public MainWindowTest {
  protected:
    void SetUp() override {
        k8055sim_Reset();
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        k8055sim_Reset();
    }
    void programInput(const char* source = "PortAuswahl1") {
        trigger(source);
        trigger("Eingabeprogrammieren1");
        desktop.clear();
    }
    const sampling::TimeBase& timeBase() const { return trazor().GetTimeBase(); }
};

TEST_F(PacedRecordingTest, APortRecordingKeepsTenMicrosecondsAndSaysSo) {
    programInput();
    trigger("MenuRecord_5_Sek");
    const std::int64_t before = clock.now;
    trigger("MenuRecord_Signal");
    // 524,288 deadlines 10 us apart on the fake clock: 5.24 s of its time.
    EXPECT_GE(clock.now - before, 524'287LL * 10'000);
    EXPECT_LT(clock.now - before, 524'288LL * 10'000 + 50'000'000);
    EXPECT_EQ(timeBase().origin, TimingOrigin::Paced);
    EXPECT_EQ(timeBase().period.Picoseconds(), 10'000'000);
    EXPECT_TRUE(timeBase().start.has_value());
    EXPECT_EQ(window->Info(), QStringLiteral("524288 Werte in 5,24 s, 10,00 µs je Wert"));
    ASSERT_TRUE(window->Recording().LastTiming());
    EXPECT_EQ(window->Recording().LastTiming()->lateSamples, 0);
}

TEST_F(PacedRecordingTest, APortTooSlowForThePaceGivesTheMeasuredPeriod) {
    programInput();
    trigger("MenuRecord_5_Sek");
    trazor().Option().SetCellsSize(4096);
    port->onRead = [this] { clock.now += 12'000; }; // with the clock read: 25 us a sample
    trigger("MenuRecord_Signal");
    EXPECT_EQ(timeBase().origin, TimingOrigin::Measured);
    EXPECT_NEAR(double(timeBase().period.Picoseconds()), 25e6, 0.02 * 25e6);
    EXPECT_TRUE(
        window->Info().startsWith(QStringLiteral("4096 Werte in 102,40 ms, 25,00 µs je Wert")))
        << window->Info().toStdString();
    EXPECT_TRUE(window->Info().contains(QStringLiteral("je Wert (gemessen, Soll 10,00 µs)")));

    // A marker over 40 cells of a 4-cell square wave: the box keeps its
    // nominal numbers and adds what the cells really lasted.
    trazor().StoreMarkerPoint(1, 100);
    trazor().StoreMarkerPoint(1, 120);
    trazor().StoreMarkerPoint(1, 140);
    desktop.clear();
    trazor().ShowTimeMeasurement(1, 0);
    const QString text = lastMessage();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Gesamtzeit ---> 400 µs"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Tatsächlich: Gesamtzeit 1,0"))) << text.toStdString();
}

TEST_F(PacedRecordingTest, BoardRecordingIsPacedAtTenMillisecondsAndItsBarMoves) {
    programInput("PortAuswahl5");
    trigger("MenuRecord_5_Sek");
    ASSERT_EQ(trazor().Option().CellsSize(), 8192);
    int barAtTwenty = -1;
    desktop.onPump = [&] {
        if (barAtTwenty < 0 && window->State().SampleIndex >= 20)
            barAtTwenty = window->Ui().ProgressBar1->value();
    };
    const std::int64_t before = clock.now;
    trigger("MenuRecord_Signal");
    EXPECT_GE(clock.now - before, 8191LL * 10'000'000);
    EXPECT_EQ(desktop.totalSleepMs(), 500) << "the deadlines wait, not the desktop";
    EXPECT_EQ(timeBase().period.Picoseconds(), 10'000'000'000);
    EXPECT_EQ(window->Info(), QStringLiteral("8192 Werte in 81,92 s, 10,00 ms je Wert"));
    // 50 ms of recording are five board samples: the bar has moved long before
    // the 4096th sample.
    EXPECT_GE(barAtTwenty, 10);
}

TEST_F(PacedRecordingTest, StopButtonAndEscapeEndARecordingAndKeepItsSamples) {
    struct Case {
        const char* source;
        const char* how;
    };
    for (const Case c : {Case{"PortAuswahl1", "button"}, Case{"PortAuswahl1", "escape"},
                         Case{"PortAuswahl5", "button"}}) {
        SCOPED_TRACE(std::string(c.source) + " " + c.how);
        TearDown();
        SetUp();
        programInput(c.source);
        trigger("MenuRecord_10_Sek"); // the source's own length, before the buffer is filled
        k8055sim_SetInputs(0, 0x15);
        const int cells = trazor().Option().CellsSize();
        for (int i = 0; i < cells; ++i)
            trazor().SetCellLow(i, 0xEE);
        auto* escape = window->findChild<QShortcut*>(QStringLiteral("EscapeStopsRecording"));
        ASSERT_NE(escape, nullptr);
        EXPECT_EQ(escape->key(), QKeySequence(Qt::Key_Escape));
        bool stopEnabled = false;
        desktop.onPump = [&] {
            if (window->State().SampleIndex < 300 || !window->Recording().Running()) return;
            stopEnabled = window->Ui().ButtonStop_Scan->isEnabled();
            if (std::string(c.how) == "button")
                window->Ui().ButtonStop_Scan->click();
            else
                emit escape->activated();
        };
        trigger("MenuRecord_Signal");
        EXPECT_TRUE(stopEnabled);
        const int taken = window->State().SampleIndex;
        EXPECT_GE(taken, 300);
        EXPECT_LT(taken, 400);
        EXPECT_FALSE(window->Recording().Running());
        EXPECT_TRUE(window->Info().startsWith(QStringLiteral("Abgebrochen: ") +
                                              QString::number(taken) +
                                              QStringLiteral(" Werte in ")))
            << window->Info().toStdString();
        EXPECT_NE(trazor().GetCellLow(taken - 1), 0xEE) << "the samples taken are kept";
        EXPECT_EQ(trazor().GetCellLow(taken), 0) << "no cell of the old buffer is left";
        EXPECT_EQ(trazor().GetCellLow(cells - 1), 0);
        EXPECT_TRUE(window->Ui().ButtonRecord_Signal->isEnabled());
        EXPECT_EQ(trazor().Option().CellsSize(), cells);
    }
}

TEST_F(PacedRecordingTest, ARecordCommandDuringARecordingStartsNoSecondLoop) {
    programInput();
    trazor().Option().SetCellsSize(4096);
    int nestedPumps = 0;
    bool inside = false;
    desktop.onPump = [&] {
        if (inside) ++nestedPumps;
        if (inside || window->State().SampleIndex < 1000 || !window->Recording().Running()) return;
        inside = true;
        trigger("MenuRecord_Signal");
        inside = false;
        window->Ui().ButtonStop_Scan->click();
    };
    trigger("MenuRecord_Signal");
    EXPECT_EQ(nestedPumps, 0) << "the second command ran no loop";
    EXPECT_LT(window->State().SampleIndex, 4096) << "the stop still reached the running loop";
}

TEST_F(PacedRecordingTest, ClosingTheWindowDuringARecordingEndsItThenCloses) {
    programInput();
    window->show();
    bool closeCalled = false;
    std::size_t messagesAtClose = 0;
    desktop.onPump = [&] {
        if (closeCalled || window->State().SampleIndex < 500) return;
        closeCalled = true;
        messagesAtClose = desktop.messages().size();
        trigger("E1"); // "&Beenden"
        EXPECT_TRUE(window->isVisible()) << "the loop is still below the close";
    };
    trigger("MenuRecord_Signal");
    ASSERT_TRUE(closeCalled);
    EXPECT_LT(window->State().SampleIndex, 1000);
    EXPECT_FALSE(window->Recording().Running());
    EXPECT_FALSE(window->isVisible());
    // The port was handed back as an output (control bits 0, 1, 5 = 1, 0, 0)
    // only after the loop ended.
    ASSERT_GT(desktop.messages().size(), messagesAtClose);
    EXPECT_TRUE(desktop.messages().back().text.startsWith(QStringLiteral("ACHTUNG")));
    EXPECT_EQ(port->inner.Control(0x378) & 0x23, 0x01);
}

TEST_F(PacedRecordingTest, ClosingTheWindowDuringABoardRecordingEndsTheEventLoop) {
    // The program runs in QApplication::exec() until its window closes: a close
    // during a recording must let exec() return, so the process ends.
    programInput("PortAuswahl5");
    window->show();
    bool closeCalled = false;
    desktop.onPump = [&] {
        if (closeCalled || window->State().SampleIndex < 50) return;
        closeCalled = true;
        window->close();
    };
    QTimer::singleShot(0, window.get(), [this] { trigger("MenuRecord_Signal"); });
    bool hung = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        hung = true;
        window->Recording().RequestStop();
        QCoreApplication::exit(1);
    });
    guard.start(60'000);
    const int result = QApplication::exec();
    guard.stop();
    EXPECT_FALSE(hung);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(closeCalled);
    EXPECT_LT(window->State().SampleIndex, 100) << "the recording ended early";
    EXPECT_FALSE(window->Recording().Running());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PacedRecordingTest, EingabeProgrKeepsTheBufferAndTheRecordingAppliesTheSourcesLength) {
    struct Case {
        const char* length;
        const char* source;
        int cells;
    };
    const Case cases[] = {
        {"MenuRecord_10_Sek", "PortAuswahl5", 16384},
        {"MenuRecord_5_Sek", "PortAuswahl5", 8192},
        {"MenuRecord_10_Sek", "PortAuswahl1", 1048576},
        {"MenuRecord_5_Sek", "PortAuswahl2", 524288},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.length) + " " + c.source);
        TearDown();
        SetUp();
        trigger(c.length);
        // A file of another length in the buffer.
        writeFile(QStringLiteral("kurz.DIG"), QByteArray(2 * 1000, '\x5A'));
        desktop.fileAnswers = {path(QStringLiteral("kurz.DIG"))};
        trigger("ffnen1");
        programInput(c.source);
        EXPECT_EQ(trazor().Buffer().Cells(), 1000) << "Eingabe progr. leaves the buffer alone";
        EXPECT_EQ(trazor().GetCellLow(999), 0x5A);

        trigger("MenuRecord_Signal");
        EXPECT_EQ(trazor().Option().CellsSize(), c.cells);
        EXPECT_EQ(trazor().Buffer().Cells(), c.cells);
        EXPECT_EQ(window->State().SampleIndex, c.cells);
        EXPECT_TRUE(action(c.length)->isChecked());
    }
}

TEST_F(PacedRecordingTest, AnUnsavedRecordingOutlivesEingabeProgrOnAnotherSource) {
    window->show();
    programInput();
    trigger("MenuRecord_5_Sek");
    trazor().Option().SetCellsSize(4096);
    trigger("MenuRecord_Signal");
    const std::vector<std::uint8_t> recorded = trazor().Stream();
    trigger("Ausgabeprogrammieren1");
    programInput("PortAuswahl5"); // the board records 8192 cells for " 5 Sek."
    EXPECT_EQ(trazor().Stream(), recorded);
    EXPECT_TRUE(window->HasUnsavedRecording());

    // Quitting still asks, and so does the recording that replaces it.
    desktop.messageAnswers = {Desktop::No, Desktop::Yes};
    window->close();
    EXPECT_TRUE(window->isVisible());
    trigger("MenuRecord_Signal");
    EXPECT_EQ(desktop.messages().size(), 2u);
    EXPECT_EQ(trazor().Option().CellsSize(), 8192);
}

// The program's own clock: deadlines on the real steady clock.
class RealClockRecordingTest : public PacedRecordingTest {
  protected:
    RealClockRecordingTest() { useOwnClock = true; }
};

TEST_F(RealClockRecordingTest, ARecordingCannotFinishBeforeItsLastDeadline) {
    programInput();
    trazor().Option().SetCellsSize(2560);
    const auto start = std::chrono::steady_clock::now();
    trigger("MenuRecord_Signal");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::microseconds(2559 * 10));
    ASSERT_TRUE(window->Recording().LastTiming());
    EXPECT_EQ(window->Recording().LastTiming()->samples, 2560);
    EXPECT_NE(timeBase().origin, TimingOrigin::UnknownNominal);
}

// The window and `spurwerk record` take their samples through the same
// recorder: the same simulated source and length give the same file, byte for
// byte.
TEST_F(PacedRecordingTest, TheWindowAndTheCommandLineWriteTheSameDigFile) {
    struct Case {
        const char* item;
        const char* source;
        int cells;
    } cases[] = {{"PortAuswahl1", "lpt1", 20480}, {"PortAuswahl5", "usb1", 256}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        TearDown();
        SetUp();
        programInput(c.item);
        trigger("MenuRecord_5_Sek"); // the source's own length, then a shorter buffer
        trazor().Option().SetCellsSize(c.cells);
        // The port's status panel read the data register once; the command
        // line's port is fresh. Both patterns start at their first sample.
        port->inner.RestartPattern(0x378);
        trigger("MenuRecord_Signal");
        ASSERT_EQ(window->State().SampleIndex, c.cells);
        QFile::remove(path(QStringLiteral("window.DIG")));
        desktop.fileAnswers = {path(QStringLiteral("window.DIG"))};
        // The board's 10 ms do not fit a .DIG file's 10 us: it is kept anyway ("Nein").
        desktop.messageAnswers = {Desktop::No};
        trigger("Speichernunter1");

        QFile::remove(path(QStringLiteral("line.DIG")));
        QProcess program;
        program.start(QStringLiteral(SPURWERK_BINARY_DIR "/spurwerk"),
                      {QStringLiteral("record"), QStringLiteral("--source"),
                       QString::fromLatin1(c.source), QStringLiteral("--samples"),
                       QString::number(c.cells), QStringLiteral("-o"),
                       path(QStringLiteral("line.DIG")), QStringLiteral("--simulate")});
        ASSERT_TRUE(program.waitForFinished(60000));
        ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

        const QByteArray fromWindow = readFile(QStringLiteral("window.DIG"));
        EXPECT_EQ(fromWindow.size(), 2 * c.cells);
        EXPECT_TRUE(fromWindow == readFile(QStringLiteral("line.DIG")));
    }
}
