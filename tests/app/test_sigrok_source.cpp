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
    ASSERT_EQ(trazor().Option().CellsSize(), 0x80000) << "five seconds at 1 GHz, capped";
    trigger("MenuRecord_Signal");

    EXPECT_EQ(trazor().GetTimeBase(),
              sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000'000)));
    for (int i = 0; i < 0x80000; i += 4099) {
        const auto expected = std::uint16_t(((2 * i) & 0xFF) | (((2 * i + 1) & 0xFF) << 8));
        ASSERT_EQ(trazor().Buffer().GetCellLow(i), expected & 0xFF) << i;
        ASSERT_EQ(trazor().Buffer().GetCellHigh(i), expected >> 8) << i;
    }
    EXPECT_TRUE(panel(4).contains(QStringLiteral("524288 Samples"))) << panel(4).toStdString();
    EXPECT_TRUE(window->State().UnsavedRecording);
}

TEST_F(SigrokSourceTest, SlowRatesShortenTheRecordLength) {
    UseDemo(1'000);
    trigger("MenuRecord_10_Sek");
    EXPECT_EQ(trazor().Option().CellsSize(), 10'240) << "ten seconds in whole 256-cell blocks";
}

TEST_F(SigrokSourceTest, ARefusedRateEndsWithAMessage) {
    UseDemo(5'000'000'000);
    trigger("MenuRecord_Signal");
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("nimmt die Abtastrate 5 GHz nicht an")))
        << lastMessage().toStdString();
    EXPECT_TRUE(panel(4).contains(QStringLiteral("0 Samples"))) << panel(4).toStdString();
}

TEST_F(SigrokSourceTest, TheDisplayCountsInTheDevicesPeriod) {
    struct Case {
        std::uint64_t rateHz;
        const char* markerTime; // 40 cells
        const char* unit;
    };
    const Case cases[] = {
        {1'000'000, "40 µs", "µs"},
        {3'000'000, "13320 ns", "ns"},
        {24'000'000, "1666680 ps", "ps"},
        {1'000'000'000, "40 ns", "ns"},
    };
    for (const Case& c : cases) {
        UseDemo(c.rateHz);
        EXPECT_EQ(trazor().Option().TimeUnit(), QString::fromUtf8(c.unit)) << c.rateHz;
        EXPECT_EQ(trazor().Option().TimeScale(), trazor().Option().Timefactor())
            << "the axis counts in the same steps as the legend";
        trazor().Option().SetCellsSize(4096);
        trigger("MenuRecord_Signal");
        ASSERT_EQ(trazor().GetTimeBase().period, sampling::SamplePeriod::FromRateHz(c.rateHz));

        trazor().StoreMarkerPoint(1, 100);
        trazor().StoreMarkerPoint(1, 120);
        trazor().StoreMarkerPoint(1, 140);
        desktop.clear();
        trazor().ShowTimeMeasurement(1, 1);
        const QString text = lastMessage();
        EXPECT_TRUE(text.startsWith(QStringLiteral("Gesamtzeit ---> ") + QString::fromUtf8(c.markerTime)))
            << c.rateHz << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("Tatsächlich")))
            << "the unit already is the device's period: " << text.toStdString();
        trazor().ResetMarker(1);
    }
}
