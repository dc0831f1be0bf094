#pragma once

#include "persistence/RecordingData.h"

#include <QString>
#include <cstdint>
#include <functional>

class Desktop;
class TTrazor;

// The file routines of the main window's file commands. They work on the
// display component's sample buffer and ask through the desktop.
class TRecordingFile {
  public:
    // What the routines need from the main window: repainting it, setting its
    // caption, and hearing that the buffer was written to a file.
    struct Window {
        std::function<void()> repaint;
        std::function<void(const QString&)> setCaption;
        std::function<void(const QString&)> saved;
    };

    TRecordingFile(Desktop& desktop, TTrazor& trazor, Window window);

    // Asks for a file and loads it into the sample buffer. Returns its path, or
    // the empty text when nothing was loaded (cancelled or missing).
    QString OpenRecordingFile(const QString& title);
    // Loads a named file as OpenRecordingFile does after its dialog: used for
    // a file given on the command line.
    QString LoadRecordingFile(const QString& path);
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
