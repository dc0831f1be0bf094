#pragma once

#include "MainActions.h"
#include "MainState.h"
#include "MainUi.h"
#include "support/THookHelpSystem.h"

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>

class Desktop;
class PortSystem;
class TPortIO;
class TPortUSB;
class TTrazor;
class SourceCommands;
class RecordingCommands;
class SigrokSource;
class LiveCommands;
class FileCommands;
class ExchangeCommands;
class SearchCommands;
class DecodeCommands;
class TSmartTools;
class ProgramConfig;
class THookHelpSystem;
class TAboutBox;
class TOKBottomDlg1;
class TOKBottomDlg2;
class TNewHintWindow;
class BusCommands;
class ViewCommands;
class NavigationCommands;
class QAction;
class QMenu;

namespace sampling {
class MonotonicClock;
}

// What the command line chose for this run.
struct StartOptions {
    bool simulate = false;
    bool directPort = false;
    QString programDir; // where the help file and the board libraries are
    // A board library the user chose by name instead of the program's own.
    QString boardLibrary;
    // Tests put their own port system here; otherwise the flags above choose one.
    std::function<std::unique_ptr<PortSystem>()> portSystem;
    // Tests put help viewer doubles here; null members are the real viewers.
    HelpBackends helpBackends;
    // The clock timed recordings are paced against; null is the steady clock.
    sampling::MonotonicClock* sampleClock = nullptr;
    // A recording named on the command line: opened (a .DIG file) or imported
    // (.sr, .vcd, .csv) once the window runs.
    QString openFile;
};

// The main window: owns the display, the hardware components, the settings
// and the command groups, and keeps the window's state and enable rules.
class TMain1 : public QMainWindow {
    Q_OBJECT
  public:
    TMain1(Desktop& desktop, StartOptions options);
    ~TMain1() override;

    Desktop& desktop() const { return desktop_; }
    TTrazor& Trazor1() const { return *trazor_; }
    MainState& State() { return state_; }
    const MainState& State() const { return state_; }
    MainUi& Ui() { return ui_; }
    const StartOptions& Options() const { return options_; }
    TNewHintWindow* ScrollHint() const { return scrollHint_.get(); }
    TPortIO& PortIO1() const { return *portIO_; }
    TPortUSB& PortUSB1() const { return *portUSB_; }

    // The menu items and menus the commands work with.
    const MainActions& Actions() const { return actions_; }
    // A menu item or menu by object name (tests, the help); a name the menu
    // lacks throws std::logic_error.
    QAction* Action(const QString& name) const;
    // Runs a command; an error it raises is shown in the general error box
    // instead of travelling through Qt's event loop.
    void RunGuarded(const std::function<void()>& command);
    // Connects a menu item's command, guarded.
    void OnAction(QAction* action, std::function<void()> handler);

    ViewCommands& View() const { return *view_; }
    NavigationCommands& Navigation() const { return *navigation_; }
    SourceCommands& Source() const { return *source_; }
    RecordingCommands& Recording() const { return *recording_; }
    SigrokSource& Sigrok() const { return *sigrok_; }
    LiveCommands& Live() const { return *live_; }
    FileCommands& File() const { return *file_; }
    ExchangeCommands& Exchange() const { return *exchange_; }
    SearchCommands& Search() const { return *search_; }
    DecodeCommands& Decode() const { return *decode_; }
    BusCommands& Buses() const { return *buses_; }
    TSmartTools& SmartTools1() const { return *smartTools_; }
    // What the capabilities beyond the display options remember, in the
    // user's configuration folder; Spurwerk.ini keeps the display options.
    ProgramConfig& Config() const { return *config_; }
    THookHelpSystem* HelpHook() const { return help_.get(); }
    sampling::MonotonicClock& SampleClock() const { return *sampleClock_; }
    // The buffer holds a recording that was never saved: set after a recording
    // (and an import), cleared when it is written, replaced by a loaded file
    // or emptied.
    void SetUnsavedRecording(bool unsaved) { state_.UnsavedRecording = unsaved; }
    bool HasUnsavedRecording() const { return state_.UnsavedRecording; }
    // Asked before a command discards the buffer: true when the command may go
    // on (nothing unsaved, or the user answered "Ja"), false for "Nein".
    bool ConfirmDiscardRecording();
    // Called when a timed recording has ended; finishes a close that came
    // during it, now that the loop has let go of the hardware.
    void RecordingEnded();
    // Opens or imports the file named on the command line.
    void OpenStartFile(const QString& path);
    TAboutBox& AboutBox() const { return *aboutBox_; }
    TOKBottomDlg1& SearchDialog() const { return *searchDialog_; }
    TOKBottomDlg2& BitTextDialog() const { return *bitTextDialog_; }

    // Status message in the message panel, optionally cleared by the reset timer.
    void SetDigiStatus(int panel, const QString& text, bool autoClear);
    // What the program tells beyond the messages of the five panels (measured
    // timing, the time base of a file, hints and warnings), in the field of
    // its own under the scroll bar; it stays until the next one. Empty clears.
    void SetInfo(const QString& text);
    QString Info() const;
    void SetAllButtons(bool enable);
    void SetAllMainMenu(bool enable);
    // A recording is there: it can be saved, closed and printed.
    void EnableFileItems();
    void SetRecordMenuEntry(bool enable);
    void SetAllMenuEntry(bool enable);
    void SetMultiBit(int count);
    // Steps 1 and 2 of SetMultiBit: only the check marks of "Anzahl Bit´s".
    void CheckLineCountItem(int count);
    void SetStandardCaption();
    // Announces the clearing, waits a second for the user to see it, then
    // zeroes the sample buffer and redraws the empty frame at the shown position.
    void ClearSampleBuffer();
    // Sets the window caption; a simulated run says so at its end.
    void SetCaption(const QString& text);

    void E1Click();
    void Einstellungspeichern1Click();
    void KeineHilfevorhanden1Click();
    void Info1Click();
    void Timer2Timer();
    void Timer4Timer();
    void SetIndicatorColor(std::uint32_t color);
    std::uint32_t IndicatorColor() const { return indicatorColor_; }
    // The image of a menu item, by its index in the window's image list.
    void SetImageIndex(QAction* action, int index);

    // What the window manager puts around the window (title bar, borders);
    // until it is shown with a frame, the height of a title bar.
    QMargins FrameMargins() const;
    // The height the window is held at: `wanted` (755 pixels), or less where
    // the free area of its screen cannot hold that with the frame.
    int HeldHeight(int wanted = 755) const;
    // Moves the window, frame included, onto the free area of its screen.
    void KeepOnScreen();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void FormCreate();
    void FormClose();
    void ConnectMenuMessages();
    void CreateDialogs();
    std::unique_ptr<TPortUSB> MakeBoardComponent();

    Desktop& desktop_;
    StartOptions options_;
    MainState state_;
    MainUi ui_;
    MainActions actions_;
    TTrazor* trazor_ = nullptr; // owned by the central widget
    std::unique_ptr<TPortIO> portIO_;
    std::unique_ptr<TPortUSB> portUSB_;
    std::unique_ptr<TSmartTools> smartTools_;
    std::unique_ptr<ProgramConfig> config_;
    std::unique_ptr<THookHelpSystem> help_;
    // The three dialogs live as long as the window and are only shown and hidden.
    TAboutBox* aboutBox_ = nullptr;
    TOKBottomDlg1* searchDialog_ = nullptr;
    TOKBottomDlg2* bitTextDialog_ = nullptr;
    std::uint32_t indicatorColor_ = 0;
    std::unique_ptr<TNewHintWindow> scrollHint_;
    ViewCommands* view_ = nullptr; // command groups are owned as Qt children
    NavigationCommands* navigation_ = nullptr;
    SourceCommands* source_ = nullptr;
    RecordingCommands* recording_ = nullptr;
    SigrokSource* sigrok_ = nullptr;
    LiveCommands* live_ = nullptr;
    FileCommands* file_ = nullptr;
    ExchangeCommands* exchange_ = nullptr;
    SearchCommands* search_ = nullptr;
    DecodeCommands* decode_ = nullptr;
    BusCommands* buses_ = nullptr;
    bool closed_ = false;
    bool closeAfterRecording_ = false;
    // The close under way came from "&Beenden".
    bool quitByMenu_ = false;
    std::unique_ptr<sampling::MonotonicClock> ownClock_;
    sampling::MonotonicClock* sampleClock_ = nullptr;
};
