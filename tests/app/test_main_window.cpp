#include "MainWindowFixture.h"
#include "app/ElidedLabel.h"
#include "app/TNewHintWindow.h"
#include "display/TOverview.h"
#include "hardware/TPortIO.h"
#include "platform/Color.h"
#include "search/TOKBottomDlg1.h"
#include "support/HelpContext.h"
#include "support/ProgramIcon.h"
#include "support/TAboutBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

using MainWindowStart = MainWindowTest;

TEST_F(MainWindowStart, ShowsCaptionPanelsAndStartState) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Spurwerk Version 1.0.40.36 [Simulation]"));
    EXPECT_EQ(panel(0), QStringLiteral(" Port"));
    EXPECT_EQ(panel(1), QStringLiteral(" Steuer"));
    EXPECT_EQ(panel(2), QStringLiteral(" Status"));
    EXPECT_EQ(panel(3), QStringLiteral(" Daten"));
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Inaktiv"));

    const MainState& s = window->State();
    EXPECT_EQ(s.InputSource, 0);
    EXPECT_EQ(s.PortBase, 0x378);
    EXPECT_EQ(s.Lpt1Base, 0x378);
    EXPECT_EQ(s.Lpt2Base, 0x278);
    EXPECT_EQ(s.CurrentFileName, QStringLiteral("NONAME.DIG"));
    EXPECT_EQ(s.SyncActive, 0);
    EXPECT_EQ(s.InputProgrammed, 0);
    EXPECT_EQ(s.LiveRunning, 0);

    const MainUi& ui = window->Ui();
    EXPECT_FALSE(ui.SimultanTimer1->isActive());
    EXPECT_EQ(ui.SimultanTimer1->interval(), 100);
    EXPECT_FALSE(ui.Timer2->isActive()) << "the start message does not clear itself";
    EXPECT_EQ(ui.Timer2->interval(), 10000);
    EXPECT_TRUE(ui.Timer4->isActive());
    EXPECT_EQ(ui.Timer4->interval(), 500);
    EXPECT_EQ(ui.ScrollBar1->maximum(), 8192);
    EXPECT_EQ(ui.ScrollBar1->pageStep(), 64);
    EXPECT_EQ(ui.ScaleTimeComboBox1->currentText(), QStringLiteral("8%"));
    EXPECT_EQ(ui.Portzustand->text(), QStringLiteral("LPTx"));

    EXPECT_EQ(trazor().Option().CellsSize(), 0x100000);
    EXPECT_EQ(trazor().Option().CopyMode(), 0);
    EXPECT_EQ(trazor().Option().TimeScale(), 10);
    EXPECT_EQ(trazor().Option().Timefactor(), 10);
    const auto& lines = trazor().LineOption();
    EXPECT_EQ(lines.Line_distance(), 33);
    EXPECT_EQ(lines.Line_high(), 6);
    EXPECT_EQ(lines.Line_Maxhigh(), 27);
    EXPECT_EQ(lines.Line_length(), 3);
    EXPECT_EQ(lines.Text_length(), 4);
    EXPECT_EQ(lines.Global_Xpos(), 70);
    EXPECT_EQ(lines.Row(0).LowY, 39);
    EXPECT_EQ(lines.Row(0).HighY, 12);
    EXPECT_EQ(lines.Row(0).TextY, 23);
}

TEST_F(MainWindowStart, WindowAndDialogsCarryTheProgramsIcon) {
    const QImage own = ProgramIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(own.isNull());
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             window.get(), &window->AboutBox(), &window->SearchDialog()})
        EXPECT_EQ(w->windowIcon().pixmap(32, 32).toImage(), own) << w->objectName().toStdString();
}

TEST_F(MainWindowStart, EveryCommandHasItsStartUpEnabledAndCheckedState) {
    struct Expect {
        const char* name;
        bool enabled;
        int checked; // -1: not checkable or not asserted
    } table[] = {
        {"Datei1", true, -1},
        {"NeueAufzeichnung1", true, -1},
        {"ffnen1", true, -1},
        {"Speichern1", false, -1},
        {"Speichernunter1", false, -1},
        {"Schliessen1", false, -1},
        {"Druckeneinrichten1", true, -1},
        {"Drucken1", false, -1},
        {"E1", true, -1},
        {"MNMenuBearbeiten", true, -1},
        {"Widerrufen1", false, -1},
        {"Ausschneiden1", false, -1},
        {"Einfgen1", false, -1},
        {"Auswhlen2", false, -1},
        {"MNMenuSuchen", true, -1},
        {"Suchen3", true, -1},
        {"Weitersuchen1", true, -1},
        {"GehezurZeitposition1", false, -1},
        {"MNMenuAnsicht", true, -1},
        {"Bildschirm1", false, -1},
        {"DatenneuAnzeigen1", true, -1},
        {"Anzeigelschen1", true, -1},
        {"MNMenuOptionen", true, -1},
        {"BitText16", true, -1},
        {"BitText17", false, -1},
        {"Bit16", true, 0},
        {"Bit17", false, 0},
        {"Variabel1", false, -1},
        {"Variabel2", false, -1},
        {"Einstellungspeichern1", true, -1},
        {"MNMenuPort", true, -1},
        {"Auswhlen1", true, -1},
        {"PortAuswahl1", true, 1},
        {"PortAuswahl2", true, 0},
        {"N13", false, -1},
        {"USB12Synchron2", false, -1},
        {"USBBraintechnology1", false, -1},
        {"ElektroKolterPCIAdapter1", false, -1},
        {"ndern1", false, -1},
        {"Prfen1", true, -1},
        {"Eingabeprogrammieren1", true, -1},
        {"Ausgabeprogrammieren1", false, -1},
        {"MNMenuSynchronmodus", false, -1},
        {"Synchronisieren1", true, 0},
        {"Auswahl1", false, -1},
        {"bits1", true, 0},
        {"Nibbel1", false, 0},
        {"Byte1", false, 0},
        {"Word1", false, 0},
        {"MNMenuAufzeichnen", false, -1},
        {"MenuPlay_Scan", true, 0},
        {"MenuStop_Scan", true, -1},
        {"Abtastrate1", true, -1},
        {"Millisekunden1", false, -1},
        {"MenuRecord_5_Sek", true, 0},
        {"MenuRecord_10_Sek", true, 1},
        {"Variabel3", false, -1},
        {"MenuRecord_Signal", true, -1},
        {"MenuRecord_SignalClear", true, -1},
        {"MNMenuExtras", true, -1},
        {"STR1", false, -1},
        {"SteuerinBitszeigen1", true, -1},
        {"MNMenuHilfe", true, -1},
        {"KeineHilfevorhanden1", true, -1},
        {"Info1", true, -1},
    };
    for (const auto& e : table) {
        QAction* a = action(e.name);
        if (!a) continue;
        EXPECT_EQ(a->isEnabled(), e.enabled) << e.name;
        if (e.checked >= 0) {
            EXPECT_EQ(a->isChecked(), e.checked == 1) << e.name;
        }
    }
    const MainUi& ui = window->Ui();
    EXPECT_FALSE(ui.ButtonRecord_Signal->isEnabled());
    EXPECT_FALSE(ui.ButtonStop_Scan->isEnabled());
    EXPECT_FALSE(ui.ButtonPlay_Scan->isEnabled());
    EXPECT_TRUE(ui.ButtonScaleTimeUp->isEnabled());
    EXPECT_TRUE(ui.ScaleTimeComboBox1->isEnabled());
}

TEST_F(MainWindowStart, MenuItemsCarryCaptionsShortcutsAndHelpNumbers) {
    struct Item {
        const char* name;
        const char* caption;
        int help;
        const char* shortcut;
    } table[] = {
        {"Datei1", "&Datei", 41, ""},
        {"ffnen1", "Öffnen", 43, ""},
        {"E1", "&Beenden", 49, ""},
        {"Widerrufen1", "Widerrufen", 52, "Shift+Ctrl+Z"},
        {"Suchen3", "Suchen", 62, "Ctrl+F"},
        {"Weitersuchen1", "Weiter suchen", 62, "F3"},
        {"Anzeigelschen1", "Anzeige löschen", 73, ""},
        {"Fraben1", "Farben", 91, ""},
        {"Bitfarbe01", "Linie Bit   0", 0, ""},
        {"Bitfarbe161", "Linie Bit 15", 0, ""},
        {"Gitterfarbe1", "Markerfarbe", 97, ""},
        {"BitText1", "Text Bit   0", 0, ""},
        {"AnzahlBits1", "Anzahl Bit´s", 110, ""},
        {"Bit1", "  1", 0, ""},
        {"Bit10", "10", 0, ""},
        {"Aufloesungn10", " -10", 125, ""},
        {"x10001", "x 1000", 135, ""},
        {"EinheitMikroSek1", "Mikrosek.   [µs]", 142, ""},
        {"EinheitMilliSek1", "Millisek.     [ms]", 143, ""},
        {"EinheitSek1", "Sekunden  [s]", 144, ""},
        {"Einstellungspeichern1", "Einstellung speichern", 150, ""},
        {"PortAuswahl3x", "Spurwerk LPT V1.0", 163, ""},
        {"PortAuswahl5x", "USB P8055 Velleman", 164, ""},
        {"ALFFEHINIDSL1", "ALF,FEH,INI,DSL      + 4 Bit", 0, ""},
        {"Abtastrate1", "Abtastrate ", 0, ""},
        {"CPU769s1", "CPU 7.69 µs", 0, ""},
        {"MenuRecord_5_Sek", " 5 Sek.", 0, ""},
        {"MenuRecord_Signal", "Aufzeichung", 0, ""},
        {"MenuRecord_SignalClear", "Aufzeichnung löschen", 0, "Ctrl+Del"},
        {"STR2", "Pin 01 /STR (Strobe)", 0, ""},
        {"MNMenuHilfe", "&Hilfe", 361, ""},
        {"KeineHilfevorhanden1", "Hilfe", 362, ""},
    };
    for (const auto& e : table) {
        QAction* a = action(e.name);
        if (!a) continue;
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption)) << e.name;
        EXPECT_EQ(help::HelpContextOf(*a), e.help) << e.name;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(e.shortcut))) << e.name;
    }
}

using StatusMessages = MainWindowTest;

TEST_F(StatusMessages, AutoClearMessageIsResetOnlyWhileTheIndicatorIsDark) {
    window->SetDigiStatus(4, QStringLiteral("Port aktiviert"), true);
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Port aktiviert"));
    EXPECT_TRUE(window->Ui().Timer2->isActive());

    window->State().BlinkPhase = 1;
    window->Timer2Timer();
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Port aktiviert"));
    EXPECT_TRUE(window->Ui().Timer2->isActive()) << "tries again ten seconds later";

    window->State().BlinkPhase = 0;
    window->Timer2Timer();
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: "));
    EXPECT_FALSE(window->Ui().Timer2->isActive());
}

TEST_F(StatusMessages, MessageWithoutAutoClearCancelsAPendingReset) {
    window->SetDigiStatus(4, QStringLiteral("a"), true);
    window->SetDigiStatus(4, QStringLiteral("10 Sek. Aufzeichnung"), false);
    EXPECT_FALSE(window->Ui().Timer2->isActive());
}

TEST_F(StatusMessages, BlinkTimerAlternatesTheIndicator) {
    const auto color = [&] { return window->IndicatorColor(); };
    window->Timer4Timer();
    EXPECT_EQ(window->State().BlinkPhase, 1);
    EXPECT_EQ(color(), 0x0000FFu);
    window->Timer4Timer();
    EXPECT_EQ(window->State().BlinkPhase, 0);
    EXPECT_EQ(color(), 0x80000004u);
}

TEST_F(StatusMessages, OpeningMenusShowsTheirMessageExceptTopMenusInLiveMode) {
    auto open = [&](const char* menu) {
        emit window->findChild<QMenu*>(QString::fromLatin1(menu) + "Menu")->aboutToShow();
    };
    open("Datei1");
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Daten laden, speichern oder drucken"));
    EXPECT_TRUE(window->Ui().Timer2->isActive());

    window->SetDigiStatus(4, QStringLiteral("Trazor im Simultanbetrieb"), false);
    window->State().LiveRunning = 1;
    open("Datei1");
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Trazor im Simultanbetrieb"));
    open("AnzahlBits1");
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Anzahl der Bit´s einstellen"));

    window->State().LiveRunning = 0;
    window->SetDigiStatus(4, QStringLiteral("x"), false);
    open("MNMenuExtras");
    open("MNMenuHilfe");
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: x"));
}

TEST_F(MainWindowStart, LineCountItemsActAsOneRadioGroup) {
    trigger("Bit5");
    for (int i = 1; i <= 16; ++i)
        EXPECT_EQ(action(QByteArray("Bit" + QByteArray::number(i)).constData())->isChecked(),
                  i == 5)
            << i;
    EXPECT_EQ(trazor().Option().Digits(), 5);
}

TEST_F(MainWindowStart, BeendenDisablesMenusAndClosesTheWindow) {
    window->show();
    trigger("E1");
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(action("MNMenuBearbeiten")->isEnabled());
    EXPECT_FALSE(action("MNMenuSynchronmodus")->isEnabled());
    EXPECT_FALSE(action("MNMenuAufzeichnen")->isEnabled());
    EXPECT_FALSE(window->Ui().Timer2->isActive());
    EXPECT_EQ(window->ScrollHint(), nullptr);
}

TEST_F(MainWindowStart, TheInformationRowKeepsTheFivePanelsWholeAndFitsTheWindow) {
    window->show();
    const MainUi& ui = window->Ui();
    const int width = window->width();
    // The longest message of the menus fits the message panel.
    trigger("MNMenuAufzeichnen");
    window->SetDigiStatus(4,
                          QStringLiteral("Simultan- und Standardaufzeichnung ausführen oder "
                                         "stoppen"),
                          true);
    const QLabel* message = ui.Panels[4];
    EXPECT_GE(message->contentsRect().width(),
              message->fontMetrics().horizontalAdvance(message->text()))
        << "cut: " << message->text().toStdString();

    // A long information is cut to its field, never widening the window.
    const QString longText = QString(QStringLiteral("sehr lange Information ")).repeated(20);
    window->SetInfo(longText);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->width(), width);
    EXPECT_EQ(ui.PanelInfo->toolTip(), longText.trimmed());
    EXPECT_TRUE(ui.PanelInfo->text().endsWith(QChar(0x2026))) << ui.PanelInfo->text().toStdString();
    EXPECT_LE(ui.InfoBar->geometry().right(), width);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ui.Panels[size_t(i)]->width(), 100) << i;

    // Between the scroll bar and the five panels, overlapping neither the diagram nor them.
    EXPECT_EQ(ui.ScrollBar1->geometry().bottom() + 1, ui.InfoBar->y());
    EXPECT_LE(ui.InfoBar->mapTo(window.get(), QPoint(0, ui.InfoBar->height())).y(),
              ui.StatusBar1->y());
    EXPECT_LE(trazor().geometry().bottom(), ui.Overview1->y());
    EXPECT_TRUE(ui.PanelInfo->isVisible());
}

TEST(MainWindowWithoutPort, KeepsTheBoxesAndTellsHowToTryWithoutHardware) {
    QTemporaryDir empty;
    const WorkingDirectory cwd(empty.path());
    ASSERT_TRUE(cwd.Entered());
    ScriptedDesktop desktop;
    StartOptions options;
    options.programDir = QStringLiteral(SPURWERK_BINARY_DIR);
    options.portSystem = [] {
        auto system = std::make_unique<SimulatedPortSystem>();
        system->script().openByDefault = false; // no port, and the driver cannot help
        system->script().install = 2;
        return system;
    };
    TMain1 window(desktop, options);
    EXPECT_FALSE(window.PortIO1().IOactive());
    EXPECT_FALSE(desktop.messages().empty()) << "the port component's own boxes stay";
    EXPECT_EQ(window.Ui().Panels[4]->text(), QStringLiteral(" Digi-Status: Inaktiv"))
        << "the start's own message stays whole";
    EXPECT_EQ(window.Info(), QStringLiteral("Kein Druckerport gefunden – ohne Hardware "
                                            "ausprobieren: spurwerk --simulate"));

    // Programming a port that did not open would record zeros as data.
    window.Action(QStringLiteral("Eingabeprogrammieren1"))->trigger();
    EXPECT_EQ(window.State().InputProgrammed, 0);
    EXPECT_NE(window.IndicatorColor(), colors::Green);
    EXPECT_TRUE(window.Ui().Timer4->isActive()) << "the indicator keeps blinking";
    EXPECT_FALSE(window.Action(QStringLiteral("MNMenuAufzeichnen"))->isEnabled());
    EXPECT_FALSE(window.Ui().ButtonRecord_Signal->isEnabled());
    EXPECT_TRUE(window.Action(QStringLiteral("Eingabeprogrammieren1"))->isEnabled());
    EXPECT_NE(window.Ui().Panels[4]->text(), QStringLiteral(" Digi-Status: Port aktiviert"));
    EXPECT_TRUE(
        window.Info().startsWith(QStringLiteral("Der Druckerport $0378 lässt sich nicht öffnen")))
        << window.Info().toStdString();
}

TEST(ScrollHintPlacement, OffsetIsClampedBetween20And738) {
    struct Case {
        int anchor, max, width, offset;
    } cases[] = {
        {0, 8192, 864, 20},   {4096, 8192, 864, 455}, {8192, 8192, 864, 738},
        {190, 8192, 864, 21}, {100, 8192, 9000, 100}, {8192, 8192, 0, 738},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TNewHintWindow::AnchorOffset(c.anchor, c.max, c.width), c.offset)
            << c.anchor << " " << c.width;
}

TEST(MainWindowWithoutHelpFile, ReportsTheMissingFileAndStartsNormally) {
    QTemporaryDir empty;
    const WorkingDirectory cwd(empty.path());
    ASSERT_TRUE(cwd.Entered());
    ScriptedDesktop desktop;
    StartOptions options;
    options.programDir = empty.path();
    options.portSystem = [] { return std::make_unique<SimulatedPortSystem>(); };
    {
        TMain1 window(desktop, options);
        // The board library (not installed here) reports first: components exist before start-up
        // runs.
        QStringList texts;
        for (const auto& m : desktop.messages())
            texts << m.text;
        EXPECT_TRUE(texts.contains(QStringLiteral("Hilfe-Datei nicht gefunden\r") +
                                   empty.filePath("spurwerk.html")))
            << texts.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Spurwerk Version 1.0.40.36"));
        EXPECT_EQ(window.Ui().Panels[4]->text(), QStringLiteral(" Digi-Status: Inaktiv"));
    }
}
