#pragma once

#include "platform/Desktop.h"

#include <chrono>

// The real desktop: Qt dialogs, the system beep and the Qt event loop.
class QtDesktop final : public Desktop {
  public:
    int MessageBox(const MessageBoxRequest& request) override;
    std::optional<QString> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileDialog(const FileDialogRequest& request) override;
    std::optional<TColor> ColorDialog(TColor initial) override;
    bool PrinterSetupDialog(QPrinter& printer) override;
    bool PrintDialog(QPrinter& printer) override;
    void Beep() override;
    void Sleep(int milliseconds) override;
    void PumpEvents() override;

  private:
    std::chrono::steady_clock::time_point lastPump_{};
};

// The program's CR and LF CR line breaks as the LF that Qt's boxes break on.
QString toDisplayLineBreaks(QString text);

// The folder a file dialog starts in: path itself, or its nearest existing
// ancestor, or the home folder.
QString nearestExistingDirectory(const QString& path);

// Turns the program's "Text (*.X)|*.X|..." filter into Qt's ";;" form. The
// Windows pattern "*.*" means every file; here it is "*", since on Linux
// "*.*" would hide every name without a dot.
QString toQtFilter(const QString& filter);

// What a file dialog's options ask for once the user has chosen `path`.
enum class ChosenFileCheck { Accept, FolderMissing, AskToCreate };
ChosenFileCheck CheckChosenFile(const QString& path, const Desktop::FileDialogRequest& request);

// The extension a Qt filter entry names, "VCD-Datei (*.vcd)" -> "vcd"; empty
// for "*.*" and for entries of several types.
QString filterExtension(const QString& filter);
