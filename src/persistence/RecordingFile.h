#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class Desktop;
class TTrazor;

// Recording files (*.DIG) hold the display's sample buffer byte for byte: the
// low plane, then the high plane, no header. Any length loads; only files
// larger than MaxRecordingFileSize are refused.
namespace recording {
constexpr qsizetype MaxRecordingFileSize = 64 * 1024 * 1024;

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

// The whole file; raises EFileError when it cannot be read or is too large.
QByteArray ReadRecordingFile(const QString& path);
// Writes a new file and replaces the old one only once it is complete; raises
// EFileError on failure, leaving any existing file as it was.
void WriteRecordingFile(const QString& path, const std::vector<std::uint8_t>& bytes);
} // namespace recording

// The file routines of the main window's file commands. They work on the
// display component's sample buffer and ask through the desktop.
class TRecordingFile {
  public:
    // What the routines need from the main window: repainting it and setting its caption.
    struct Window {
        std::function<void()> repaint;
        std::function<void(const QString&)> setCaption;
    };

    TRecordingFile(Desktop& desktop, TTrazor& trazor, Window window);

    // Asks for a file and loads it into the sample buffer. Returns its path, or
    // the empty text when nothing was loaded (cancelled or missing).
    QString OpenRecordingFile(const QString& title);
    // Mode 0 save, 1 delete, 2 save to FileName without a dialog, 3 save as,
    // 4..255 nothing. False only when a dialog was cancelled.
    bool SaveRecordingFile(const QString& titlePrefix, std::uint8_t mode, const QString& fileName);
    // With Silent 0 asks whether the existing file may be replaced: 6 Yes, 7 No.
    // Any other Silent answers 0 without asking.
    int ConfirmOverwrite(std::uint8_t silent, const QString& fileName);

    static constexpr int ModalYes = 6;
    static constexpr int ModalNo = 7;

  private:
    Desktop& desktop_;
    TTrazor& trazor_;
    Window window_;
};
