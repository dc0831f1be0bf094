#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class Desktop;
class HelpWindowHost;
class ProcessLauncher;

// The viewers a help hook uses; those left null are the real ones.
struct HelpBackends {
    HelpWindowHost* window = nullptr;
    ProcessLauncher* launcher = nullptr;
};

// Takes over the application's help requests (F1 on a menu item or widget
// that carries a help context) and opens the help file at the context's
// anchor: in the program's own help window (host type 0) or in an external
// viewer program (1: xdg-open, 2: the browser named by Browser()).
class THookHelpSystem : public QObject {
    Q_OBJECT
  public:
    // Help commands of a request.
    enum Command : int { HelpContextCmd = 1, HelpSetPopupPos = 13, HelpContextPopup = 8 };
    // Results of a context request; anything else is an unknown error.
    enum Result : int {
        Ok = 0,
        NotInstalled = 1,
        ViewerMissing = 2,
        BrowserMissing = 3,
        FileMissing = 4,
        StartFailed = 5,
    };

    THookHelpSystem(Desktop& desktop, const QString& chmFile, const QString& winDef, int hostType,
                    HelpBackends backends = {});
    ~THookHelpSystem() override;

    QString ChmFile() const { return chmFile_; }
    QString WinDef() const { return winDef_; }
    int HostType() const { return hostType_; }
    void SetHostType(int hostType) { hostType_ = hostType; }
    // The viewer program of host type 2.
    QString Browser() const { return browser_; }
    void SetBrowser(const QString& program) { browser_ = program; }
    QPoint PopupPos() const { return popupPos_; }

    // Optional handlers that take context requests (command 1 and 8) over.
    std::function<void(int context)> OnHelpContext;
    std::function<void(int context)> OnHelpPopup;

    // A help request with its command and data word. Returns false for the
    // commands the hook leaves to the default handling. For command 13 the
    // data word holds x in its low and y in its high 16 bits.
    bool HelpRequest(int command, std::int32_t data);

    // Opens the help at a context number; a failure is shown as a warning.
    int HHHelpContext(int context);

    // Closes the help windows, as the program does when it ends.
    void HHCloseAll();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int openContext(int context);
    void reportFailure(int result);
    int contextForHelpKey(QObject* receiver) const;

    Desktop& desktop_;
    QString chmFile_;
    QString winDef_;
    int hostType_;
    QString browser_ = QStringLiteral("x-www-browser");
    QPoint popupPos_;
    std::unique_ptr<HelpWindowHost> ownWindow_;
    std::unique_ptr<ProcessLauncher> ownLauncher_;
    HelpWindowHost* window_;
    ProcessLauncher* launcher_;
};

// The "Hilfe" command: the help's start page.
void KeineHilfevorhanden(THookHelpSystem& hook);
