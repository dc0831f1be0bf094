#pragma once

#include "platform/Desktop.h"

#include <QStringList>

namespace cli {

// The desktop of a command that runs without a window: nobody can answer a
// box, so each is kept (the command says in its own words what went wrong)
// and answered with its safest button; dialogs are cancelled. Sleeping sleeps;
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

    // The texts of the boxes shown so far, oldest first.
    const QStringList& Messages() const { return messages_; }

  private:
    QStringList messages_;
};

} // namespace cli
