#include "TMain1.h"

#include "BusCommands.h"
#include "CursorCommands.h"
#include "DecodeCommands.h"
#include "DiscardQuestion.h"
#include "ElidedLabel.h"
#include "ExchangeCommands.h"
#include "FileCommands.h"
#include "LiveCommands.h"
#include "MainMenuBuilder.h"
#include "MainUiBuilder.h"
#include "NavigationCommands.h"
#include "RecordingCommands.h"
#include "ScreenFit.h"
#include "SearchCommands.h"
#include "SigrokChoice.h"
#include "SigrokSource.h"
#include "SourceChoice.h"
#include "SourceCommands.h"
#include "TNewHintWindow.h"
#include "UpDownPair.h"
#include "ViewCommands.h"
#include "display/BusRows.h"
#include "display/TOverview.h"
#include "display/TTrazor.h"
#include "hardware/PortSystem.h"
#include "hardware/TPortIO.h"
#include "hardware/TPortUSB.h"
#include "persistence/AppSettings.h"
#include "persistence/ConfigMigration.h"
#include "persistence/IniRegistry.h"
#include "persistence/ProgramConfig.h"
#include "persistence/SmartTools.h"
#include "platform/Color.h"
#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "sampling/MonotonicClock.h"
#include "search/TOKBottomDlg1.h"
#include "support/HelpContext.h"
#include "support/ProgramIcon.h"
#include "support/TAboutBox.h"
#include "support/THookHelpSystem.h"
#include "support/TOKBottomDlg2.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <stdexcept>

namespace {
const QString kCaption = QStringLiteral("Spurwerk Version 1.0.40.36");
constexpr int kWindowWidth = 864;
constexpr int kWindowHeight = 755;
} // namespace

TMain1::TMain1(Desktop& desktop, StartOptions options)
    : desktop_(desktop), options_(std::move(options)) {
    setObjectName(QStringLiteral("Main1"));
    // Every window of the program, dialogs included, shows the program's icon.
    QApplication::setWindowIcon(ProgramIcon());
    setWindowIcon(ProgramIcon());
    if (options_.sampleClock) {
        sampleClock_ = options_.sampleClock;
    } else {
        ownClock_ = std::make_unique<sampling::SteadyClock>();
        sampleClock_ = ownClock_.get();
    }
    std::unique_ptr<PortSystem> system =
        options_.portSystem ? options_.portSystem()
                            : MakePortSystem(options_.simulate     ? PortSystemKind::Simulated
                                             : options_.directPort ? PortSystemKind::Direct
                                                                   : PortSystemKind::Ppdev);
    portIO_ = std::make_unique<TPortIO>(desktop_, std::move(system));
    portIO_->SetName(QStringLiteral("PortIO1"));
    portUSB_ = MakeBoardComponent();
    smartTools_ = std::make_unique<TSmartTools>(desktop_);
    config_ = std::make_unique<ProgramConfig>(ProgramConfig::DefaultPath());

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(central);
    actions_ = BuildMainMenu(menuBar());
    ui_ = BuildMainUi(*this, *central);
    // Narrower than the tool row, its controls would overlap or lose their text.
    setMinimumWidth(ui_.ToolPanel->minimumSizeHint().width());

    trazor_ = new TTrazor(central, desktop_);
    trazor_->setObjectName(QStringLiteral("Trazor1"));
    // The values the window's form gives the display before start-up runs.
    auto& opt = trazor_->Option();
    opt.SetCopyMode(8);
    opt.SetColorMarker(colors::Black);
    opt.SetColorScale(colors::Black);
    opt.SetCellsSize(8192);
    opt.SetDigits(8);
    opt.SetTimeScale(10);
    opt.SetTimeStep(10);
    opt.SetTimeUnit(QStringLiteral("µs"));
    opt.SetTimefactor(10);
    // Recordings at other rates than 10 µs are labelled in their own time.
    trazor_->SetAxisFollowsTimeBase(true);
    trazor_->Loaded();
    ui_.Overview1 = new TOverview(central, *trazor_);
    ui_.Overview1->setObjectName(QStringLiteral("Overview1"));
    ui_.BusRows1 = new BusRows(central, *trazor_, desktop_);

    connect(ui_.Timer2, &QTimer::timeout, this, guard::Slot(&desktop_, [this] { Timer2Timer(); }));
    connect(ui_.Timer4, &QTimer::timeout, this, guard::Slot(&desktop_, [this] { Timer4Timer(); }));
    OnAction(actions_.E1, [this] { E1Click(); });
    OnAction(actions_.Einstellungspeichern1, [this] { Einstellungspeichern1Click(); });
    OnAction(actions_.KeineHilfevorhanden1, [this] { KeineHilfevorhanden1Click(); });
    OnAction(actions_.Info1, [this] { Info1Click(); });
    // Escape ends a running timed recording early, as the stop button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("EscapeStopsRecording"));
    connect(escape, &QShortcut::activated, this, [this] {
        RunGuarded([this] {
            if (recording_) recording_->RequestStop();
        });
    });
    connect(trazor_, &TTrazor::mouseMovedOverDisplay, this, guard::Slot(&desktop_, [this] {
                ui_.MarkerOriginLabel->setText(
                    QString::number(trazor_->Option().Marker().MOrigin()));
                ui_.MarkerStopLabel->setText(QString::number(trazor_->Option().Marker().MStop()));
            }));
    ConnectMenuMessages();
    // Before the view: its layout asks where the bus rows go.
    buses_ = new BusCommands(*this);
    buses_->Connect();
    view_ = new ViewCommands(*this);
    view_->Connect();
    navigation_ = new NavigationCommands(*this);
    navigation_->Connect();
    (new CursorCommands(*this))->Connect(); // a Qt child of the window
    source_ = new SourceCommands(*this);
    source_->Connect();
    recording_ = new RecordingCommands(*this);
    recording_->Connect();
    sigrok_ = new SigrokSource(*this);
    sigrok_->Connect();
    live_ = new LiveCommands(*this);
    live_->Connect();
    file_ = new FileCommands(*this);
    file_->Connect();
    exchange_ = new ExchangeCommands(*this);
    exchange_->Connect();
    search_ = new SearchCommands(*this, searchDialog_);
    search_->Connect();

    FormCreate();
    // After FormCreate, which loads the settings and marks the first port.
    sigrok_->RestoreChoice();
    CreateDialogs();
    // After FormCreate: the decoder set-up is read from the loaded settings.
    decode_ = new DecodeCommands(*this);
    decode_->Connect();

    resize(kWindowWidth, HeldHeight(kWindowHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    KeepOnScreen();
    // The keys that move through the buffer work from the start.
    trazor_->setFocus();

    // After start-up has finished and the window shows, as if the user had
    // chosen the file: its messages then appear over the window.
    if (!options_.openFile.isEmpty())
        QTimer::singleShot(0, this,
                           [this] { RunGuarded([this] { OpenStartFile(options_.openFile); }); });
}

void TMain1::OpenStartFile(const QString& path) {
    if (path.endsWith(QStringLiteral(".dig"), Qt::CaseInsensitive))
        file_->OpenFile(path);
    else
        exchange_->ImportFrom(path);
}

TMain1::~TMain1() {
    // A device's tick uses the sigrok context, and the live commands would
    // go after the group that owns it: the tick ends while the context is there.
    if (live_) live_->AbandonTick();
    // A board open or close still running must end before the component goes.
    if (portUSB_) portUSB_->WaitWhileProcessing();
}

std::unique_ptr<TPortUSB> TMain1::MakeBoardComponent() {
    const k8055::LibraryChoice library =
        k8055::ChooseLibrary(options_.simulate, options_.boardLibrary, options_.programDir);
    return std::make_unique<TPortUSB>(desktop_, library.name, library.directory);
}

QAction* TMain1::Action(const QString& name) const {
    QAction* action = findChild<QAction*>(name);
    if (!action) throw std::logic_error("Der Menüpunkt " + name.toStdString() + " fehlt im Menü.");
    return action;
}

void TMain1::CreateDialogs() {
    aboutBox_ = new TAboutBox(this, [this] { trazor_->repaint(); });
    aboutBox_->setObjectName(QStringLiteral("AboutBox"));
    searchDialog_ = new TOKBottomDlg1(this, *trazor_, desktop_, state_.Trigger, *search_);
    searchDialog_->setObjectName(QStringLiteral("OKBottomDlg1"));
    // The search dialog stays open beside the diagram: "Suchen" (Ctrl+F) and
    // "Weiter suchen" (F3) must answer while it has the focus too.
    searchDialog_->addAction(actions_.Suchen3);
    searchDialog_->addAction(actions_.Weitersuchen1);
    bitTextDialog_ = new TOKBottomDlg2(this);
    bitTextDialog_->setObjectName(QStringLiteral("OKBottomDlg2"));
    view_->SetLineNameEditor(
        [this](int, const QString& current) { return bitTextDialog_->EditLineName(current); });
}

void TMain1::FormCreate() {
    ui_.ScrollBar1->setMaximum(8192);
    // There is no separate help runtime to check for: the help window is the program's own.
    const QString helpFile = help::CheckHelpFile(desktop_, options_.programDir);
    help_ =
        std::make_unique<THookHelpSystem>(desktop_, helpFile, QString(), 0, options_.helpBackends);

    portIO_->SetIOactive(true);

    scrollHint_ = std::make_unique<TNewHintWindow>(this, state_.HintAnchorPos);
    scrollHint_->SetTracking(false);
    QPalette hintPalette = scrollHint_->palette();
    hintPalette.setColor(QPalette::Window, colors::toQColor(colors::Aqua));
    scrollHint_->setPalette(hintPalette);
    scrollHint_->setAutoFillBackground(true);

    trazor_->LineOption().Apply(TLineVariable::WindowLayout, 10);
    trazor_->Option().SetCopyMode(0);
    state_.CurrentFileName = QStringLiteral("NONAME.DIG");
    RunGuarded([this] {
        TIniRegistry& store = smartTools_->INIRegistry();
        // Settings files of earlier versions also held the device and the
        // decoder set-up: they move to the program's configuration before the
        // start-up may complete the file, which then holds the display options alone.
        const auto moveOldKeys = [this, &store] {
            RunGuarded([this, &store] {
                for (const QString& key : {SigrokChoiceGroup, DecodeCommands::SetupGroup})
                    MoveKeyToConfig(store, key, *config_);
            });
        };
        LoadSettingsAtStartup(store, *trazor_, appsettings::SettingsName, moveOldKeys);
    });
    // A settings error can stop after "Digits" was applied; the check mark
    // must still name the line count the display shows.
    CheckLineCountItem(trazor_->Option().Digits());

    trazor_->setGeometry(0, kToolPanelHeight, 772, 390);
    SetStandardCaption();

    ui_.SimultanTimer1->stop();
    state_.SyncActive = 0;
    state_.Lpt1Base = 0x378;
    state_.Lpt2Base = 0x278;
    state_.PortBase = state_.Lpt1Base;
    actions_.PortAuswahl[0]->setChecked(true);
    SetImageIndex(actions_.PortAuswahl[0], 50);
    state_.InputProgrammed = 0;
    SetDigiStatus(4, QStringLiteral("Inaktiv"), false);
    // Without a port the English boxes of the port component were all there
    // was: say in the window's own words what is missing and what to do.
    QStringList notes;
    if (!portIO_->IOactive())
        notes << QStringLiteral("Kein Druckerport gefunden – ohne Hardware ausprobieren: "
                                "spurwerk --simulate");
    if (!config_->LoadError().isEmpty()) notes << config_->LoadError();
    SetInfo(notes.join(QStringLiteral("  ")));
    ui_.ScaleTimeComboBox1->setEditText(QString::number(trazor_->Option().TimeStep() - 2) + "%");

    source_->ReadPinChecks();
    actions_.MenuRecord_10_Sek->setChecked(true);
    actions_.MenuRecord_5_Sek->setChecked(false);
    trazor_->Option().SetCellsSize(int(MakeSampleSource(*this)->RecordLengthCells(false)));
}

void TMain1::FormClose() {
    if (closed_) return;
    closed_ = true;
    ui_.SimultanTimer1->stop();
    // A live tick below this event (a board's burst, a slow device's
    // acquisition) ends at once instead of keeping the program after its window.
    if (live_) live_->StopTick();
    ui_.Timer2->stop();
    scrollHint_.reset();
    if (state_.InputProgrammed == 1 && ChosenSourceKind(state_) == SourceKind::ParallelPort) {
        source_->ProgramPortOutput();
        source_->ShowPortStatus(false);
    }
    if (help_) {
        help_->HHCloseAll();
        help_.reset();
    }
}

void TMain1::Einstellungspeichern1Click() {
    SetDigiStatus(4, QStringLiteral("Optionsdaten werden jetzt gespeichert"), true);
    SaveSettings(smartTools_->INIRegistry(), *trazor_);
}

void TMain1::KeineHilfevorhanden1Click() {
    if (help_) KeineHilfevorhanden(*help_);
}

void TMain1::Info1Click() {
    aboutBox_->ShowInfo();
}

void TMain1::closeEvent(QCloseEvent* event) {
    RunGuarded([this, event] {
        event->ignore();
        // A recording runs in a loop below this event: end it first; the window
        // closes when the loop has returned and released the port.
        if (recording_ && recording_->Running()) {
            recording_->RequestStop();
            closeAfterRecording_ = true;
            return;
        }
        if (!closed_ && !ConfirmDiscardRecording()) {
            quitByMenu_ = false; // "Nein": the window stays as it is
            return;
        }
        // "&Beenden" switches these off before the window goes; only now is it
        // sure to go, so that a refused or postponed close leaves them alone.
        if (quitByMenu_) {
            for (QAction* menu : {actions_.MNMenuBearbeiten, actions_.MNMenuSynchronmodus,
                                  actions_.MNMenuAufzeichnen})
                menu->setEnabled(false);
        }
        FormClose();
        event->accept();
    });
}

bool TMain1::ConfirmDiscardRecording() {
    return !state_.UnsavedRecording || AskDiscardRecording(desktop_);
}

void TMain1::RecordingEnded() {
    if (!closeAfterRecording_) return;
    closeAfterRecording_ = false;
    close();
}

void TMain1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (view_) RunGuarded([this] { view_->FormResize(); });
}

QMargins TMain1::FrameMargins() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    if (isVisible() && outer != inner)
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    return QMargins(0, style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
}

int TMain1::HeldHeight(int wanted) const {
    // Below this the diagram would have no room for a single line.
    constexpr int kLeast = 400;
    const QScreen* shownOn = screen();
    return screenfit::HeldHeight(wanted, kLeast,
                                 shownOn ? shownOn->availableGeometry() : QRect(), FrameMargins());
}

void TMain1::KeepOnScreen() {
    const QScreen* shownOn = screen();
    if (!shownOn) return;
    const QRect placed =
        screenfit::KeepOnScreen(geometry(), shownOn->availableGeometry(), FrameMargins());
    if (placed != geometry()) setGeometry(placed);
}

void TMain1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window manager adds the frame after the window shows: then the
    // window is fitted to the screen once more, with the real frame.
    QTimer::singleShot(0, this, [this] {
        RunGuarded([this] {
            // The view commands know what else the height depends on.
            if (view_) view_->FormResize();
            KeepOnScreen();
        });
    });
}

void TMain1::RunGuarded(const std::function<void()>& command) {
    guard::Run(&desktop_, command);
}

void TMain1::OnAction(QAction* action, std::function<void()> handler) {
    connect(action, &QAction::triggered, this,
            [this, handler = std::move(handler)] { RunGuarded(handler); });
}

void TMain1::E1Click() {
    quitByMenu_ = true;
    close();
}

void TMain1::ClearSampleBuffer() {
    SetDigiStatus(4, QStringLiteral("Daten werden gelöscht. Bitte warten !!"), true);
    desktop_.PumpEvents();
    desktop_.Sleep(1000);
    desktop_.PumpEvents();
    trazor_->ClearCells();
    state_.UnsavedRecording = false;
    trazor_->DrawScale(trazor_->Option().CellsPos());
    trazor_->DrawBaseLines();
}

void TMain1::SetStandardCaption() {
    SetCaption(kCaption);
}

void TMain1::SetCaption(const QString& text) {
    setWindowTitle(options_.simulate ? text + QStringLiteral(" [Simulation]") : text);
}

void TMain1::SetDigiStatus(int panel, const QString& text, bool autoClear) {
    ui_.StatusBar1->setFont(QFont(QStringLiteral("Arial"), 8));
    if (panel >= 0 && panel < int(ui_.Panels.size()))
        ui_.Panels[size_t(panel)]->setText(QStringLiteral(" Digi-Status: ") + text);
    if (autoClear)
        ui_.Timer2->start();
    else
        ui_.Timer2->stop();
}

void TMain1::SetInfo(const QString& text) {
    ui_.PanelInfo->SetFullText(text.isEmpty() ? QString() : QStringLiteral(" ") + text);
}

QString TMain1::Info() const {
    return ui_.PanelInfo->FullText().trimmed();
}

void TMain1::Timer2Timer() {
    if (state_.BlinkPhase == 0) SetDigiStatus(4, QString(), false);
}

void TMain1::Timer4Timer() {
    if (state_.BlinkPhase == 0) {
        state_.BlinkPhase = 1;
        SetIndicatorColor(colors::Red);
    } else {
        state_.BlinkPhase = 0;
        SetIndicatorColor(colors::SystemMenu);
    }
}

void TMain1::SetIndicatorColor(std::uint32_t color) {
    indicatorColor_ = color;
    QPalette p = ui_.Shape1->palette();
    p.setColor(QPalette::Window, colors::toQColor(color));
    ui_.Shape1->setPalette(p);
}

void TMain1::SetImageIndex(QAction* action, int index) {
    action->setProperty("imageIndex", index);
    action->setIcon(ImageListIcon(index));
}

void TMain1::SetAllButtons(bool enable) {
    QWidget* const widgets[] = {ui_.ButtonPlay_Scan,
                                ui_.ButtonStop_Scan,
                                ui_.ButtonRecord_Signal,
                                ui_.ButtonScaleTimeUp,
                                ui_.ButtonScaleTimeDown,
                                ui_.ButtonZeitachsenEinheit_1,
                                ui_.ButtonZeitachsenEinheit_200,
                                ui_.ScaleTimeComboBox1};
    for (QWidget* w : widgets)
        w->setEnabled(enable);
}

void TMain1::EnableFileItems() {
    for (QAction* item : {actions_.Speichern1, actions_.Speichernunter1, actions_.Schliessen1,
                          actions_.Druckeneinrichten1, actions_.Drucken1})
        item->setEnabled(true);
}

void TMain1::SetAllMainMenu(bool enable) {
    for (QAction* menu : {actions_.MNMenuBearbeiten, actions_.MNMenuSuchen, actions_.MNMenuAnsicht,
                          actions_.MNMenuPort, actions_.MNMenuOptionen, actions_.MNMenuExtras,
                          actions_.MNMenuHilfe})
        menu->setEnabled(enable);
}

void TMain1::SetRecordMenuEntry(bool enable) {
    for (QAction* item :
         {actions_.MenuRecord_5_Sek, actions_.MenuRecord_10_Sek, actions_.MenuRecord_Signal,
          actions_.MenuRecord_SignalClear, actions_.MenuRecord_ToFile})
        item->setEnabled(enable);
}

void TMain1::SetAllMenuEntry(bool enable) {
    for (QAction* item : {actions_.bits1, actions_.Nibbel1, actions_.Byte1, actions_.Word1,
                          actions_.MenuPlay_Scan, actions_.Abtastrate1})
        item->setEnabled(enable);
}

void TMain1::CheckLineCountItem(int count) {
    for (int i = 1; i <= 16; ++i)
        actions_.Bit[std::size_t(i - 1)]->setChecked(false);
    if (count >= 1 && count <= 16) actions_.Bit[std::size_t(count - 1)]->setChecked(true);
}

void TMain1::SetMultiBit(int count) {
    CheckLineCountItem(count);
    trazor_->Option().SetDigits(count);
    // Setting the line count redraws only the frame; the waveforms belong to it.
    trazor_->DrawSignals();
}

void TMain1::ConnectMenuMessages() {
    struct MenuMessage {
        QAction* MainActions::*menu;
        const char* text;
        bool onlyWhenNotLive;
    };
    static const MenuMessage messages[] = {
        {&MainActions::Datei1, "Daten laden, speichern oder drucken", true},
        {&MainActions::MNMenuBearbeiten, "Daten bearbeiten, löschen oder kopieren", true},
        {&MainActions::MNMenuSuchen, "Suchen in den Daten", true},
        {&MainActions::MNMenuAnsicht, "Ansicht der Daten festlegen", true},
        {&MainActions::MNMenuPort, "Auswahl LPT-Port oder andere Eingabequelle", true},
        {&MainActions::MNMenuOptionen, "Optionenauswahl für Farbe und co.", true},
        {&MainActions::MNMenuSynchronmodus, "Synchronmodus festlegen", true},
        {&MainActions::MNMenuAufzeichnen,
         "Simultan- und Standardaufzeichnung ausführen oder stoppen", true},
        {&MainActions::Fraben1, "Farbeinstellung von Trazor", false},
        {&MainActions::Textaenderung1, "Bit-Text ändern", false},
        {&MainActions::AnzahlBits1, "Anzahl der Bit´s einstellen", false},
        {&MainActions::Aufloesung1, "Auflösung der Zeitachse", false},
        {&MainActions::Skalierung1, "Skalierung", false},
        {&MainActions::Einheit1, "Zeiteinheit", false},
    };
    for (const auto& m : messages) {
        QMenu* menu = (actions_.*m.menu)->menu();
        const QString text = QString::fromUtf8(m.text);
        const bool onlyWhenNotLive = m.onlyWhenNotLive;
        connect(menu, &QMenu::aboutToShow, this,
                guard::Slot(&desktop_, [this, text, onlyWhenNotLive] {
                    if (onlyWhenNotLive && state_.LiveRunning != 0) return;
                    SetDigiStatus(4, text, true);
                }));
    }
}
