#include "persistence/RecordingFile.h"

#include "display/TTrazor.h"
#include "persistence/EINIRegistryError.h"
#include "platform/Desktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TRecordingFile::TRecordingFile(Desktop& desktop, TTrazor& trazor, Window window)
    : desktop_(desktop), trazor_(trazor), window_(std::move(window)) {}

QString TRecordingFile::OpenRecordingFile(const QString& title) {
    if (window_.repaint) window_.repaint();
    Desktop::FileDialogRequest request;
    request.fileName = QString();
    request.defaultExt = recording::DefaultExtension;
    request.initialDir = recording::DataDirectory();
    request.title = title;
    request.filter = recording::Filter;
    request.pathMustExist = true;
    request.createPrompt = true;
    const std::optional<QString> chosen = desktop_.OpenFileDialog(request);
    if (!chosen) return QString();
    return LoadRecordingFile(*chosen);
}

QString TRecordingFile::LoadRecordingFile(const QString& path) {
    if (!QFileInfo::exists(path)) {
        desktop_.MessageBox(
            {QStringLiteral("Fehler"),
             QStringLiteral("Die Datei ist nicht vorhanden !!!\r") + QFileInfo(path).fileName(),
             Desktop::Icon::Error, Desktop::Ok});
        return QString();
    }
    // Read first: a file that cannot be read changes neither the caption nor the buffer.
    // Read into the vector the buffer takes over: the file's bytes exist once.
    std::vector<std::uint8_t> bytes = recording::ReadRecordingFile(path);
    if (window_.setCaption)
        window_.setCaption(recording::ApplicationTitle + " Version " + recording::VersionText +
                           " - " + path);
    trazor_.LoadStream(std::move(bytes));
    return path;
}

bool TRecordingFile::SaveRecordingFile(const QString& titlePrefix, std::uint8_t mode,
                                       const QString& fileName) {
    const QString name = fileName.isEmpty() ? recording::DefaultFileName : fileName;
    QString title = titlePrefix;
    if (mode == 0) title += QStringLiteral("Daten speichern");
    if (mode == 1) title += QStringLiteral("Daten von Datenträger löschen");
    if (mode == 3) title += QStringLiteral("Daten speichern unter");
    if (mode > 3) return true;

    QString path = name;
    if (mode != 2) {
        Desktop::FileDialogRequest request;
        request.defaultExt = recording::DefaultExtension;
        request.fileName = name;
        request.initialDir = recording::SaveDirectory();
        request.title = title;
        request.filter = recording::Filter;
        request.pathMustExist = true;
        request.createPrompt = true;
        const std::optional<QString> chosen = desktop_.SaveFileDialog(request);
        if (!chosen) return false;
        path = *chosen;
    }

    if (mode == 1) {
        if (QFileInfo::exists(path)) {
            QFile file(path);
            if (!file.remove())
                throw EFileError(QStringLiteral("Die Datei %1 kann nicht gelöscht werden: %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString()));
            if (window_.repaint) window_.repaint();
        }
        return true;
    }

    const int answer = QFileInfo::exists(path) ? ConfirmOverwrite(0, path) : ModalYes;
    if (answer == ModalYes) {
        recording::WriteRecordingFile(path, trazor_.Stream());
        if (window_.saved) window_.saved(path);
    }
    return true;
}

int TRecordingFile::ConfirmOverwrite(std::uint8_t silent, const QString& fileName) {
    if (silent != 0) return 0;
    const QString text = QStringLiteral("Die Datei ") + QFileInfo(fileName).fileName() +
                         QStringLiteral(" ist schon vorhanden !\rSoll diese Datei überschrieben "
                                        "werden ?\r");
    const int pressed = desktop_.MessageBox(
        {recording::ApplicationTitle, text, Desktop::Icon::None, Desktop::Yes | Desktop::No});
    return pressed == Desktop::Yes ? ModalYes : ModalNo;
}
