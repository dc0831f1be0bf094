#pragma once

#include "platform/Desktop.h"

// The desktop of a command that runs without a window: nobody can answer a
// box, so each is answered with its safest button (the command says in its
// own words what went wrong); dialogs are cancelled. Sleeping sleeps;
// there are no events to pump.
class ConsoleDesktop final : public Desktop {
  public:
    int MessageBox(const MessageBoxRequest& request) override;
    std::optional<QString> OpenFileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<QString> SaveFileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<TColor> ColorDialog(TColor) override { return {}; }
    bool PrinterSetupDialog(QPrinter&) override { return false; }
    bool PrintDialog(QPrinter&) override { return false; }
    void Beep() override {}
    void Sleep(int milliseconds) override;
    void PumpEvents() override {}
};
