#pragma once

#include "platform/Desktop.h"

#include <QWidget>
#include <memory>

class TTrazor;

// What the fuzz targets share: an offscreen application, a desktop that
// answers every box with its first button and cancels every dialog, and a
// display set up as the main window sets up its own.
namespace fuzzdisplay {

// Creates the application once; call from LLVMFuzzerInitialize.
void StartApplication();

class SilentDesktop final : public Desktop {
  public:
    int MessageBox(const MessageBoxRequest& request) override;
    std::optional<QString> OpenFileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<QString> SaveFileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<TColor> ColorDialog(TColor) override { return {}; }
    bool PrinterSetupDialog(QPrinter&) override { return false; }
    bool PrintDialog(QPrinter&) override { return false; }
    void Beep() override {}
    void Sleep(int) override {}
    void PumpEvents() override {}
};

// A display of the main window's size and line layout, on an owner of its own.
class Display {
  public:
    explicit Display(int cells);
    ~Display();
    TTrazor& trazor() { return *trazor_; }

  private:
    SilentDesktop desktop_;
    std::unique_ptr<QWidget> owner_;
    TTrazor* trazor_; // owned by owner_
};

} // namespace fuzzdisplay
