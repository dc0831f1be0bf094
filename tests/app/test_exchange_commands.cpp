#include "MainWindowFixture.h"
#include "app/ExchangeCommands.h"
#include "sigrok/DigPlanes.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokExport.h"
#include "sigrok/SigrokImport.h"

#include "app/ChannelChoiceDialog.h"
#include "app/RecordingCommands.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QTimer>

namespace {

using sigrok::ExchangeFormat;

class ExchangeCommandsTest : public MainWindowTest {
  protected:
    // Fills the buffer with `cells` samples that change on every line.
    void fillBuffer(int cells) {
        trigger("NeueAufzeichnung1");
        trazor().Option().SetCellsSize(cells);
        trazor().ResizeBuffer(cells);
        for (int i = 0; i < cells; ++i) {
            trazor().SetCellLow(i, static_cast<std::uint8_t>(i * 7));
            trazor().SetCellHigh(i, static_cast<std::uint8_t>(255 - i * 3));
        }
    }
    // A file of another tool, written through libsigrok.
    void writeForeign(const QString& name, const sigrok::LogicFrames& frames) {
        sigrok::Context context;
        sigrok::ExportFile(context, frames, *sigrok::FormatFromPath(name.toStdString()),
                           path(name).toStdString());
    }
    sigrok::ImportResult readBack(const QString& name) {
        sigrok::Context context;
        return sigrok::ImportFile(context, *sigrok::FormatFromPath(name.toStdString()),
                                  path(name).toStdString(), 1 << 20);
    }
    static sigrok::LogicFrames threeLines(std::size_t samples, std::uint64_t rateHz = 24'000'000) {
        sigrok::LogicFrames frames;
        frames.names = {"CLK", "DATA", "CS"};
        for (std::size_t i = 0; i < samples; ++i)
            frames.samples.push_back(static_cast<std::uint16_t>((i % 8) ^ (i / 3 % 2)));
        frames.timeBase = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(rateHz));
        return frames;
    }
    std::vector<std::uint8_t> stream() const { return trazor().Stream(); }
};

TEST_F(ExchangeCommandsTest, ItemsFollowSaveAsAndOpen) {
    EXPECT_EQ(action("Exportieren1")->text(), QStringLiteral("Exportieren ..."));
    EXPECT_EQ(action("Importieren1")->text(), QStringLiteral("Importieren ..."));
    EXPECT_FALSE(action("Speichernunter1")->isEnabled());
    EXPECT_FALSE(action("Exportieren1")->isEnabled());
    EXPECT_TRUE(action("Importieren1")->isEnabled());
    trigger("NeueAufzeichnung1");
    EXPECT_TRUE(action("Exportieren1")->isEnabled());
    action("ffnen1")->setEnabled(false);
    EXPECT_FALSE(action("Importieren1")->isEnabled());
    action("ffnen1")->setEnabled(true);

    // A recording and live mode switch them off and give them back with their leaders.
    const auto followersMatch = [this](const char* when) {
        EXPECT_EQ(action("Exportieren1")->isEnabled(), action("Speichernunter1")->isEnabled())
            << when;
        EXPECT_EQ(action("Importieren1")->isEnabled(), action("ffnen1")->isEnabled()) << when;
    };
    trigger("Eingabeprogrammieren1");
    trigger("MenuRecord_5_Sek");
    trazor().Option().SetCellsSize(2048);
    bool sawOff = false;
    desktop.onPump = [&] {
        if (!window->Recording().Running()) return;
        sawOff = !action("Importieren1")->isEnabled() && !action("Exportieren1")->isEnabled();
        followersMatch("during the recording");
    };
    trigger("MenuRecord_Signal");
    desktop.onPump = nullptr;
    EXPECT_TRUE(sawOff);
    EXPECT_TRUE(action("Importieren1")->isEnabled());
    EXPECT_TRUE(action("Exportieren1")->isEnabled());
    followersMatch("after the recording");
    for (int run = 0; run < 2; ++run) {
        trigger("MenuPlay_Scan");
        EXPECT_FALSE(action("Importieren1")->isEnabled()) << "live mode writes the buffer";
        EXPECT_FALSE(action("ffnen1")->isEnabled());
        EXPECT_FALSE(action("NeueAufzeichnung1")->isEnabled());
        EXPECT_TRUE(action("Exportieren1")->isEnabled()) << "a moment of it may be written out";
        trigger("MenuStop_Scan");
        EXPECT_TRUE(action("Importieren1")->isEnabled());
        EXPECT_TRUE(action("NeueAufzeichnung1")->isEnabled());
        followersMatch("after live mode");
    }
}

TEST_F(ExchangeCommandsTest, ExportWritesTheLinesInUseWithNamesAndRate) {
    fillBuffer(300);
    window->SetMultiBit(10);
    trazor().Option().DigiName().Set(0, QStringLiteral("Takt"));
    trazor().Option().DigiName().Set(9, QStringLiteral("Übertrag"));
    // A whole decade, which a VCD's time scale holds exactly.
    const auto period = sampling::SamplePeriod::FromRateHz(1'000'000);
    trazor().SetTimeBase(sampling::TimeBase::Paced(period));

    for (const char* name : {"export.sr", "export.vcd", "export.csv"}) {
        desktop.fileAnswers = {path(QString::fromLatin1(name))};
        trigger("Exportieren1");
        ASSERT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
        const sigrok::ImportResult back = readBack(QString::fromLatin1(name));
        ASSERT_EQ(back.frames.Lines(), 10) << name;
        EXPECT_EQ(back.frames.names.front(), "Takt") << name;
        EXPECT_EQ(back.frames.names.back(), "Übertrag") << name;
        EXPECT_EQ(back.frames.names[1], "D01") << name;
        std::vector<std::uint16_t> expected = sigrok::SamplesFromPlanes(stream());
        for (auto& s : expected)
            s &= 0x3FF;
        EXPECT_EQ(back.frames.samples, expected) << name;
        if (std::string(name) != "export.csv") { // CSV keeps no rate
            EXPECT_EQ(back.frames.timeBase.period, period) << name;
        }
        EXPECT_TRUE(panel(4).contains(QStringLiteral("Daten wurden exportiert"))) << name;
    }
}

TEST_F(ExchangeCommandsTest, ExportAsksWithTheThreeFormats) {
    fillBuffer(10);
    desktop.fileAnswers = {QString()};
    trigger("Exportieren1");
    ASSERT_EQ(desktop.calls.size() > 0, true);
    const auto& request = desktop.calls.back().file;
    EXPECT_EQ(request.filter, ExchangeCommands::ExportFilter);
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_EQ(request.fileName, QStringLiteral("NONAME.vcd"));

    desktop.fileAnswers = {path(QStringLiteral("falsch.txt"))};
    trigger("Exportieren1");
    EXPECT_TRUE(
        lastMessage().contains(QStringLiteral("Das Format der Datei falsch.txt ist unbekannt")))
        << lastMessage().toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("falsch.txt"))));
}

TEST_F(ExchangeCommandsTest, ImportFillsTheBufferWithLinesNamesAndRate) {
    writeForeign(QStringLiteral("fremd.sr"), threeLines(500));
    fillBuffer(2000);
    desktop.fileAnswers = {path(QStringLiteral("fremd.sr"))};
    trigger("Importieren1");
    ASSERT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();

    EXPECT_EQ(stream(), sigrok::PlanesFromSamples(threeLines(500).samples));
    EXPECT_EQ(trazor().Option().Digits(), 3);
    EXPECT_EQ(trazor().Option().DigiName().Get(1), QStringLiteral("DATA"));
    EXPECT_EQ(trazor().GetTimeBase(), threeLines(1).timeBase);
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("fremd.sr")));
    EXPECT_TRUE(action("Speichern1")->isEnabled());
    EXPECT_EQ(panel(4), QStringLiteral(" Digi-Status: Daten wurden importiert: fremd.sr (3 "
                                       "Leitungen)"));
    EXPECT_TRUE(window->Info().contains(QStringLiteral("24 MHz")) ||
                window->Info().contains(QStringLiteral("41,67 ns")))
        << "the file's time base has its own field: " << window->Info().toStdString();
}

TEST_F(ExchangeCommandsTest, ImportCountsAsUnsavedAndAsksBeforeReplacingUnsavedData) {
    writeForeign(QStringLiteral("eins.sr"), threeLines(300));
    writeForeign(QStringLiteral("zwei.csv"), threeLines(200));
    fillBuffer(1024);
    desktop.fileAnswers = {path(QStringLiteral("eins.sr"))};
    trigger("Importieren1");
    EXPECT_TRUE(window->HasUnsavedRecording());
    EXPECT_EQ(window->State().CurrentFileName, path(QStringLiteral("eins.DIG")));
    const std::vector<std::uint8_t> imported = stream();

    desktop.clear();
    desktop.messageAnswers = {Desktop::No};
    desktop.fileAnswers = {path(QStringLiteral("zwei.csv"))};
    trigger("Importieren1");
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_TRUE(
        lastMessage().startsWith(QStringLiteral("Die Aufzeichnung ist noch nicht gespeichert")));
    EXPECT_EQ(stream(), imported);

    desktop.clear();
    desktop.messageAnswers = {Desktop::Yes};
    trigger("Importieren1");
    EXPECT_EQ(stream(), sigrok::PlanesFromSamples(threeLines(200).samples));
}

TEST_F(ExchangeCommandsTest, ImportLongerThanTheBufferComesInWholeAndCanBeReached) {
    // A VCD holds time stamps: a rate of a whole decade reads back sample for sample.
    writeForeign(QStringLiteral("lang.vcd"), threeLines(5000, 1'000'000));
    fillBuffer(1280);
    desktop.fileAnswers = {path(QStringLiteral("lang.vcd"))};
    trigger("Importieren1");
    EXPECT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
    EXPECT_EQ(stream(), sigrok::PlanesFromSamples(threeLines(5000).samples));
    EXPECT_EQ(trazor().Option().CellsSize(), 5000) << "the view reaches the last sample";
}

TEST_F(ExchangeCommandsTest, ImportOfMoreThanSixteenChannelsAsksWhichOnes) {
    // 32 channels D0..D31 from sigrok-cli's demo device: byte k of sample i is 4 i + k.
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start("sigrok-cli",
            {"-d", "demo:logic_channels=32:analog_channels=0", "--channel-group", "Logic", "-c",
             "pattern=incremental", "--samples", "300", "-o", path(QStringLiteral("breit.sr"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0);
    fillBuffer(100);
    desktop.fileAnswers = {path(QStringLiteral("breit.sr"))};
    std::vector<std::string> upper;
    for (int n = 16; n < 32; ++n)
        upper.push_back("D" + std::to_string(n));
    // The program's own dialog, answered as a user would.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ChannelChoiceDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Chosen().size(), 16u);
        EXPECT_EQ(dialog->Chosen().front(), "D0");
        dialog->Choose(upper);
        dialog->accept();
    });
    trigger("Importieren1");
    EXPECT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
    EXPECT_EQ(trazor().Option().DigiName().Get(0), QStringLiteral("D16"));
    EXPECT_EQ(trazor().Option().DigiName().Get(15), QStringLiteral("D31"));
    std::vector<std::uint16_t> expected;
    for (unsigned i = 0; i < 300; ++i)
        expected.push_back(std::uint16_t(((4 * i + 2) & 0xFF) | ((4 * i + 3) & 0xFF) << 8));
    EXPECT_EQ(stream(), sigrok::PlanesFromSamples(expected));
}

TEST_F(ExchangeCommandsTest, ImportSaysWhatItAssumedAndSkipped) {
    writeFile(QStringLiteral("sim.vcd"), "$var wire 1 ! a $end\n$var integer 32 \" i $end\n"
                                         "$enddefinitions $end\n#0 1! b1 \"\n#3 x!\n#5\n");
    desktop.fileAnswers = {path(QStringLiteral("sim.vcd"))};
    trigger("Importieren1");
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages().back().icon, Desktop::Icon::Information);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("i (integer)")));
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("(x, z)")));
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("keine Abtastrate an; angenommen")));
    EXPECT_EQ(stream(), sigrok::PlanesFromSamples({1, 1, 1, 0, 0}));
}

TEST_F(ExchangeCommandsTest, SaveAsDigAtAnotherRateOffersASessionFirst) {
    fillBuffer(100);
    const std::vector<std::uint8_t> samples = stream();
    trazor().SetTimeBase(threeLines(1, 1'000'000).timeBase);

    desktop.messageAnswers = {Desktop::Cancel};
    trigger("Speichernunter1");
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_TRUE(
        lastMessage().contains(QStringLiteral("Eine .DIG-Datei speichert keine Abtastrate")))
        << lastMessage().toStdString();
    EXPECT_TRUE(desktop.fileAnswers.empty());

    // "Ja": the export's dialog, and a session that keeps the rate.
    desktop.clear();
    desktop.messageAnswers = {Desktop::Yes};
    desktop.fileAnswers = {path(QStringLiteral("schnell.sr"))};
    trigger("Speichernunter1");
    EXPECT_EQ(readBack(QStringLiteral("schnell.sr")).frames.timeBase,
              threeLines(1, 1'000'000).timeBase);

    // "Nein": the .DIG file as always, its bytes unchanged.
    desktop.clear();
    desktop.messageAnswers = {Desktop::No};
    desktop.fileAnswers = {path(QStringLiteral("schnell.DIG"))};
    trigger("Speichernunter1");
    EXPECT_FALSE(readFile(QStringLiteral("schnell.DIG")).isEmpty());

    // At the nominal 10 us nothing is asked.
    trazor().SetTimeBase(sampling::TimeBase::Nominal());
    desktop.clear();
    desktop.fileAnswers = {path(QStringLiteral("normal.DIG"))};
    trigger("Speichernunter1");
    EXPECT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
    EXPECT_EQ(readFile(QStringLiteral("schnell.DIG")), readFile(QStringLiteral("normal.DIG")));
    EXPECT_EQ(stream(), samples);
}

TEST_F(ExchangeCommandsTest, BadFilesLeaveTheBufferAsItWas) {
    fillBuffer(100);
    window->SetMultiBit(8);
    const std::vector<std::uint8_t> before = stream();
    writeFile(QStringLiteral("kaputt.sr"), "PK\x03\x04 kein ganzes zip");
    writeFile(QStringLiteral("text.csv"), "a,b\nhallo,welt\n");
    writeFile(QStringLiteral("analog.vcd"),
              "$timescale 1 us $end\n$var real 64 ! u $end\n$enddefinitions $end\n#0\nr1 !\n");
    for (const char* name : {"kaputt.sr", "text.csv", "analog.vcd", "fehlt.vcd", "bild.png"}) {
        desktop.clear();
        desktop.fileAnswers = {path(QString::fromLatin1(name))};
        trigger("Importieren1");
        ASSERT_EQ(desktop.messages().size(), 1u) << name;
        EXPECT_EQ(desktop.messages().back().icon, Desktop::Icon::Error) << name;
        EXPECT_TRUE(lastMessage().contains(QString::fromLatin1(name)))
            << lastMessage().toStdString();
        EXPECT_EQ(stream(), before) << name;
        EXPECT_EQ(trazor().Option().Digits(), 8) << name;
    }
}

} // namespace

namespace {

// `spurwerk FILE` opens a recording (or imports another tool's file) once
// the window runs.
struct StartCase {
    const char* file;
    bool exists;
};

class StartFile : public MainWindowTest, public ::testing::WithParamInterface<StartCase> {
  protected:
    void SetUp() override {
        frames.names = {"A", "B"};
        frames.samples = {1, 2, 3, 0, 1};
        if (GetParam().exists) {
            const QString name = QString::fromLatin1(GetParam().file);
            if (name.endsWith(QStringLiteral(".DIG"))) {
                const auto planes = sigrok::PlanesFromSamples(frames.samples);
                writeFile(name, QByteArray(reinterpret_cast<const char*>(planes.data()),
                                           qsizetype(planes.size())));
            } else {
                sigrok::Context context;
                sigrok::ExportFile(context, frames, *sigrok::FormatFromPath(GetParam().file),
                                   path(name).toStdString());
            }
        }
        openFileAtStart = path(QString::fromLatin1(GetParam().file));
        MainWindowTest::SetUp();
    }
    sigrok::LogicFrames frames;
};

TEST_P(StartFile, IsOpenedOnceTheWindowRuns) {
    EXPECT_TRUE(desktop.messages().empty());
    QCoreApplication::processEvents();
    if (!GetParam().exists) {
        ASSERT_FALSE(desktop.messages().empty());
        EXPECT_TRUE(desktop.messages().front().text.contains(QString::fromLatin1(GetParam().file)))
            << desktop.messages().front().text.toStdString();
        return;
    }
    EXPECT_TRUE(desktop.messages().empty()) << lastMessage().toStdString();
    EXPECT_EQ(trazor().Stream(), sigrok::PlanesFromSamples(frames.samples));
    EXPECT_TRUE(window->windowTitle().contains(QString::fromLatin1(GetParam().file)));
    EXPECT_TRUE(action("Speichern1")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Files, StartFile,
                         ::testing::Values(StartCase{"start.DIG", true},
                                           StartCase{"start.sr", true},
                                           StartCase{"fehlt.DIG", false},
                                           StartCase{"fehlt.vcd", false}));

} // namespace
