#pragma once

#include "persistence/IniRegistry.h"
#include "platform/Desktop.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

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
// Made once and brought back to its start-up state for every input: a new
// widget with its 772x390 bitmap per input would cost more than the code
// under test.
class Display {
  public:
    Display();
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // The display as the main window sets it up, with an empty buffer of
    // `cells` (or `stream` loaded into it), no markers and cell `position`
    // shown. Call it inside a TTrazor::DeferredDrawing with the options an
    // input applies next: the picture is then drawn once for all of them.
    TTrazor& Fresh(int cells, std::optional<std::vector<std::uint8_t>> stream = std::nullopt,
                   int position = 0);
    TTrazor& Trazor() { return *trazor_; }
    // Call at the end of every input: gives back the texts the display laid
    // out for it. An input then ends with as many blocks allocated as the one
    // before, and libFuzzer's leak check (a scan of the whole heap after every
    // input that allocated more than it freed) no longer runs for a cache.
    void Finish();

  private:
    void setUp(int cells);

    SilentDesktop desktop_;
    std::unique_ptr<QWidget> owner_;
    TTrazor* trazor_;      // owned by owner_
    TIniRegistry startup_; // the options of the fresh display
};

} // namespace fuzzdisplay
