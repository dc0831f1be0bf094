#include "platform/QtDesktop.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>
#include <QThread>

namespace {

QMessageBox::Icon toQtIcon(Desktop::Icon icon) {
    switch (icon) {
    case Desktop::Icon::Information:
        return QMessageBox::Information;
    case Desktop::Icon::Warning:
        return QMessageBox::Warning;
    case Desktop::Icon::Error:
        return QMessageBox::Critical;
    case Desktop::Icon::Question:
        return QMessageBox::Question;
    case Desktop::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonPair {
    int ours;
    QMessageBox::StandardButton qt;
};
constexpr ButtonPair kButtons[] = {
    {Desktop::Ok, QMessageBox::Ok},         {Desktop::Cancel, QMessageBox::Cancel},
    {Desktop::Yes, QMessageBox::Yes},       {Desktop::No, QMessageBox::No},
    {Desktop::Abort, QMessageBox::Abort},   {Desktop::Retry, QMessageBox::Retry},
    {Desktop::Ignore, QMessageBox::Ignore},
};

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

bool askYesNo(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> runFileDialog(const Desktop::FileDialogRequest& r, bool save) {
    QFileDialog dialog(dialogParent(), r.title, QString(), toQtFilter(r.filter));
    // Qt's own dialog everywhere: the same options, texts and checks on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(nearestExistingDirectory(r.initialDir));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !r.fileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!r.defaultExt.isEmpty()) dialog.setDefaultSuffix(r.defaultExt);
    // As on Windows, a name typed without extension takes the chosen file
    // type's one, so the type list can choose a format.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        const QString ext = filterExtension(f);
        if (!ext.isEmpty()) dialog.setDefaultSuffix(ext);
    });
    // The program asks its own overwrite question where it wants one.
    if (!r.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!r.fileName.isEmpty()) dialog.selectFile(r.fileName);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString path = dialog.selectedFiles().constFirst();
        const QFileInfo info(path);
        switch (CheckChosenFile(path, r)) {
        case ChosenFileCheck::Accept:
            return path;
        case ChosenFileCheck::FolderMissing:
            QMessageBox::warning(&dialog, r.title,
                                 QStringLiteral("Der Pfad ist nicht vorhanden:\n") +
                                     QDir::toNativeSeparators(info.absolutePath()));
            break;
        case ChosenFileCheck::AskToCreate:
            if (askYesNo(&dialog, r.title,
                         QStringLiteral("Die Datei %1 ist nicht vorhanden.\nSoll sie erstellt "
                                        "werden?")
                             .arg(info.fileName())))
                return path;
            break;
        }
    }
}

} // namespace

QString nearestExistingDirectory(const QString& path) {
    // A start folder that does not exist (yet) must not turn into a proposed
    // file name; the dialog starts in the nearest folder that does exist.
    if (path.isEmpty()) return QDir::homePath();
    QString dir = QDir::cleanPath(QDir(path).absolutePath());
    while (!QFileInfo(dir).isDir()) {
        const QString parent = QFileInfo(dir).path();
        if (parent == dir) return QDir::homePath();
        dir = parent;
    }
    return dir;
}

QString filterExtension(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !filter.endsWith(QLatin1Char(')'))) return QString();
    const QStringList list =
        filter.mid(open + 1).chopped(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (list.size() != 1 || !list.front().startsWith(QStringLiteral("*."))) return QString();
    const QString ext = list.front().mid(2);
    return ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?')) ? QString() : ext;
}

QString toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    const auto linuxPatterns = [](QString text) {
        return text.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    };
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the parentheses of the entry's name.
        const QString name = linuxPatterns(parts[i].trimmed());
        const QString patterns =
            linuxPatterns(QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
        out << (name.contains(QLatin1Char('(')) ? name : name + " (" + patterns + ")");
    }
    return out.join(QStringLiteral(";;"));
}

ChosenFileCheck CheckChosenFile(const QString& path, const Desktop::FileDialogRequest& request) {
    const QFileInfo info(path);
    if (request.pathMustExist && !QFileInfo(info.absolutePath()).isDir())
        return ChosenFileCheck::FolderMissing;
    if (request.createPrompt && !info.exists()) return ChosenFileCheck::AskToCreate;
    return ChosenFileCheck::Accept;
}

QString toDisplayLineBreaks(QString text) {
    // The program's texts break lines with CR (German messages) or LF CR
    // (hardware messages); Qt's boxes break on LF only.
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

int QtDesktop::MessageBox(const MessageBoxRequest& request) {
    QMessageBox box(toQtIcon(request.icon),
                    request.caption.isEmpty() ? QApplication::applicationName() : request.caption,
                    toDisplayLineBreaks(request.text), QMessageBox::NoButton, dialogParent());
    for (const auto& b : kButtons)
        if (request.buttons & b.ours) box.addButton(b.qt);
    if (request.buttons == NoButton) box.addButton(QMessageBox::Ok);
    const int pressed = box.exec();
    for (const auto& b : kButtons)
        if (pressed == b.qt) return b.ours;
    return request.buttons & Cancel ? Cancel : (request.buttons & No ? No : Ok);
}

std::optional<QString> QtDesktop::OpenFileDialog(const FileDialogRequest& request) {
    return runFileDialog(request, false);
}

std::optional<QString> QtDesktop::SaveFileDialog(const FileDialogRequest& request) {
    return runFileDialog(request, true);
}

std::optional<TColor> QtDesktop::ColorDialog(TColor initial) {
    const QColor chosen = QColorDialog::getColor(colors::toQColor(initial), dialogParent());
    if (!chosen.isValid()) return std::nullopt;
    return colors::fromQColor(chosen);
}

bool QtDesktop::PrinterSetupDialog(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

bool QtDesktop::PrintDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

void QtDesktop::Beep() {
    QApplication::beep();
}

void QtDesktop::Sleep(int milliseconds) {
    if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtDesktop::PumpEvents() {
    // Sample loops call this for every sample; running the event loop that
    // often would cost more than the port reads themselves.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump_ < std::chrono::milliseconds(1)) return;
    lastPump_ = now;
    QCoreApplication::processEvents();
}
