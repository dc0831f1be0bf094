// The sigrok device and rate the program's configuration remembers: written
// when the dialog's choice is taken, restored at the next start without a
// scan, and anything unusable in the file passed over. Spurwerk.ini keeps the
// display options alone.
#include "MainWindowFixture.h"
#include "app/SigrokChoice.h"
#include "app/SigrokDeviceDialog.h"
#include "app/SigrokSource.h"
#include "persistence/AppSettings.h"
#include "persistence/IniRegistry.h"
#include "persistence/ProgramConfig.h"
#include "persistence/SmartTools.h"
#include "sigrok/SigrokDevices.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <map>

namespace {

bool AnyDriver(const std::string&) {
    return true;
}

// A configuration holding exactly these values in "SigrokGeraet".
void FillChoice(ProgramConfig& config, const std::map<QString, QString>& values) {
    ProgramConfig::Entries entries(values.begin(), values.end());
    config.SetGroup(QStringLiteral("SigrokGeraet"), entries);
}

// A configuration file of its own for the tests without a window.
class ConfigFile {
  public:
    QString path() const { return dir_.filePath(QStringLiteral("spurwerk.conf")); }

  private:
    QTemporaryDir dir_;
};

// Answers the device dialog once it shows and its scan is done: OK on the
// first device at `rateHz`, or with what the dialog offers when rateHz is 0.
void AnswerDeviceDialog(std::uint64_t rateHz) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, rateHz] {
        auto* dialog = qobject_cast<SigrokDeviceDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->Scanning() || dialog->Devices().empty()) return;
        if (rateHz != 0) {
            dialog->Select(0);
            dialog->SelectRate(rateHz);
        }
        dialog->accept();
        timer->deleteLater();
    });
    timer->start();
}

} // namespace

TEST(SigrokChoiceTest, WrittenChoiceReadsBack) {
    const ConfigFile file;
    ProgramConfig store(file.path());
    sigrok::DeviceSpec spec{"fx2lafw", {{"conn", "1.5"}}};
    WriteSigrokChoice(store, {spec, 24'000'000, QStringLiteral("Muster Logik [fx2lafw] an 1.5")});

    const std::optional<SigrokChoice> read =
        ReadSigrokChoice(ProgramConfig(file.path()), AnyDriver, false);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->spec, spec);
    EXPECT_EQ(read->rateHz, 24'000'000u);
    EXPECT_EQ(read->title, QStringLiteral("Muster Logik [fx2lafw] an 1.5"));
    EXPECT_TRUE(read->active);
    WriteSigrokChoice(store, {spec, 24'000'000, QString(), false});
    EXPECT_FALSE(ReadSigrokChoice(store, AnyDriver, false)->active);

    // Rates above 32 bits survive: they are kept as text.
    WriteSigrokChoice(store, {spec, 5'000'000'000, QString()});
    EXPECT_EQ(ReadSigrokChoice(store, AnyDriver, false)->rateHz, 5'000'000'000u);
}

TEST(SigrokChoiceTest, UnusableValuesArePassedOver) {
    struct Case {
        const char* what;
        std::map<QString, QString> values;
    };
    const Case cases[] = {
        {"no device", {{"Abtastrate", "1000000"}}},
        {"no rate", {{"Geraet", "demo"}}},
        {"rate 0", {{"Geraet", "fx2lafw"}, {"Abtastrate", "0"}}},
        {"rate not a number", {{"Geraet", "fx2lafw"}, {"Abtastrate", "schnell"}}},
        {"negative rate", {{"Geraet", "fx2lafw"}, {"Abtastrate", "-5"}}},
        {"rate beyond 64 bits", {{"Geraet", "fx2lafw"}, {"Abtastrate", "99999999999999999999"}}},
        {"empty device", {{"Geraet", ""}, {"Abtastrate", "1000000"}}},
        {"option without =", {{"Geraet", "fx2lafw:conn"}, {"Abtastrate", "1000000"}}},
        {"unknown driver", {{"Geraet", "gibtsnicht"}, {"Abtastrate", "1000000"}}},
        {"demo outside a simulation", {{"Geraet", "demo"}, {"Abtastrate", "1000000"}}},
    };
    for (const Case& c : cases) {
        const ConfigFile file;
        ProgramConfig store(file.path());
        FillChoice(store, c.values);
        EXPECT_FALSE(
            ReadSigrokChoice(
                store, [](const std::string& d) { return d == "fx2lafw" || d == "demo"; }, false)
                .has_value())
            << c.what;
    }

    const ConfigFile file;
    EXPECT_FALSE(ReadSigrokChoice(ProgramConfig(file.path()), AnyDriver, true).has_value())
        << "no configuration yet";
}

TEST(SigrokChoiceTest, MissingTitleFallsBackToTheDeviceText) {
    const ConfigFile file;
    ProgramConfig store(file.path());
    FillChoice(store, {{"Geraet", "demo:pattern=incremental"}, {"Abtastrate", "1000"}});
    const std::optional<SigrokChoice> read = ReadSigrokChoice(store, AnyDriver, true);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->title, QStringLiteral("demo:pattern=incremental"));
    EXPECT_TRUE(read->active) << "without the flag the device is in use";
}

class SigrokChoiceWindowTest : public MainWindowTest {
  protected:
    void restart() {
        window.reset();
        desktop.clear();
        StartOptions options;
        options.simulate = true;
        options.programDir = QStringLiteral(SPURWERK_BINARY_DIR);
        options.sampleClock = &clock;
        window = std::make_unique<TMain1>(desktop, options);
    }
};

TEST_F(SigrokChoiceWindowTest, TheDialogsChoiceIsRestoredAtTheNextStart) {
    AnswerDeviceDialog(1'000'000);
    trigger("PortAuswahlSigrok");
    ASSERT_TRUE(window->Sigrok().HasDevice());
    EXPECT_TRUE(QFile::exists(ProgramConfig::DefaultPath()))
        << "the choice is kept when it is made";
    EXPECT_FALSE(QFile::exists(path("Spurwerk.ini"))) << "the settings file is not the place";

    restart();

    EXPECT_TRUE(window->Sigrok().HasDevice());
    EXPECT_EQ(window->Sigrok().RateHz(), 1'000'000u);
    EXPECT_TRUE(action("PortAuswahlSigrok")->isChecked());
    EXPECT_FALSE(action("PortAuswahl1")->isChecked());
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Inaktiv")) << "the start's message stays";
    EXPECT_TRUE(window->Info().contains(QStringLiteral("[demo]"))) << window->Info().toStdString();
    EXPECT_TRUE(window->Info().contains(QStringLiteral("1 MHz"))) << window->Info().toStdString();
    EXPECT_TRUE(desktop.messages().empty());

    // The dialog offers the device in use at its rate, not the device's own 200 kHz.
    AnswerDeviceDialog(0);
    trigger("PortAuswahlSigrok");
    EXPECT_EQ(window->Sigrok().RateHz(), 1'000'000u);

    // The restored device records, on the rate that was chosen.
    trigger("Eingabeprogrammieren1");
    EXPECT_EQ(window->State().InputSource, 2);
    trigger("MenuRecord_5_Sek");
    trazor().Option().SetCellsSize(4096); // a moment of the device's time is enough here
    record();
    EXPECT_EQ(trazor().GetTimeBase(),
              sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000)));
    EXPECT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
}

TEST_F(SigrokChoiceWindowTest, APortChosenAfterTheDeviceIsWhatTheNextStartBeginsWith) {
    AnswerDeviceDialog(1'000'000);
    trigger("PortAuswahlSigrok");
    trigger("PortAuswahl2");
    restart();
    EXPECT_FALSE(window->Sigrok().HasDevice());
    EXPECT_TRUE(action("PortAuswahl1")->isChecked());
    EXPECT_FALSE(action("PortAuswahlSigrok")->isChecked());

    // Choosing the device again makes it the one the start takes up.
    AnswerDeviceDialog(1'000'000);
    trigger("PortAuswahlSigrok");
    restart();
    EXPECT_TRUE(window->Sigrok().HasDevice());
}

TEST_F(SigrokChoiceWindowTest, ADevicesUnitSavedInTheSettingsDoesNotLabelThePort) {
    AnswerDeviceDialog(20'000'000);
    trigger("PortAuswahlSigrok");
    ASSERT_EQ(trazor().Option().TimeUnit(), QStringLiteral("ns"));
    trigger("Einstellungspeichern1"); // keeps "ns" with the display options
    trigger("PortAuswahl2");
    restart();
    EXPECT_FALSE(window->Sigrok().HasDevice());
    EXPECT_EQ(trazor().Option().TimeUnit(), QStringLiteral("µs"));
    EXPECT_EQ(trazor().Option().TimeScale(), 10);
    EXPECT_EQ(trazor().Option().Timefactor(), 10);
}

TEST_F(SigrokChoiceWindowTest, SettingsWithoutOrWithABrokenChoiceStartAsBefore) {
    trigger("Einstellungspeichern1"); // a file from before the source: no sigrok key
    restart();
    EXPECT_FALSE(window->Sigrok().HasDevice());
    EXPECT_TRUE(action("PortAuswahl1")->isChecked());
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Inaktiv"));

    FillChoice(window->Config(), {{"Geraet", "gibtsnicht:x=1"}, {"Abtastrate", "1000000"}});
    restart();
    EXPECT_FALSE(window->Sigrok().HasDevice());
    EXPECT_TRUE(action("PortAuswahl1")->isChecked());
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_EQ(trazor().Option().Digits(), 8) << "the display options still load";
}

TEST_F(SigrokChoiceWindowTest, ARestoredDeviceLeavesTheDisplayOptionsOfTheSettingsFile) {
    trazor().Option().SetTimeScale(100);
    trazor().Option().SetTimeUnit(QStringLiteral("ms"));
    trigger("Einstellungspeichern1");
    const QByteArray settings = readFile("Spurwerk.ini");
    AnswerDeviceDialog(20'000'000);
    trigger("PortAuswahlSigrok");
    EXPECT_EQ(readFile("Spurwerk.ini"), settings) << "choosing a device writes no settings";
    restart();
    ASSERT_TRUE(window->Sigrok().HasDevice());
    EXPECT_EQ(trazor().Option().TimeScale(), 100);
    EXPECT_EQ(trazor().Option().TimeUnit(), QStringLiteral("ms"));
    EXPECT_EQ(trazor().Option().Timefactor(), 10);
    trigger("PortAuswahl1");
    restart();
    EXPECT_EQ(readFile("Spurwerk.ini"), settings) << "nor does leaving it";

    // Programming the device's input has the display count in its period.
    AnswerDeviceDialog(20'000'000);
    trigger("PortAuswahlSigrok");
    restart();
    trigger("Eingabeprogrammieren1");
    EXPECT_EQ(trazor().Option().TimeUnit(), QStringLiteral("ns"));
    EXPECT_EQ(trazor().Option().Timefactor(), 50);
    EXPECT_EQ(readFile("Spurwerk.ini"), settings);
}

TEST_F(SigrokChoiceWindowTest, AnEarlierSettingsFilesDeviceMovesToTheConfiguration) {
    // Earlier versions kept the device in Spurwerk.ini, beside the display options.
    trigger("Einstellungspeichern1");
    const QByteArray displayOnly = readFile("Spurwerk.ini");
    {
        TIniRegistry old;
        ASSERT_TRUE(old.LoadFromFile(path("Spurwerk")));
        old.OpenKey(QStringLiteral("SigrokGeraet"), true);
        old.WriteString(QStringLiteral("Geraet"), QStringLiteral("demo"));
        old.WriteString(QStringLiteral("Abtastrate"), QStringLiteral("1000000"));
        old.CloseKey();
        old.SaveToFile(path("Spurwerk"));
    }
    QFile::remove(path("Spurwerk.~ni"));
    const QByteArray withDevice = readFile("Spurwerk.ini");
    restart();
    EXPECT_TRUE(window->Sigrok().HasDevice()) << "taken up from the old place";
    EXPECT_EQ(window->Sigrok().RateHz(), 1'000'000u);
    EXPECT_EQ(readFile("Spurwerk.ini"), withDevice) << "the start writes no settings";
    EXPECT_TRUE(window->Config().Value(QStringLiteral("SigrokGeraet"), QStringLiteral("Geraet")));

    trigger("Einstellungspeichern1");
    EXPECT_EQ(readFile("Spurwerk.ini"), displayOnly) << "saved again: the display options alone";
    restart();
    EXPECT_TRUE(window->Sigrok().HasDevice()) << "remembered in its new place";
}
