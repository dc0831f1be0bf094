#include "persistence/RecordingData.h"

#include "persistence/FileAccess.h"

#include <QDir>
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

std::vector<std::uint8_t> ReadRecordingFile(const QString& path) {
    // A file beyond the longest recording is no recording and would only eat
    // the machine's memory.
    return fileaccess::ReadRegularFileBytes(
        path, QStringLiteral("Die Datei"), MaxRecordingFileSize,
        QStringLiteral("Die Datei %1 ist zu groß für eine Aufzeichnung (mehr als %2 Bytes).")
            .arg(QDir::toNativeSeparators(path))
            .arg(MaxRecordingFileSize));
}

void WriteRecordingFile(const QString& path, const std::vector<std::uint8_t>& bytes) {
    fileaccess::WriteRegularFile(
        path, QStringLiteral("Die Datei"),
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                qsizetype(bytes.size())));
}

} // namespace recording
