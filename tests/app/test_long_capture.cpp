// A capture longer than the buffer, recorded in the window from the demo
// device into a session file and shown from that file.
#include "MainWindowFixture.h"
#include "app/RecordingCommands.h"
#include "app/SigrokSource.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevices.h"
#include "sigrok/SigrokImport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// Sample i of the demo's "incremental" pattern with 16 lines.
std::uint16_t Incremental(std::uint64_t i) {
    return std::uint16_t(((2 * i) & 0xFF) | (((2 * i + 1) & 0xFF) << 8));
}

class LongCaptureTest : public MainWindowTest {
  protected:
    void UseDemo(std::uint64_t rateHz) {
        sigrok::DeviceSpec spec = sigrok::DemoDeviceSpec();
        spec.options.emplace_back("pattern", "incremental");
        window->Sigrok().UseDevice(spec, rateHz, QStringLiteral("Demo"));
        trigger("Eingabeprogrammieren1");
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
};

// Longer than the buffer the record length gives: the file holds every
// sample, the diagram shows all of them from it, and the buffer gave up its
// memory.
TEST_F(LongCaptureTest, RecordsIntoTheFileAndShowsItWhole) {
    UseDemo(1'000'000'000);
    trigger("MenuRecord_5_Sek");
    record();
    const int buffer = trazor().Buffer().Cells();
    const std::uint64_t cells = 3 * std::uint64_t(buffer) / 2 + 77;
    ASSERT_TRUE(window->Recording().RecordToFile(dir.filePath("long.sr"), cells));
    waitForRecording();
    // The file is in place: nothing of it is left under another name.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"long.sr"});

    sigrok::Context context;
    const sigrok::ImportResult read = sigrok::ImportFile(context, sigrok::ExchangeFormat::Session,
                                                         Path("long.sr"), std::size_t(cells));
    ASSERT_EQ(read.frames.samples.size(), cells);
    for (std::uint64_t i = 0; i < cells; ++i)
        ASSERT_EQ(read.frames.samples[i], Incremental(i)) << i;
    EXPECT_EQ(read.frames.names.front(), "D0");

    const trazor::LongCapture* shown = trazor().LongCaptureShown();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Cells(), cells);
    for (std::uint64_t i = 0; i < cells; i += 9973)
        ASSERT_EQ(shown->Word(i), Incremental(i)) << i;
    EXPECT_EQ(trazor().Buffer().Cells(), 0);
    EXPECT_EQ(trazor().ShownCells(), int(cells));
    EXPECT_TRUE(trazor().ZoomedOut());
    EXPECT_TRUE(window->Info().contains(QString::number(cells) + QStringLiteral(" Werte")))
        << window->Info().toStdString();
    EXPECT_FALSE(window->State().UnsavedRecording) << "the capture is in its file already";

    // What needs the samples in memory says so instead of working on an empty buffer.
    for (const auto& [item, command] : {std::pair{"Speichernunter1", "Speichern"},
                                        {"Suchen3", "Suchen"},
                                        {"Exportieren1", "Exportieren"},
                                        {"ProtokollDekodieren1", "Dekodieren"}}) {
        trigger(item);
        EXPECT_TRUE(lastMessage().startsWith(QString::fromUtf8(command) +
                                             QStringLiteral(" geht nur mit einer Aufnahme im")))
            << lastMessage().toStdString();
        EXPECT_TRUE(lastMessage().contains(dir.filePath("long.sr")));
    }
    EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::SaveFile), 0);

    // The next recording has the buffer again.
    record();
    EXPECT_EQ(trazor().LongCaptureShown(), nullptr);
    EXPECT_EQ(trazor().Buffer().Cells(), buffer);
}

// As the user runs it: the menu item asks for the file and returns while the
// capture runs on from the event loop, never pumping events itself; it runs
// until "Simultanstop", and what arrived is in the file.
TEST_F(LongCaptureTest, RunsFromTheEventLoopUntilStoppedFromTheMenu) {
    UseDemo(1'000'000);
    desktop.fileAnswers = {dir.filePath("stopped.sr")};
    trigger("MenuRecord_ToFile");
    ASSERT_TRUE(window->Recording().Running());
    const int pumps = desktop.count(ScriptedDesktop::Call::Kind::Pump);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return trazor().LongCaptureShown()->Cells() > 0; }, 10'000));
    EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::Pump), pumps);
    window->Ui().ButtonStop_Scan->click();
    waitForRecording();
    EXPECT_TRUE(window->Info().startsWith(QStringLiteral("Abgebrochen: ")))
        << window->Info().toStdString();
    sigrok::Context context;
    const sigrok::ImportResult read = sigrok::ImportFile(context, sigrok::ExchangeFormat::Session,
                                                         Path("stopped.sr"), std::size_t{1} << 26);
    ASSERT_GT(read.frames.samples.size(), 0u);
    for (std::size_t i = 0; i < read.frames.samples.size(); ++i)
        ASSERT_EQ(read.frames.samples[i], Incremental(i)) << i;
    EXPECT_EQ(trazor().LongCaptureShown()->Cells(), read.frames.samples.size());
}

// The window closed while a capture runs: the capture ends, its file is
// written, and the window goes once it is in place.
TEST_F(LongCaptureTest, ClosingTheWindowEndsTheCaptureAndKeepsTheFile) {
    UseDemo(1'000'000);
    window->show();
    ASSERT_TRUE(window->Recording().RecordToFile(dir.filePath("closed.sr"), 1u << 30));
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return trazor().LongCaptureShown()->Cells() > 0; }, 10'000));
    window->close();
    waitForRecording();
    EXPECT_FALSE(window->isVisible());
    sigrok::Context context;
    const sigrok::ImportResult read = sigrok::ImportFile(context, sigrok::ExchangeFormat::Session,
                                                         Path("closed.sr"), std::size_t{1} << 26);
    EXPECT_GT(read.frames.samples.size(), 0u);
}

TEST_F(LongCaptureTest, OnlyFromASigrokDevice) {
    trigger("MenuRecord_ToFile");
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("nur von einem sigrok-Gerät")))
        << lastMessage().toStdString();
    EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::SaveFile), 0);
}

} // namespace
