#include "persistence/RecordingData.h"

#include "persistence/FileAccess.h"

#include <QDir>
#include <algorithm>
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

void WriteRecordingFileFromWords(const QString& path, const std::vector<std::uint16_t>& words) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    std::size_t at = 0;
    int plane = 0; // 0 the low bytes, 1 the high bytes
    fileaccess::PendingFile(path, QStringLiteral("Die Datei"), [&](QByteArray& piece) {
        if (at == words.size() && plane == 0) {
            at = 0;
            plane = 1;
        }
        if (at == words.size()) return false;
        const std::size_t n = std::min(kPiece, words.size() - at);
        piece.resize(qsizetype(n));
        const int shift = 8 * plane;
        for (std::size_t i = 0; i < n; ++i)
            piece[qsizetype(i)] = char(std::uint8_t(words[at + i] >> shift));
        at += n;
        return true;
    }).Commit();
}

} // namespace recording
