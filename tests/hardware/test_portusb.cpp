#include "K8055Sim.h"
#include "ScriptedDesktop.h"
#include "hardware/TPortUSB.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString Kind1 = QStringLiteral("Could not start your USB card. Something was wrong !\n\r"
                                     "Please, check your USB wire or K8055 card.\n\r");
const QString ErrorCaption = QStringLiteral("SELF TPortUSB Component - Error");
const QString TestCaption = QStringLiteral("SELF TPortUSB - Component test message.");

QStringList BoardLog() {
    return QString::fromLatin1(k8055sim_CallLog()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList Lines(std::initializer_list<const char*> lines) {
    QStringList out;
    for (const char* l : lines)
        out << QString::fromLatin1(l);
    return out;
}

// The component on the simulated board library, with the board log on.
class PortUSBTest : public ::testing::Test {
  protected:
    void SetUp() override {
        k8055sim_Reset();
        usb = std::make_unique<TPortUSB>(desktop, k8055::SimulatedLibraryName(),
                                         QStringLiteral(SPURWERK_BINARY_DIR));
        k8055sim_SetLogging(1);
    }
    void TearDown() override {
        usb.reset();
        k8055sim_Reset();
    }
    void OpenUser(int card) {
        usb->SetUSBportconnect(TUSBConnect::User);
        usb->SetUSBportAddr(card);
        usb->SetUSBportactive(true);
    }

    ScriptedDesktop desktop;
    std::unique_ptr<TPortUSB> usb;
};

} // namespace

TEST_F(PortUSBTest, UserModeOpensAPresentBoardAndClearsItsOutputs) {
    ASSERT_TRUE(usb->LibraryLoaded());
    OpenUser(1);
    EXPECT_TRUE(usb->USBportactive());
    EXPECT_EQ(BoardLog(), Lines({"OpenDevice(0)=0", "ClearAllDigital()", "ClearAllAnalog()"}));
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_FALSE(usb->USBprocess());

    k8055sim_ClearLog();
    usb->SetUSBportactive(true); // already open: no library call
    EXPECT_TRUE(BoardLog().isEmpty());
}

TEST_F(PortUSBTest, UserModeOpenResultsAndTheirMessages) {
    struct Case {
        const char* name;
        int card;
        bool force;
        long forced;
        const char* log;
        int kind; // 0: no message
    } cases[] = {
        {"absent board", 2, false, 0, "OpenDevice(1)=-1", 1},
        {"support files missing", 1, true, -2, "OpenDevice(0)=-2", 11},
        {"unknown answer", 1, true, 7, "OpenDevice(0)=7", 0},
    };
    const QString kind11 =
        QStringLiteral("Sorry, K8055.DLL has not found FasTTime32.DLL and K8055E0..x.\n\rPlease, "
                       "check your Windows NT 3.51, NT 4.0. or XP system\n\rof these DLL and "
                       "executation program.\n\r");
    for (const auto& c : cases) {
        desktop.clear();
        k8055sim_ClearLog();
        k8055sim_ForceOpenResult(c.force, c.forced);
        OpenUser(c.card);
        EXPECT_FALSE(usb->USBportactive()) << c.name;
        EXPECT_EQ(BoardLog(), Lines({c.log})) << c.name;
        const auto shown = desktop.messages();
        if (c.kind == 0) {
            EXPECT_TRUE(shown.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(shown.size(), 1u) << c.name;
        EXPECT_EQ(shown[0].text, c.kind == 1 ? Kind1 : kind11) << c.name;
        EXPECT_EQ(shown[0].caption, ErrorCaption) << c.name;
        EXPECT_EQ(shown[0].icon, Desktop::Icon::Error);
        EXPECT_EQ(usb->LastMessage(), shown[0].text);
        EXPECT_EQ(usb->ReadUsbInputs(), 0);
    }
}

TEST_F(PortUSBTest, AFailedReadOfAnUnpluggedBoardReadsAsNoInputs) {
    k8055sim_SetInputs(0, 0x15);
    OpenUser(1);
    EXPECT_EQ(usb->ReadUsbInputs(), 0x15);
    k8055sim_Unplug(0);
    k8055sim_ClearLog();
    // The library answers -1; its low byte would be every line high.
    EXPECT_EQ(usb->ReadUsbInputs(), 0);
    EXPECT_EQ(BoardLog(), Lines({"ReadAllDigital()=-1"}));
}

TEST_F(PortUSBTest, AutoModePicksTheHighestPresentBoardSilently) {
    k8055sim_SetBoardPresent(0, 0);
    k8055sim_SetBoardPresent(1, 1);
    k8055sim_SetBoardPresent(3, 1);
    usb->SetUSBportactive(true);
    EXPECT_EQ(usb->USBportAddr(), 4);
    EXPECT_TRUE(usb->USBportactive());
    EXPECT_EQ(BoardLog(), Lines({"OpenDevice(3)=3", "ClearAllDigital()", "ClearAllAnalog()"}));

    // Closing in auto mode closes nothing.
    k8055sim_ClearLog();
    usb->SetUSBportactive(false);
    EXPECT_TRUE(usb->USBportactive());
    EXPECT_TRUE(BoardLog().isEmpty());
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(PortUSBTest, AutoModeWithoutBoardsShowsNothing) {
    k8055sim_SetBoardPresent(0, 0);
    usb->SetUSBportactive(true);
    EXPECT_EQ(BoardLog(), Lines({"OpenDevice(3)=-1", "OpenDevice(2)=-1", "OpenDevice(1)=-1",
                                 "OpenDevice(0)=-1"}));
    EXPECT_FALSE(usb->USBportactive());
    EXPECT_EQ(usb->USBportAddr(), 1);
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(PortUSBTest, UserModeCloseClosesTheDevice) {
    OpenUser(1);
    k8055sim_ClearLog();
    usb->SetUSBportactive(false);
    EXPECT_FALSE(usb->USBportactive());
    EXPECT_EQ(BoardLog(), Lines({"CloseDevice()"}));
    EXPECT_FALSE(k8055sim_IsOpen(0));
    EXPECT_EQ(usb->ReadUsbInputs(), 0);
}

TEST_F(PortUSBTest, CardAddressKeepsToOneToFour) {
    struct Case {
        int set;
        int expected;
    } cases[] = {{3, 3}, {3, 3}, {7, 1}, {4, 4}, {0, 1}, {-2, 1}};
    for (const auto& c : cases) {
        usb->SetUSBportAddr(c.set);
        EXPECT_EQ(usb->USBportAddr(), c.expected) << c.set;
    }
}

TEST_F(PortUSBTest, ReadUsbInputsGivesTheFiveInputsOfAnOpenBoardOnly) {
    k8055sim_SetInputs(0, 0x15);
    EXPECT_EQ(usb->ReadUsbInputs(), 0);
    EXPECT_TRUE(BoardLog().isEmpty());
    OpenUser(1);
    k8055sim_ClearLog();
    EXPECT_EQ(usb->ReadUsbInputs(), 0x15);
    EXPECT_EQ(BoardLog(), Lines({"ReadAllDigital()=21"}));
}

TEST_F(PortUSBTest, SelfTestRunsItsSixRowsWithPausesAndMessages) {
    OpenUser(1);
    k8055sim_SetInputs(0, 0x0B);
    k8055sim_ClearLog();
    int nestedRequests = 0;
    desktop.onPump = [&] {
        // A second test request while one runs is a no-op.
        if (nestedRequests++ == 0) usb->SetUSBportTest(true);
        EXPECT_TRUE(usb->USBportTest());
    };
    usb->SetUSBportTest(true);
    EXPECT_FALSE(usb->USBportTest());

    QStringList expected;
    for (int i = 1; i <= 8; ++i)
        expected << Lines(
            {"SetAllDigital()", "SetAllAnalog()", "ClearAllDigital()", "ClearAllAnalog()"});
    for (int i = 1; i <= 8; ++i)
        expected << QStringLiteral("SetDigitalChannel(%1)").arg(i);
    for (int i = 1; i <= 8; ++i)
        expected << QStringLiteral("ClearDigitalChannel(%1)").arg(i);
    for (int i = 1; i <= 255; ++i)
        expected << QStringLiteral("OutputAnalogChannel(1,%1)").arg(i)
                 << QStringLiteral("OutputAnalogChannel(2,%1)").arg(255 - i);
    for (int i = 1; i <= 255; ++i)
        expected << QStringLiteral("OutputAnalogChannel(1,%1)").arg(255 - i)
                 << QStringLiteral("OutputAnalogChannel(2,%1)").arg(i);
    for (int i = 1; i <= 5; ++i)
        expected << Lines({"ReadAllDigital()=11", "WriteAllDigital(11)"});
    expected << Lines({"ClearAllDigital()", "ClearAllAnalog()"});
    EXPECT_EQ(BoardLog(), expected);

    // Pauses: N + 1 sleeps of 1 ms each, every one followed by a pump.
    EXPECT_EQ(desktop.totalSleepMs(), 8 * 66 + 2 * 8 * 33 + 2 * 255 * 2 + 5 * 258);
    EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::Pump),
              desktop.count(ScriptedDesktop::Call::Kind::Sleep) + 1);

    const auto shown = desktop.messages();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].text, QStringLiteral("Selftest of your USB card are started\n\rIf there an "
                                            "error, please check your card.\n\r"));
    EXPECT_EQ(shown[3].text, QStringLiteral("Attation, these selftest are check your input "
                                            "channel.\n\rPush an INP 3 button  on your USB card, "
                                            "please\n\r"));
    EXPECT_EQ(shown[6].text, QStringLiteral("Self test was closed at these moment.\n\rIf there an "
                                            "error, please check your card.\n\r"));
    for (const auto& m : shown) {
        EXPECT_EQ(m.caption, TestCaption);
        EXPECT_EQ(m.icon, Desktop::Icon::Error);
    }
}

TEST_F(PortUSBTest, SelfTestOnAClosedBoardShowsKindEight) {
    usb->SetUSBportTest(true);
    EXPECT_FALSE(usb->USBportTest());
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(
        desktop.messages()[0].text,
        QStringLiteral("Sorry, these USB port are not open.\n\rCheck your parameter, please.\n\r"));
    EXPECT_EQ(desktop.messages()[0].caption, ErrorCaption);
    EXPECT_TRUE(BoardLog().isEmpty());
    EXPECT_EQ(desktop.totalSleepMs(), 0);
}

TEST_F(PortUSBTest, DestructionClearsAndClosesTheBoard) {
    OpenUser(1);
    k8055sim_ClearLog();
    usb.reset();
    EXPECT_EQ(BoardLog(), Lines({"ClearAllAnalog()", "ClearAllDigital()", "CloseDevice()"}));
    EXPECT_FALSE(k8055sim_IsOpen(0));
}

namespace {
// Runs a callback while a message box is up, the way a user's click on
// another command runs while the box's own event loop spins.
class InterruptingDesktop final : public Desktop {
  public:
    int MessageBox(const MessageBoxRequest& request) override {
        const int answer = recorder.MessageBox(request);
        if (onMessage) {
            auto callback = std::move(onMessage);
            onMessage = nullptr;
            callback();
        }
        return answer;
    }
    std::optional<QString> OpenFileDialog(const FileDialogRequest& r) override {
        return recorder.OpenFileDialog(r);
    }
    std::optional<QString> SaveFileDialog(const FileDialogRequest& r) override {
        return recorder.SaveFileDialog(r);
    }
    std::optional<TColor> ColorDialog(TColor c) override { return recorder.ColorDialog(c); }
    bool PrinterSetupDialog(QPrinter& p) override { return recorder.PrinterSetupDialog(p); }
    bool PrintDialog(QPrinter& p) override { return recorder.PrintDialog(p); }
    void Beep() override { recorder.Beep(); }
    void Sleep(int ms) override { recorder.Sleep(ms); }
    void PumpEvents() override { recorder.PumpEvents(); }

    ScriptedDesktop recorder;
    std::function<void()> onMessage;
};
} // namespace

TEST(PortUSBWhileOpening, CommandsDuringTheOpenMessageAreRefused) {
    k8055sim_Reset();
    k8055sim_SetBoardPresent(0, 0);
    InterruptingDesktop desktop;
    TPortUSB usb(desktop, k8055::SimulatedLibraryName(), QStringLiteral(SPURWERK_BINARY_DIR));
    usb.SetUSBportconnect(TUSBConnect::User);
    bool processing = false;
    bool stillProcessing = false;
    desktop.onMessage = [&] {
        processing = usb.USBprocess();
        usb.SetUSBportTest(true);
        usb.SetUSBportAddr(3);
        usb.SetUSBportactive(true);
        stillProcessing = usb.USBprocess();
    };
    usb.SetUSBportactive(true);
    EXPECT_TRUE(processing);
    EXPECT_TRUE(stillProcessing);
    EXPECT_FALSE(usb.USBprocess());
    EXPECT_EQ(usb.USBportAddr(), 1);
    const auto shown = desktop.recorder.messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, Kind1);
    EXPECT_EQ(shown[1].text,
              QStringLiteral("Wait please, your USB driver init a card these moment.\n\rFor "
                             "deactive message, check internal variable USBProcess\n\rfor "
                             "activate, please.\n\r"));
    EXPECT_EQ(shown[2].text, Kind1);
    k8055sim_Reset();
}

TEST(PortUSBWithoutLibrary, ShowsUnableToLoadAndReadsZero) {
    ScriptedDesktop desktop;
    TPortUSB usb(desktop, QStringLiteral("libspurwerk_no_such_board.so.0"));
    EXPECT_FALSE(usb.LibraryLoaded());
    auto shown = desktop.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("Unable to load libspurwerk_no_such_board.so.0 !"));
    EXPECT_EQ(shown[0].caption, QStringLiteral("DLL - Error"));
    EXPECT_EQ(shown[0].icon, Desktop::Icon::Error);

    usb.SetUSBportconnect(TUSBConnect::User);
    usb.SetUSBportactive(true);
    EXPECT_FALSE(usb.USBportactive());
    EXPECT_EQ(usb.ReadUsbInputs(), 0);
    shown = desktop.messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, Kind1);
}
