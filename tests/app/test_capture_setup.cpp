// "Aufnahme einrichten": the form and what the configuration keeps of it, the
// dialog, and triggered recordings from the demo device in the window.
#include "MainWindowFixture.h"
#include "app/CaptureSetup.h"
#include "app/CaptureSetupDialog.h"
#include "app/RecordingCommands.h"
#include "app/SigrokSource.h"
#include "persistence/ProgramConfig.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevices.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

using Length = CaptureSetup::Length;

TEST(CaptureForm, ReadsWhatTheUserTyped) {
    struct Case {
        CaptureForm form;
        const char* refused; // nullptr: taken
        std::uint64_t cellsAt1MHz = 0;
    } cases[] = {
        {{Length::Menu, "", "", "1 MHz", 0xFFFF, "", 10}, nullptr, 0},
        {{Length::Samples, "2M", "", "1M", 0xFFFF, "", 10}, nullptr, 2'000'000},
        {{Length::Duration, "", "250ms", "1 MHz", 0x000F, "D0=r,D2=1", 25}, nullptr, 250'000},
        {{Length::Duration, "", "1,5s", "", 0xFFFF, "", 10}, nullptr, 1'500'000},
        {{Length::Samples, "0", "", "1M", 0xFFFF, "", 10}, "Anzahl der Abtastwerte \"0\""},
        {{Length::Samples, "68M", "", "1M", 0xFFFF, "", 10}, "passt nicht (1 bis 67108864"},
        {{Length::Duration, "", "bald", "1M", 0xFFFF, "", 10}, "Die Dauer \"bald\""},
        {{Length::Duration, "", "10s", "24 MHz", 0xFFFF, "", 10}, "die Dauer ist zu lang"},
        {{Length::Menu, "", "", "schnell", 0xFFFF, "", 10}, "Die Abtastrate \"schnell\""},
        {{Length::Menu, "", "", "1M", 0, "", 10}, "mindestens einen Kanal"},
        {{Length::Menu, "", "", "1M", 0xFFFF, "D0=q", 10}, "Trigger: Die Triggerbedingung"},
        {{Length::Menu, "", "", "1M", 0x0003, "D5=r", 10}, "nicht aufgenommen wird (D5)"},
    };
    for (const Case& c : cases) {
        std::string error;
        const std::optional<CaptureChoice> choice = ReadCaptureForm(c.form, CaptureSetup{}, error);
        if (c.refused) {
            EXPECT_FALSE(choice) << c.refused;
            EXPECT_NE(error.find(c.refused), std::string::npos) << error;
            continue;
        }
        ASSERT_TRUE(choice) << error;
        EXPECT_EQ(choice->setup.LengthCells(1'000'000), c.cellsAt1MHz) << c.form.samples;
        // The form made from the choice reads back into the same choice.
        std::string again;
        const auto round =
            ReadCaptureForm(FormFor(choice->setup, choice->rateHz), CaptureSetup{}, again);
        ASSERT_TRUE(round) << again;
        EXPECT_EQ(round->setup, choice->setup);
        EXPECT_EQ(round->rateHz, choice->rateHz);
    }
}

TEST(CaptureSetupConfig, KeepsTheSetUpAndPassesOverDamagedValues) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("spurwerk.conf"));
    CaptureSetup setup;
    setup.length = Length::Duration;
    setup.durationUs = 2'500'000;
    setup.lines = 0x00F1;
    std::string error;
    setup.trigger = *sampling::ParseTrigger("D0=r,D4=01", sampling::UsualLineNames(), error);
    setup.preTriggerPercent = 25;
    {
        ProgramConfig config(path);
        WriteCaptureSetup(config, setup);
    }
    ProgramConfig config(path);
    EXPECT_EQ(ReadCaptureSetup(config), setup);
    EXPECT_EQ(config.Value(QStringLiteral("Aufnahme"), QStringLiteral("Kanaele")),
              QStringLiteral("D0,D4-D7"));
    EXPECT_EQ(config.Value(QStringLiteral("Aufnahme"), QStringLiteral("Trigger")),
              QStringLiteral("D0=r,D4=01"));

    // Values no program writes: each falls back on its own default.
    config.SetGroup(QStringLiteral("Aufnahme"),
                    {{QStringLiteral("Laenge"), QStringLiteral("ewig")},
                     {QStringLiteral("Werte"), QStringLiteral("-3")},
                     {QStringLiteral("Dauer"), QStringLiteral("x")},
                     {QStringLiteral("Kanaele"), QStringLiteral("D99")},
                     {QStringLiteral("Trigger"), QStringLiteral("D0")},
                     {QStringLiteral("VorTrigger"), QStringLiteral("500")}});
    EXPECT_EQ(ReadCaptureSetup(config), CaptureSetup{});
}

TEST(CaptureSetupDialogTest, OkTakesTheFormAndRefusesWhatDoesNotHold) {
    QStringList refused;
    CaptureSetupDialog dialog(
        nullptr, CaptureSetup{}, 1'000'000, [&](const QString& why) { refused << why; },
        [](const std::function<void()>& f) { f(); });
    dialog.findChild<QRadioButton*>(QStringLiteral("LaengeWerte"))->setChecked(true);
    dialog.findChild<QLineEdit*>(QStringLiteral("Werte"))->setText(QStringLiteral("40k"));
    for (int line = 4; line < 16; ++line)
        dialog.findChild<QCheckBox*>(QStringLiteral("Kanal%1").arg(line))->setChecked(false);
    dialog.findChild<QLineEdit*>(QStringLiteral("Trigger"))->setText(QStringLiteral("D6=r"));
    dialog.findChild<QSpinBox*>(QStringLiteral("VorTrigger"))->setValue(25);
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    ok->click();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused[0],
              QStringLiteral("Der Trigger nutzt einen Kanal, der nicht aufgenommen wird (D6)."));
    EXPECT_EQ(dialog.result(), QDialog::Rejected) << "the dialog stays open";

    dialog.findChild<QPushButton*>(QStringLiteral("AlleKanaele"))->click();
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Choice().setup.length, Length::Samples);
    EXPECT_EQ(dialog.Choice().setup.samples, 40'000u);
    EXPECT_EQ(dialog.Choice().setup.lines, 0xFFFF);
    EXPECT_EQ(dialog.Choice().setup.preTriggerPercent, 25);
    EXPECT_EQ(dialog.Choice().rateHz, 1'000'000u);
}

std::uint16_t Incremental(std::uint64_t i) {
    return std::uint16_t((2 * i & 0xFF) | ((2 * i + 1) & 0xFF) << 8);
}

class WindowCapture : public MainWindowTest {
  protected:
    void UseDemo(const char* pattern) {
        sigrok::DeviceSpec spec = sigrok::DemoDeviceSpec();
        spec.options.emplace_back("pattern", pattern);
        window->Sigrok().UseDevice(spec, 1'000'000, QStringLiteral("Demo"));
        trigger("Eingabeprogrammieren1");
    }
    std::uint16_t Cell(int i) {
        return std::uint16_t(trazor().Buffer().GetCellLow(i) | trazor().Buffer().GetCellHigh(i)
                                                                   << 8);
    }
};

// Through the menu item and its dialog: 40,000 samples (40,192 in whole
// blocks), a quarter of them before D6 rises. D6 is bit 6 of 2i and rises at
// every i = 32 mod 64; armed after 10,048 samples, the rise at 10,080 fires,
// so the buffer starts at sample 32 of the pattern.
TEST_F(WindowCapture, TheSetUpDialogRecordsATriggeredCapture) {
    UseDemo("incremental");
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CaptureSetupDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QRadioButton*>(QStringLiteral("LaengeWerte"))->setChecked(true);
        dialog->findChild<QLineEdit*>(QStringLiteral("Werte"))->setText(QStringLiteral("40000"));
        dialog->findChild<QLineEdit*>(QStringLiteral("Trigger"))->setText(QStringLiteral("D6=r"));
        dialog->findChild<QSpinBox*>(QStringLiteral("VorTrigger"))->setValue(25);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    trigger("AufnahmeEinrichten");
    EXPECT_EQ(window->Sigrok().Setup().samples, 40'000u);
    EXPECT_EQ(window->Config().Value(QStringLiteral("Aufnahme"), QStringLiteral("Trigger")),
              QStringLiteral("D6=r"));

    record();
    ASSERT_EQ(trazor().Option().CellsSize(), 40'192);
    ASSERT_EQ(trazor().Buffer().TriggerCell(), 10'048);
    for (int i = 0; i < 40'192; ++i)
        ASSERT_EQ(Cell(i), Incremental(32 + std::uint64_t(i))) << i;
    EXPECT_TRUE(window->Info().contains(QStringLiteral("Trigger bei Wert 10048")))
        << window->Info().toStdString();
    // The time axis counts from the trigger: times before it are negative.
    trazor().DrawSignals();
    const std::vector<QString>& labels = trazor().ShownAxis().labels;
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QString& l) {
        return l.startsWith('-');
    })) << QStringList(labels.begin(), labels.end()).join(' ').toStdString();

    // " 5 Sek." takes over again from the set-up's count.
    trigger("MenuRecord_5_Sek");
    EXPECT_EQ(window->Sigrok().Setup().length, Length::Menu);
    EXPECT_EQ(trazor().Option().CellsSize(), 5'000'192);
}

TEST_F(WindowCapture, StopEndsAWaitForATriggerThatNeverFires) {
    UseDemo("all-low");
    CaptureSetup setup;
    setup.length = Length::Samples;
    setup.samples = 10'000;
    setup.trigger.stages = {{{0, sampling::TriggerMatch::High}}};
    window->Sigrok().TakeSetup(setup);
    trigger("MenuRecord_Signal");
    EXPECT_EQ(window->Info(), QStringLiteral("Warte auf den Trigger ..."));
    // The window goes on while it waits; a stop from it ends the wait.
    QTest::qWait(300);
    ASSERT_TRUE(window->Recording().Running());
    window->Ui().ButtonStop_Scan->click();
    waitForRecording();
    EXPECT_EQ(window->State().SampleIndex, 0);
    EXPECT_FALSE(trazor().Buffer().TriggerCell());
    EXPECT_EQ(window->Info(), QStringLiteral("Abgebrochen: Der Trigger hat nicht ausgelöst; es "
                                             "wurde nichts aufgenommen."));
    EXPECT_FALSE(window->State().UnsavedRecording);
}

} // namespace
