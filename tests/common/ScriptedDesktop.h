#pragma once

#include "QtPrinters.h"
#include "platform/Desktop.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// A desktop for tests: records every call and answers from a script. With an
// empty script a message box answers with its first button, dialogs are
// cancelled, and nothing waits.
class ScriptedDesktop final : public Desktop {
  public:
    struct Call {
        enum class Kind {
            MessageBox,
            OpenFile,
            SaveFile,
            Color,
            PrinterSetup,
            Print,
            Beep,
            Sleep,
            Pump
        };
        Kind kind;
        MessageBoxRequest message; // for MessageBox
        FileDialogRequest file;    // for OpenFile and SaveFile
        TColor color = 0;          // for Color: the initial colour
        int milliseconds = 0;      // for Sleep
    };

    int MessageBox(const MessageBoxRequest& request) override;
    std::optional<QString> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileDialog(const FileDialogRequest& request) override;
    std::optional<TColor> ColorDialog(TColor initial) override;
    bool PrinterSetupDialog(QPrinter& printer) override;
    bool PrintDialog(QPrinter& printer) override;
    void Beep() override;
    void Sleep(int milliseconds) override;
    void PumpEvents() override;

    // Script: answers are used front to back.
    std::deque<int> messageAnswers;
    std::deque<QString> fileAnswers; // a null QString() cancels the dialog
    std::deque<std::optional<TColor>> colorAnswers;
    std::deque<bool> printAnswers;
    // Real event processing in PumpEvents (off by default: tests stay deterministic).
    bool processEventsOnPump = false;
    // Called on every PumpEvents, so a test can run a nested command mid-loop.
    std::function<void()> onPump;
    // Called when a message box is shown, before it answers.
    std::function<void(const MessageBoxRequest&)> onMessage;
    // Called with the printer when the printer set-up or print dialog is
    // shown, before it answers, so a test can play the user's choices.
    std::function<void(QPrinter&)> onPrinterDialog;

    std::vector<Call> calls;
    int pumps = 0;

    // Queries over the recorded calls.
    std::vector<MessageBoxRequest> messages() const;
    int count(Call::Kind kind) const;
    int beeps() const { return count(Call::Kind::Beep); }
    int totalSleepMs() const;
    void clear() {
        calls.clear();
        pumps = 0;
    }
};
