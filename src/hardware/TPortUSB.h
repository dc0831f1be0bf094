#pragma once

#include "hardware/K8055Library.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

class Desktop;
class TDLLoader;

// How opening picks the board: Auto searches card addresses 3..0, User opens
// the one USBportAddr names.
enum class TUSBConnect { Auto = 0, User = 1 };

// Reads the five digital inputs of up to four K8055 USB boards and runs a
// board self-test, through the board library loaded by name at construction.
// Boards are told apart by card address 0..3; the component and the user
// count them 1..4 (USBportAddr).
class TPortUSB {
  public:
    // Loads libraryName through TDLLoader from the current directory,
    // /usr/local/lib, the system library directory and ./system, in this
    // order; a non-empty libraryDir is searched instead of the current
    // directory (the program passes the folder of its own libraries). A
    // library that cannot be loaded is reported by the loader, and the
    // component goes on without it.
    TPortUSB(Desktop& desktop, const QString& libraryName, const QString& libraryDir = QString());
    ~TPortUSB();
    TPortUSB(const TPortUSB&) = delete;
    TPortUSB& operator=(const TPortUSB&) = delete;

    bool LibraryLoaded() const;

    // Reading: the board USBportAddr names is open. Writing: open (Auto or
    // User) or close (User only).
    bool USBportactive() const;
    void SetUSBportactive(bool value);
    TUSBConnect USBportconnect() const { return connect_; }
    void SetUSBportconnect(TUSBConnect mode) { connect_ = mode; }
    int USBportAddr() const { return addr_; }
    // Ignored while USBprocess is true; a value outside 1..4 selects 1.
    void SetUSBportAddr(int n);
    bool USBportTest() const { return test_; }
    // True runs the self-test to its end, with its message boxes and pauses.
    void SetUSBportTest(bool value);
    bool USBprocess() const { return process_; }

    // The board's five inputs in bits 0..4; 0 when no board is open or the
    // read failed.
    std::uint8_t ReadUsbInputs();

    // The component's last message box.
    QString LastCaption() const { return caption_; }
    QString LastMessage() const { return message_; }

    // Waits (1 ms sleeps) until no open or close runs; the owner calls it
    // before it removes the component.
    void WaitWhileProcessing();

  private:
    struct Slot {
        bool open = false;
        long address = 0;
    };
    enum class Step { AllOnOff, SetChannel, ClearChannel, RampA, RampB, InputEcho };

    void BindLibrary();
    void RefuseOpenOrClose();
    void OpenUser();
    void OpenAuto();
    void CloseUser();
    long CallOpen(long cardAddress);
    void Call(k8055::NoArgFn fn);
    void ShowUsbMessage(int kind, const QString& text = QString());
    void RunTestSteps(int count, Step step, int pause);
    void TestPause(int n);
    bool AddrValid() const { return addr_ >= 1 && addr_ <= 4; }

    Desktop& desktop_;
    QString captionBase_ = QStringLiteral("SELF TPortUSB");
    QString caption_;
    QString message_;
    bool cardOpen_ = false;
    std::array<Slot, 4> slots_{};
    std::unique_ptr<TDLLoader> loader_;

    k8055::OpenDeviceFn openDevice_ = nullptr;
    k8055::NoArgFn closeDevice_ = nullptr;
    k8055::ChannelFn readAnalogChannel_ = nullptr;
    k8055::ReadAllAnalogFn readAllAnalog_ = nullptr;
    k8055::ChannelValueFn outputAnalogChannel_ = nullptr;
    k8055::ChannelValueFn outputAllAnalog_ = nullptr;
    k8055::ChannelFn clearAnalogChannel_ = nullptr;
    k8055::NoArgFn clearAllAnalog_ = nullptr;
    k8055::ChannelFn setAnalogChannel_ = nullptr;
    k8055::NoArgFn setAllAnalog_ = nullptr;
    k8055::ChannelFn writeAllDigital_ = nullptr;
    k8055::ChannelFn clearDigitalChannel_ = nullptr;
    k8055::NoArgFn clearAllDigital_ = nullptr;
    k8055::ChannelFn setDigitalChannel_ = nullptr;
    k8055::NoArgFn setAllDigital_ = nullptr;
    k8055::ChannelFn readDigitalChannel_ = nullptr;
    k8055::NoArgFn readAllDigital_ = nullptr;
    k8055::ChannelFn readCounter_ = nullptr;
    k8055::ChannelFn resetCounter_ = nullptr;
    k8055::ChannelValueFn setCounterDebounceTime_ = nullptr;

    TUSBConnect connect_ = TUSBConnect::Auto;
    int addr_ = 1;
    bool test_ = false;
    bool process_ = false;
};
