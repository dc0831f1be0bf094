#pragma once

#include "platform/Color.h"

#include <QString>
#include <optional>

class QPrinter;

// Everything that waits for the user or the clock goes through this interface,
// so that tests can script the answers and read back what the user was shown.
class Desktop {
  public:
    enum class Icon { None, Information, Warning, Error, Question };

    // Buttons of a message box and its answer; several buttons are or-ed.
    enum Button : int {
        NoButton = 0,
        Ok = 1,
        Cancel = 2,
        Yes = 4,
        No = 8,
        Abort = 16,
        Retry = 32,
        Ignore = 64,
    };

    struct MessageBoxRequest {
        QString caption;
        QString text;
        Icon icon = Icon::None;
        int buttons = Ok;
    };

    struct FileDialogRequest {
        QString title;
        QString filter;     // "Name (*.EXT)|*.EXT|..." pairs as the program writes them
        QString defaultExt; // appended to a typed name without extension
        QString initialDir;
        QString fileName;
        bool overwritePrompt = false;
        bool fileMustExist = false;
        bool pathMustExist = false; // the chosen file's folder must exist
        bool createPrompt = false;  // a file that does not exist yet is asked for
    };

    virtual ~Desktop() = default;

    // Shows a modal box; answers the button pressed.
    virtual int MessageBox(const MessageBoxRequest& request) = 0;
    // Convenience for a box with only an OK button.
    void ShowMessage(const QString& text, const QString& caption = QString(),
                     Icon icon = Icon::None);

    virtual std::optional<QString> OpenFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<TColor> ColorDialog(TColor initial) = 0;
    virtual bool PrinterSetupDialog(QPrinter& printer) = 0;
    virtual bool PrintDialog(QPrinter& printer) = 0;

    virtual void Beep() = 0;
    virtual void Sleep(int milliseconds) = 0;
    // Lets pending window events run, as long commands do at fixed points.
    virtual void PumpEvents() = 0;
};
