#include "hardware/TPortUSB.h"

#include "platform/Desktop.h"
#include "support/TDLLoader.h"

#include <cstdint>

namespace {
// The component's messages break lines with LF then CR.
const QString LineBreak = QStringLiteral("\n\r");
// A removal waits for a running open or close; none can outlast this in a
// single-threaded program, so a longer wait would only freeze the window.
constexpr int MaxRemovalWaitMs = 1000;

template <class Fn> Fn Bind(const TDLLoader& loader, const char* name) {
    return reinterpret_cast<Fn>(loader.GetProc(QString::fromLatin1(name)));
}
} // namespace

TPortUSB::TPortUSB(Desktop& desktop, const QString& libraryName, const QString& libraryDir)
    : desktop_(desktop), loader_(std::make_unique<TDLLoader>(desktop, libraryName)) {
    if (!libraryDir.isEmpty()) loader_->FileUtils().SetPath_CurrProgram(libraryDir);
    loader_->SetActivate_DLL(true);
    if (loader_->Activate_DLL()) BindLibrary();
}

TPortUSB::~TPortUSB() {
    WaitWhileProcessing();
    const bool loaded = loader_->Activate_DLL();
    if (cardOpen_ && AddrValid() && slots_[addr_ - 1].open && loaded) Call(clearAllAnalog_);
    if (loaded) {
        Call(clearAllDigital_);
        Call(closeDevice_);
    }
    loader_.reset();
}

bool TPortUSB::LibraryLoaded() const {
    return loader_->Activate_DLL();
}

void TPortUSB::BindLibrary() {
    const TDLLoader& l = *loader_;
    openDevice_ = Bind<k8055::OpenDeviceFn>(l, "OpenDevice");
    closeDevice_ = Bind<k8055::NoArgFn>(l, "CloseDevice");
    readAnalogChannel_ = Bind<k8055::ChannelFn>(l, "ReadAnalogChannel");
    readAllAnalog_ = Bind<k8055::ReadAllAnalogFn>(l, "ReadAllAnalog");
    outputAnalogChannel_ = Bind<k8055::ChannelValueFn>(l, "OutputAnalogChannel");
    outputAllAnalog_ = Bind<k8055::ChannelValueFn>(l, "OutputAllAnalog");
    clearAnalogChannel_ = Bind<k8055::ChannelFn>(l, "ClearAnalogChannel");
    clearAllAnalog_ = Bind<k8055::NoArgFn>(l, "ClearAllAnalog");
    setAnalogChannel_ = Bind<k8055::ChannelFn>(l, "SetAnalogChannel");
    setAllAnalog_ = Bind<k8055::NoArgFn>(l, "SetAllAnalog");
    writeAllDigital_ = Bind<k8055::ChannelFn>(l, "WriteAllDigital");
    clearDigitalChannel_ = Bind<k8055::ChannelFn>(l, "ClearDigitalChannel");
    clearAllDigital_ = Bind<k8055::NoArgFn>(l, "ClearAllDigital");
    setDigitalChannel_ = Bind<k8055::ChannelFn>(l, "SetDigitalChannel");
    setAllDigital_ = Bind<k8055::NoArgFn>(l, "SetAllDigital");
    readDigitalChannel_ = Bind<k8055::ChannelFn>(l, "ReadDigitalChannel");
    readAllDigital_ = Bind<k8055::NoArgFn>(l, "ReadAllDigital");
    readCounter_ = Bind<k8055::ChannelFn>(l, "ReadCounter");
    resetCounter_ = Bind<k8055::ChannelFn>(l, "ResetCounter");
    setCounterDebounceTime_ = Bind<k8055::ChannelValueFn>(l, "SetCounterDebounceTime");
}

bool TPortUSB::USBportactive() const {
    return AddrValid() && slots_[addr_ - 1].open;
}

void TPortUSB::SetUSBportactive(bool value) {
    if (value) {
        if (connect_ == TUSBConnect::User)
            OpenUser();
        else
            OpenAuto();
        return;
    }
    if (connect_ == TUSBConnect::User) CloseUser();
}

void TPortUSB::SetUSBportAddr(int n) {
    if (process_ || n == addr_) return;
    addr_ = (n >= 1 && n <= 4) ? n : 1;
}

long TPortUSB::CallOpen(long cardAddress) {
    if (!openDevice_) return -1;
    return static_cast<std::int32_t>(openDevice_(cardAddress));
}

void TPortUSB::Call(k8055::NoArgFn fn) {
    if (fn) fn();
}

void TPortUSB::RefuseOpenOrClose() {
    cardOpen_ = false;
    // A refusal because another open or close runs (its message box is up)
    // leaves that one's flag alone: clearing it would let further commands in.
    ShowUsbMessage(1);
}

void TPortUSB::OpenUser() {
    if (!AddrValid() || process_) {
        RefuseOpenOrClose();
        return;
    }
    process_ = true;
    const int slot = addr_ - 1;
    if (!slots_[slot].open) {
        const long r = CallOpen(slot);
        if (r >= 0 && r <= 3) {
            cardOpen_ = true;
            slots_[slot] = {true, slot};
            Call(clearAllDigital_);
            Call(clearAllAnalog_);
        } else if (r == -2) {
            ShowUsbMessage(11);
            cardOpen_ = false;
        } else if (r == -1) {
            cardOpen_ = false;
            ShowUsbMessage(1);
        }
    }
    process_ = false;
}

void TPortUSB::OpenAuto() {
    if (process_) return;
    process_ = true;
    for (int a = 3; a >= 0; --a) {
        if (slots_[a].open) continue;
        const long r = CallOpen(a);
        if (r >= 0 && r <= 3) {
            cardOpen_ = true;
            slots_[a] = {true, a};
            addr_ = a + 1;
            Call(clearAllDigital_);
            Call(clearAllAnalog_);
            break;
        }
        if (r == -1 || r == -2) cardOpen_ = false;
    }
    process_ = false;
}

void TPortUSB::CloseUser() {
    if (!AddrValid() || process_) {
        RefuseOpenOrClose();
        return;
    }
    process_ = true;
    Call(closeDevice_);
    slots_[addr_ - 1] = {false, 0};
    cardOpen_ = false;
    process_ = false;
}

std::uint8_t TPortUSB::ReadUsbInputs() {
    if (!cardOpen_ || !AddrValid() || !slots_[addr_ - 1].open || !readAllDigital_) return 0;
    // A failed read (the board unplugged or not answering) comes back as -1;
    // its low byte would show every line high, so it reads as no inputs.
    const long inputs = readAllDigital_();
    if (inputs < 0) return 0;
    return static_cast<std::uint8_t>(inputs);
}

void TPortUSB::SetUSBportTest(bool value) {
    if (process_) {
        ShowUsbMessage(9);
        return;
    }
    if (value == test_) return;
    test_ = value;
    if (AddrValid()) {
        if (slots_[addr_ - 1].open && value) {
            desktop_.PumpEvents();
            ShowUsbMessage(5);
            RunTestSteps(8, Step::AllOnOff, 32);
            RunTestSteps(8, Step::SetChannel, 32);
            RunTestSteps(8, Step::ClearChannel, 32);
            RunTestSteps(255, Step::RampA, 1);
            RunTestSteps(255, Step::RampB, 1);
            RunTestSteps(5, Step::InputEcho, 128);
            Call(clearAllDigital_);
            Call(clearAllAnalog_);
            ShowUsbMessage(7);
        } else {
            ShowUsbMessage(8);
        }
    }
    test_ = false;
}

void TPortUSB::RunTestSteps(int count, Step step, int pause) {
    const auto output = [this](long channel, long value) {
        if (outputAnalogChannel_) outputAnalogChannel_(channel, value);
    };
    const auto channelCall = [](k8055::ChannelFn fn, long channel) {
        if (fn) fn(channel);
    };
    for (int i = 1; i <= count; ++i) {
        switch (step) {
        case Step::AllOnOff:
            Call(setAllDigital_);
            Call(setAllAnalog_);
            TestPause(pause);
            Call(clearAllDigital_);
            Call(clearAllAnalog_);
            break;
        case Step::SetChannel:
            channelCall(setDigitalChannel_, i);
            break;
        case Step::ClearChannel:
            channelCall(clearDigitalChannel_, i);
            break;
        case Step::RampA:
            output(1, i);
            output(2, 255 - i);
            break;
        case Step::RampB:
            output(1, 255 - i);
            output(2, i);
            break;
        case Step::InputEcho: {
            ShowUsbMessage(6, QString::number(i));
            const long inputs = readAllDigital_ ? readAllDigital_() : 0;
            channelCall(writeAllDigital_, inputs);
            TestPause(pause);
            break;
        }
        }
        TestPause(pause);
    }
}

void TPortUSB::TestPause(int n) {
    for (int k = 0; k <= n; ++k) {
        desktop_.Sleep(1);
        desktop_.PumpEvents();
    }
}

void TPortUSB::WaitWhileProcessing() {
    for (int waited = 0; process_ && waited < MaxRemovalWaitMs; ++waited)
        desktop_.Sleep(1);
}

void TPortUSB::ShowUsbMessage(int kind, const QString& text) {
    const bool testMessage = kind == 5 || kind == 6 || kind == 7;
    caption_ = captionBase_ + QStringLiteral(" ") +
               (testMessage ? QStringLiteral("- Component test message.")
                            : QStringLiteral("Component - Error"));
    switch (kind) {
    case 5:
        message_ = QStringLiteral("Selftest of your USB card are started") + LineBreak +
                   QStringLiteral("If there an error, please check your card.") + LineBreak;
        break;
    case 6:
        message_ = QStringLiteral("Attation, these selftest are check your input channel.") +
                   LineBreak + QStringLiteral("Push an INP ") + text +
                   QStringLiteral(" button  on your USB card, please") + LineBreak;
        break;
    case 7:
        message_ = QStringLiteral("Self test was closed at these moment.") + LineBreak +
                   QStringLiteral("If there an error, please check your card.") + LineBreak;
        break;
    case 8:
        message_ = QStringLiteral("Sorry, these USB port are not open.") + LineBreak +
                   QStringLiteral("Check your parameter, please.") + LineBreak;
        break;
    case 9:
        message_ = QStringLiteral("Wait please, your USB driver init a card these moment.") +
                   LineBreak +
                   QStringLiteral("For deactive message, check internal variable USBProcess") +
                   LineBreak + QStringLiteral("for activate, please.") + LineBreak;
        break;
    case 11:
        message_ = QStringLiteral("Sorry, K8055.DLL has not found FasTTime32.DLL and K8055E0..x.") +
                   LineBreak +
                   QStringLiteral("Please, check your Windows NT 3.51, NT 4.0. or XP system") +
                   LineBreak + QStringLiteral("of these DLL and executation program.") + LineBreak;
        break;
    default:
        message_ = QStringLiteral("Could not start your USB card. Something was wrong !") +
                   LineBreak + QStringLiteral("Please, check your ") +
                   QStringLiteral("USB wire or K8055 card.") + LineBreak;
        break;
    }
    desktop_.MessageBox({caption_, message_, Desktop::Icon::Error, Desktop::Ok});
}
