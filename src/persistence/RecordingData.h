#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// Recording files (*.DIG) hold the display's sample buffer byte for byte: the
// low plane, then the high plane, no header. Any length loads; only files
// larger than MaxRecordingFileSize are refused: the longest buffer a source
// records, 64 Mi cells of two bytes.
namespace recording {
constexpr qsizetype MaxRecordingCells = 64 * 1024 * 1024;
constexpr qsizetype MaxRecordingFileSize = 2 * MaxRecordingCells;

inline const QString Filter =
    QStringLiteral("Digital-Aufzeichnung (*.DIG)|*.DIG|Alle Dateien              (*.*)|*.*");
inline const QString DefaultExtension = QStringLiteral("DIG");
inline const QString DefaultFileName = QStringLiteral("NONAME.DIG");
inline const QString ApplicationTitle = QStringLiteral("Spurwerk");
inline const QString VersionText = QStringLiteral("1.0.40.36");

// Where the open dialog starts: the folder "Spurwerk" in the user's documents.
QString DataDirectory();
// Where the save dialog starts: the user's home directory.
QString SaveDirectory();

// The whole file, read straight into the vector a buffer can take over;
// raises EFileError when it cannot be read or is too large.
std::vector<std::uint8_t> ReadRecordingFile(const QString& path);
// Writes a new file and replaces the old one only once it is complete; raises
// EFileError on failure, leaving any existing file as it was.
void WriteRecordingFile(const QString& path, const std::vector<std::uint8_t>& bytes);
// Writes samples given as one word each (lines D00..D07 in the low byte) as a
// recording file, plane by plane in pieces, without making the planes whole
// in memory first; otherwise as WriteRecordingFile.
void WriteRecordingFileFromWords(const QString& path, const std::vector<std::uint16_t>& words);
} // namespace recording
