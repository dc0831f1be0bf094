#include "MainWindowFixture.h"
#include "app/LiveCommands.h"

#include <QByteArray>
#include <QToolButton>
#include <functional>

namespace {

const QString kQuestion = QStringLiteral(
    "Die Aufzeichnung ist noch nicht gespeichert.\rSollen die Daten verworfen werden?");

} // namespace

// A recording that was never saved is discarded only after a "Ja"; "Nein"
// stops the command and keeps it, whichever command it is.
class UnsavedRecordingTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window->show();
        writeFile(QStringLiteral("other.DIG"), QByteArray("\x11\x22\x33\x44", 4));
    }
    // A short recording on LPT 1 (" 5 Sek." checked, the buffer cut to 4096 cells).
    void record() {
        if (window->State().InputProgrammed == 0) {
            trigger("PortAuswahl1");
            trigger("Eingabeprogrammieren1");
            trigger("MenuRecord_5_Sek");
        }
        trazor().Option().SetCellsSize(4096);
        trigger("MenuRecord_Signal");
        desktop.clear();
    }
    QByteArray buffer() const {
        const auto& s = trazor().Stream();
        return QByteArray(reinterpret_cast<const char*>(s.data()), qsizetype(s.size()));
    }
    bool bufferIsZero() const { return buffer().count('\0') == buffer().size(); }
    int questions() const {
        int n = 0;
        for (const auto& m : desktop.messages())
            n += m.text == kQuestion ? 1 : 0;
        return n;
    }
};

TEST_F(UnsavedRecordingTest, EveryCommandThatDiscardsItAsksAndNeinKeepsIt) {
    struct Case {
        const char* name;
        std::function<void()> run;
        std::function<bool()> wentAhead;
    };
    const Case cases[] = {
        {"&Beenden", [this] { trigger("E1"); }, [this] { return !window->isVisible(); }},
        {"closing the window", [this] { window->close(); },
         [this] { return !window->isVisible(); }},
        {"Neue Aufzeichnung", [this] { trigger("NeueAufzeichnung1"); },
         [this] { return bufferIsZero(); }},
        {"Öffnen",
         [this] {
             desktop.fileAnswers = {path(QStringLiteral("other.DIG"))};
             trigger("ffnen1");
         },
         [this] { return buffer() == QByteArray("\x11\x22\x33\x44", 4); }},
        {"Simultanplay", [this] { trigger("MenuPlay_Scan"); },
         [this] { return window->State().LiveRunning == 1; }},
        {"play button", [this] { window->Ui().ButtonPlay_Scan->click(); },
         [this] { return window->State().LiveRunning == 1; }},
        {"stop button with live mode off", [this] { window->Ui().ButtonStop_Scan->click(); },
         [this] { return bufferIsZero(); }},
        {"Simultanstop with live mode off", [this] { trigger("MenuStop_Scan"); },
         [this] { return bufferIsZero(); }},
        {"another record length", [this] { trigger("MenuRecord_10_Sek"); },
         [this] { return trazor().Option().CellsSize() == 0x100000; }},
        {"Aufzeichnung löschen", [this] { trigger("MenuRecord_SignalClear"); },
         [this] { return bufferIsZero(); }},
        // A new recording replaces the buffer as a loaded file does.
        {"Aufzeichung", [this] { trigger("MenuRecord_Signal"); },
         [this] { return desktop.beeps() > 0; }},
        {"record button", [this] { window->Ui().ButtonRecord_Signal->click(); },
         [this] { return desktop.beeps() > 0; }},
    };
    for (const Case& c : cases) {
        for (const int answer : {Desktop::No, Desktop::Yes}) {
            SCOPED_TRACE(std::string(c.name) + (answer == Desktop::Yes ? ": Ja" : ": Nein"));
            TearDown();
            SetUp();
            record();
            const QByteArray recorded = buffer();
            ASSERT_TRUE(window->HasUnsavedRecording());
            desktop.messageAnswers = {answer};

            c.run();

            ASSERT_EQ(questions(), 1);
            const auto boxes = desktop.messages();
            EXPECT_EQ(boxes.front().caption, QStringLiteral("Spurwerk"));
            EXPECT_EQ(boxes.front().buttons, Desktop::Yes | Desktop::No);
            if (answer == Desktop::No) {
                EXPECT_FALSE(c.wentAhead());
                EXPECT_EQ(buffer(), recorded);
                EXPECT_TRUE(window->HasUnsavedRecording());
                EXPECT_TRUE(window->isVisible());
                EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::OpenFile), 0);
                // A refused quit leaves the menus it switched off as they were.
                for (const char* menu : {"MNMenuBearbeiten", "MNMenuSynchronmodus",
                                         "MNMenuAufzeichnen", "NeueAufzeichnung1"})
                    EXPECT_TRUE(action(menu)->isEnabled()) << menu;
                EXPECT_FALSE(action("MenuPlay_Scan")->isChecked());
                EXPECT_TRUE(action("MenuRecord_5_Sek")->isChecked());
                EXPECT_FALSE(action("MenuRecord_10_Sek")->isChecked());
            } else {
                EXPECT_TRUE(c.wentAhead());
            }
            if (window->State().LiveRunning == 1) window->Live().Hauptsimultanstop();
        }
    }
}

TEST_F(UnsavedRecordingTest, ASavedLoadedOrEmptyBufferIsDiscardedWithoutAQuestion) {
    struct Case {
        const char* name;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"empty at start", [] {}},
        {"saved with Speichern unter",
         [this] {
             record();
             desktop.fileAnswers = {path(QStringLiteral("saved.DIG"))};
             trigger("Speichernunter1");
         }},
        {"saved with Speichern",
         [this] {
             record();
             desktop.fileAnswers = {path(QStringLiteral("saved.DIG"))};
             trigger("Speichern1");
         }},
        {"loaded from a file",
         [this] {
             desktop.fileAnswers = {path(QStringLiteral("other.DIG"))};
             trigger("ffnen1");
         }},
        {"emptied by Aufzeichnung löschen",
         [this] {
             record();
             desktop.messageAnswers = {Desktop::Yes};
             trigger("MenuRecord_SignalClear");
         }},
        {"emptied by live mode",
         [this] {
             record();
             desktop.messageAnswers = {Desktop::Yes};
             trigger("MenuPlay_Scan");
             trigger("MenuStop_Scan");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.prepare();
        EXPECT_FALSE(window->HasUnsavedRecording());
        desktop.clear();
        trigger("NeueAufzeichnung1");
        trigger("MenuPlay_Scan");
        window->Live().Hauptsimultanstop();
        window->close();
        EXPECT_EQ(questions(), 0);
        EXPECT_FALSE(window->isVisible());
    }
}

TEST_F(UnsavedRecordingTest, AFailedSaveLeavesTheRecordingUnsaved) {
    record();
    ASSERT_TRUE(QDir::current().mkdir(QStringLiteral("dir.DIG"))); // in the way of the file
    desktop.fileAnswers = {path(QStringLiteral("dir.DIG"))};
    desktop.messageAnswers = {Desktop::Yes, Desktop::Ok};
    trigger("Speichernunter1");
    EXPECT_TRUE(window->HasUnsavedRecording());
    desktop.clear();
    desktop.messageAnswers = {Desktop::No};
    window->close();
    EXPECT_EQ(questions(), 1);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(UnsavedRecordingTest, NeinToQuittingDuringARecordingLeavesTheWindowAsTheRecordingEnded) {
    record(); // programs the port
    desktop.messageAnswers = {Desktop::Yes, Desktop::No}; // record again, but do not quit
    bool quit = false;
    desktop.onPump = [&] {
        if (quit || window->State().SampleIndex < 100) return;
        quit = true;
        trigger("E1");
    };
    trigger("MenuRecord_Signal");
    ASSERT_TRUE(quit);
    EXPECT_LT(window->State().SampleIndex, 4096) << "the recording ended early";
    EXPECT_EQ(questions(), 2);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->HasUnsavedRecording());
    for (const char* name : {"MNMenuBearbeiten", "MNMenuSynchronmodus", "MNMenuAufzeichnen",
                             "NeueAufzeichnung1", "Speichern1"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
}
