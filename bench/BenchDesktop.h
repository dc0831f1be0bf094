#pragma once

#include "platform/Desktop.h"
#include "platform/QtDesktop.h"

#include <cstdio>

// The real event pumping and progress bar for benchmarks through the main
// window, without the 500 ms settle wait and with every dialog answered at
// once; message texts can be echoed so a failing run says why.
class BenchDesktop final : public Desktop {
  public:
    explicit BenchDesktop(bool echoMessages = false) : echoMessages_(echoMessages) {}

    int MessageBox(const MessageBoxRequest& r) override {
        if (echoMessages_) std::fprintf(stderr, "message: %s\n", r.text.toUtf8().constData());
        return Ok;
    }
    std::optional<QString> OpenFileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<QString> SaveFileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<TColor> ColorDialog(TColor) override { return std::nullopt; }
    bool PrinterSetupDialog(QPrinter&) override { return false; }
    bool PrintDialog(QPrinter&) override { return false; }
    void Beep() override {}
    void Sleep(int) override {}
    void PumpEvents() override { real_.PumpEvents(); }

  private:
    bool echoMessages_;
    QtDesktop real_;
};
