// A libsigrok device as the window's source: the device dialog with its scan
// on a thread, and a timed recording from the demo device into the display.
#include "MainWindowFixture.h"
#include "app/SigrokDeviceDialog.h"
#include "app/SigrokSource.h"
#include "sigrok/SigrokContext.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <chrono>
#include <thread>

namespace {

sigrok::DeviceSpec IncrementalDemo() {
    sigrok::DeviceSpec spec = sigrok::DemoDeviceSpec();
    spec.options.emplace_back("pattern", "incremental");
    return spec;
}

void WaitForScan(SigrokDeviceDialog& dialog) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while ((dialog.Scanning() || dialog.findChild<QProgressBar*>()->maximum() == 0) &&
           std::chrono::steady_clock::now() < until) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

TEST(SigrokDeviceDialogTest, ScanOnItsThreadListsDevicesAndRates) {
    sigrok::Context context;
    int guarded = 0;
    SigrokDeviceDialog dialog(
        nullptr, [&context] { return sigrok::ScanDriver(context, sigrok::DemoDeviceSpec()); },
        [&guarded](const std::function<void()>& f) {
            ++guarded;
            f();
        });
    EXPECT_FALSE(dialog.ChosenDevice().has_value());
    WaitForScan(dialog);
    EXPECT_GT(guarded, 0) << "the poll timer runs through the guard";
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("SigrokDevices"));
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(list->item(0)->text().contains(QStringLiteral("16 Logikkanäle")))
        << list->item(0)->text().toStdString();
    auto* rates = dialog.findChild<QComboBox*>(QStringLiteral("SigrokRates"));
    EXPECT_GE(rates->findText(QStringLiteral("1 MHz")), 0);
    EXPECT_EQ(dialog.ChosenRate(), 200'000u) << "the device's own rate comes first";
    dialog.SelectRate(1'000'000);
    EXPECT_EQ(dialog.ChosenRate(), 1'000'000u);
    ASSERT_TRUE(dialog.ChosenDevice().has_value());
    EXPECT_EQ(dialog.ChosenDevice()->spec, sigrok::DemoDeviceSpec());
}

TEST(SigrokDeviceDialogTest, AFailedScanSaysWhy) {
    SigrokDeviceDialog dialog(
        nullptr, []() -> std::vector<sigrok::DeviceInfo> { throw std::runtime_error("kaputt"); },
        [](const std::function<void()>& f) { f(); });
    WaitForScan(dialog);
    EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("SigrokStatus"))
                    ->text()
                    .contains(QStringLiteral("kaputt")));
    EXPECT_FALSE(dialog.ChosenDevice().has_value());
}

class SigrokSourceTest : public MainWindowTest {
  protected:
    void UseDemo(std::uint64_t rateHz) {
        window->Sigrok().UseDevice(IncrementalDemo(), rateHz, QStringLiteral("Demo"));
        trigger("Eingabeprogrammieren1");
    }
};

TEST_F(SigrokSourceTest, TimedRecordingFillsTheBufferAtTheDevicesRate) {
    UseDemo(1'000'000'000);
    EXPECT_EQ(window->State().InputSource, 2);
    EXPECT_TRUE(action("PortAuswahlSigrok")->isChecked());
    EXPECT_FALSE(action("PortAuswahl1")->isChecked());
    trigger("MenuRecord_5_Sek");
    // Five seconds at 1 GHz, capped at 32 Mi cells: a long buffer, recorded whole.
    ASSERT_EQ(trazor().Option().CellsSize(), 32 * 1024 * 1024);
    trigger("MenuRecord_Signal");

    EXPECT_EQ(trazor().GetTimeBase(),
              sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000'000)));
    for (int i = 0; i < 32 * 1024 * 1024; i += 40961) {
        const auto expected = std::uint16_t(((2 * i) & 0xFF) | (((2 * i + 1) & 0xFF) << 8));
        ASSERT_EQ(trazor().Buffer().GetCellLow(i), expected & 0xFF) << i;
        ASSERT_EQ(trazor().Buffer().GetCellHigh(i), expected >> 8) << i;
    }
    EXPECT_TRUE(panel(4).contains(QStringLiteral("33554432 Samples"))) << panel(4).toStdString();
    EXPECT_TRUE(window->State().UnsavedRecording);
}

TEST_F(SigrokSourceTest, RecordLengthsAreSecondsAtTheRateUpTo64MiCells) {
    struct Case {
        std::uint64_t rateHz;
        const char* item;
        int cells;
    } const cases[] = {
        {1'000, "MenuRecord_10_Sek", 10'240},          // ten seconds in whole 256-cell blocks
        {1'000'000, "MenuRecord_5_Sek", 5'000'192},     // five seconds, rounded up
        {1'000'000, "MenuRecord_10_Sek", 10'000'128},
        {24'000'000, "MenuRecord_5_Sek", 32 * 1024 * 1024}, // capped: 1.4 s
        {24'000'000, "MenuRecord_10_Sek", 64 * 1024 * 1024}, // capped: 2.8 s, 128 MiB
    };
    for (const Case& c : cases) {
        UseDemo(c.rateHz);
        trigger(c.item);
        EXPECT_EQ(trazor().Option().CellsSize(), c.cells) << c.rateHz << " " << c.item;
    }
    // Back to the parallel port: its own length again.
    trigger("Ausgabeprogrammieren1");
    trigger("PortAuswahl1");
    trigger("Eingabeprogrammieren1");
    trigger("MenuRecord_10_Sek");
    EXPECT_EQ(trazor().Option().CellsSize(), 0x100000);
}

TEST_F(SigrokSourceTest, ARefusedRateEndsWithAMessage) {
    UseDemo(5'000'000'000);
    trigger("MenuRecord_Signal");
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("nimmt die Abtastrate 5 GHz nicht an")))
        << lastMessage().toStdString();
    EXPECT_TRUE(panel(4).contains(QStringLiteral("0 Samples"))) << panel(4).toStdString();
}
