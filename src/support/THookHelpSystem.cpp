#include "support/THookHelpSystem.h"

#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "support/HelpContext.h"
#include "support/HelpViewers.h"
#include "support/THelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QUrl>
#include <QWidget>

namespace {

QString failureText(int result) {
    switch (result) {
    case THookHelpSystem::NotInstalled:
        return QStringLiteral("MS Html Help is not installed on this PC.");
    case THookHelpSystem::ViewerMissing:
        return QStringLiteral("System file KeyHH.EXE was not found in the Windows folder.");
    case THookHelpSystem::BrowserMissing:
        return QStringLiteral("System file HH.EXE was not found in the Windows folder.");
    default:
        return QStringLiteral("Unknown error returned by HHHelpContext");
    }
}

} // namespace

THookHelpSystem::THookHelpSystem(Desktop& desktop, const QString& chmFile, const QString& winDef,
                                 int hostType, HelpBackends backends)
    : desktop_(desktop), chmFile_(chmFile), winDef_(winDef), hostType_(hostType),
      window_(backends.window), launcher_(backends.launcher) {
    if (!window_) {
        ownWindow_ = std::make_unique<THelpWindowHost>();
        window_ = ownWindow_.get();
    }
    if (!launcher_) {
        ownLauncher_ = std::make_unique<SystemProcessLauncher>();
        launcher_ = ownLauncher_.get();
    }
    if (qApp) qApp->installEventFilter(this);
}

THookHelpSystem::~THookHelpSystem() {
    // Hands the help key back to the default handling.
    if (qApp) qApp->removeEventFilter(this);
}

bool THookHelpSystem::HelpRequest(int command, std::int32_t data) {
    switch (command) {
    case HelpContextCmd:
        if (OnHelpContext)
            OnHelpContext(data);
        else
            HHHelpContext(data);
        return true;
    case HelpContextPopup:
        if (OnHelpPopup)
            OnHelpPopup(data);
        else
            HHHelpContext(data);
        return true;
    case HelpSetPopupPos:
        popupPos_ = QPoint(static_cast<std::int16_t>(data & 0xFFFF),
                           static_cast<std::int16_t>((data >> 16) & 0xFFFF));
        return true;
    default:
        return false;
    }
}

int THookHelpSystem::HHHelpContext(int context) {
    const int result = openContext(context);
    if (result != Ok) reportFailure(result);
    return result;
}

int THookHelpSystem::openContext(int context) {
    const QString anchor = help::AnchorOf(context);
    if (hostType_ == 0) {
        if (!QFileInfo(chmFile_).isFile()) return FileMissing;
        window_->ShowAnchor(chmFile_, anchor);
        return Ok;
    }
    if (hostType_ != 1 && hostType_ != 2) return StartFailed;
    const QString program =
        launcher_->FindProgram(hostType_ == 1 ? QStringLiteral("xdg-open") : browser_);
    if (program.isEmpty()) return hostType_ == 1 ? ViewerMissing : BrowserMissing;
    QUrl url = QUrl::fromLocalFile(chmFile_);
    url.setFragment(anchor);
    return launcher_->StartDetached(program, {url.toString()}) ? Ok : StartFailed;
}

void THookHelpSystem::reportFailure(int result) {
    // A missing file says so with the start-up check's words rather than
    // blaming the viewer.
    const QString text = result == FileMissing ? QStringLiteral("Hilfe-Datei nicht gefunden") +
                                                     QLatin1Char('\r') + chmFile_
                                               : failureText(result);
    desktop_.MessageBox({QStringLiteral("Warnung"), text, Desktop::Icon::Warning, Desktop::Ok});
}

void THookHelpSystem::HHCloseAll() {
    window_->CloseAll();
}

int THookHelpSystem::contextForHelpKey(QObject* receiver) const {
    // An open menu answers for its highlighted item, or for itself.
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        if (const QAction* action = menu->activeAction())
            if (const int c = help::HelpContextOf(*action)) return c;
        if (const int c = help::HelpContextOf(*menu->menuAction())) return c;
    }
    for (QObject* o = receiver; o; o = o->parent())
        if (const int c = help::HelpContextOf(*o)) return c;
    return 0;
}

bool THookHelpSystem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        !watched->isWidgetType())
        return false;
    bool handled = false;
    guard::Run(&desktop_, [&] {
        const int context = contextForHelpKey(watched);
        if (context != 0) handled = HelpRequest(HelpContextCmd, context);
    });
    return handled;
}

void KeineHilfevorhanden(THookHelpSystem& hook) {
    hook.HHHelpContext(help::kMainContext);
}
