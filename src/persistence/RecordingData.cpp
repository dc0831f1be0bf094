#include "persistence/RecordingData.h"

#include "persistence/EINIRegistryError.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace recording {

QString DataDirectory() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("Spurwerk"));
}

QString SaveDirectory() {
    return QDir::homePath();
}

QByteArray ReadRecordingFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2")
                             .arg(shown, file.errorString()));
    // A recording is at most a few MiB; a file far beyond that is no recording
    // and would only eat the machine's memory. Reading in chunks also bounds
    // devices and pipes, whose size is not known in advance.
    const auto tooLarge = [&] {
        return EFileError(
            QStringLiteral("Die Datei %1 ist zu groß für eine Aufzeichnung (mehr als %2 Bytes).")
                .arg(shown)
                .arg(MaxRecordingFileSize));
    };
    if (file.size() > MaxRecordingFileSize) throw tooLarge();
    constexpr qint64 chunk = 1024 * 1024;
    QByteArray bytes;
    for (;;) {
        const QByteArray part = file.read(chunk);
        if (file.error() != QFileDevice::NoError)
            throw EFileError(QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2")
                                 .arg(shown, file.errorString()));
        if (part.isEmpty()) break;
        bytes += part;
        if (bytes.size() > MaxRecordingFileSize) throw tooLarge();
    }
    return bytes;
}

void WriteRecordingFile(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QSaveFile file(path);
    const auto size = static_cast<qint64>(bytes.size());
    // The explicit flush matters: commit() alone does not notice a write that
    // fails while the last buffered bytes go out (a full disk), and would put
    // the cut file in place of the old one.
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.flush() ||
        !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw EFileError(QStringLiteral("Die Datei %1 kann nicht gespeichert werden: %2")
                             .arg(QDir::toNativeSeparators(path), reason));
    }
}

} // namespace recording
