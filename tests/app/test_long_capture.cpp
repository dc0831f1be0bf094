// A capture longer than the buffer, recorded in the window from the demo
// device into a session file and shown from that file.
#include "MainWindowFixture.h"
#include "SmallDisk.h"
#include "app/RecordingCommands.h"
#include "app/SigrokSource.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevices.h"
#include "sigrok/SigrokImport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <map>

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

// The latest time the axis labels, in seconds.
double LastLabelSeconds(const TTrazor::AxisText& axis) {
    const std::map<QString, double> units = {{QStringLiteral("ps"), 1e-12},
                                             {QStringLiteral("ns"), 1e-9},
                                             {QStringLiteral("µs"), 1e-6},
                                             {QStringLiteral("ms"), 1e-3},
                                             {QStringLiteral("s"), 1.0}};
    const auto unit = units.find(axis.legend);
    if (unit == units.end() || axis.labels.empty()) return -1;
    double last = -1;
    for (QString label : axis.labels)
        last = std::max(last, label.replace(',', '.').toDouble() * unit->second);
    return last;
}

// A capture at a rate far from the nominal 10 us is labelled with its own
// times while it runs and after it: zoomed out whole, the axis reaches the
// capture's length at that rate (at the nominal period it would be 40 times
// longer).
TEST_F(LongCaptureTest, TheAxisCountsAtTheDeviceRateWhileItRunsAndAfter) {
    constexpr double kRate = 4'000'000;
    UseDemo(std::uint64_t(kRate));
    const auto axisSpansTheCapture = [this, kRate](const char* when) {
        SCOPED_TRACE(when);
        trazor().DrawSignals();
        const double length = double(trazor().ShownCells()) / kRate;
        const double last = LastLabelSeconds(trazor().ShownAxis());
        EXPECT_LE(last, length * 1.001) << trazor().ShownAxis().legend.toStdString();
        EXPECT_GE(last, length * 0.5) << trazor().ShownAxis().legend.toStdString();
    };
    ASSERT_TRUE(window->Recording().RecordToFile(dir.filePath("rate.sr"), 3u << 20));
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return trazor().LongCaptureShown()->Cells() >= (1u << 20); }, 20'000));
    ASSERT_TRUE(window->Recording().Running());
    axisSpansTheCapture("while it runs");
    waitForRecording();
    ASSERT_EQ(trazor().ShownCells(), 3 << 20);
    axisSpansTheCapture("after it");
}

// After the run the file is made durable, which may take the disk seconds:
// the window says so until it is in place, and only then what was written; a
// close meanwhile waits for it and loses nothing.
TEST_F(LongCaptureTest, SaysThatTheFileIsSavedUntilItIsInPlace) {
    UseDemo(1'000'000);
    window->show();
    QSignalSpy ended(&window->Recording(), &RecordingCommands::Ended);
    struct Seen {
        QString info;
        bool running = false;
        int ended = -1;
    } seen;
    QObject::connect(&window->Recording(), &RecordingCommands::FileSaving, [&] {
        seen = {window->Info(), window->Recording().Running(), int(ended.count())};
        // The user quits now.
        window->close();
    });
    const QString path = dir.filePath("saved.sr");
    ASSERT_TRUE(window->Recording().RecordToFile(path, 300'000));
    waitForRecording();
    EXPECT_EQ(seen.info, QStringLiteral("Datei %1 wird gesichert ...").arg(path));
    EXPECT_TRUE(seen.running);
    EXPECT_EQ(seen.ended, 0);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(window->Info().startsWith(QStringLiteral("300000 Werte")))
        << window->Info().toStdString();
    EXPECT_TRUE(window->Info().endsWith(QStringLiteral(", in ") + path));
    EXPECT_FALSE(window->isVisible());
    sigrok::Context context;
    const sigrok::ImportResult read = sigrok::ImportFile(context, sigrok::ExchangeFormat::Session,
                                                         path.toStdString(), std::size_t{1} << 20);
    ASSERT_EQ(read.frames.samples.size(), 300'000u);
    EXPECT_EQ(read.frames.samples.back(), Incremental(299'999));
}

// A disk that fills while the file is finished: a clear German error, nothing
// that looks like success, and nothing left behind to hold the room.
TEST_F(LongCaptureTest, AFullDiskIsNoSuccess) {
    SmallDisk disk(64);
    if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    UseDemo(1'000'000);
    const QString path = disk.FilePath(QStringLiteral("full.sr"));
    // Shorter than one chunk: its samples reach the disk only after the run,
    // on the writing thread.
    ASSERT_TRUE(window->Recording().RecordToFile(path, 200'000));
    waitForRecording();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("voll"))) << lastMessage().toStdString();
    EXPECT_EQ(window->Info(),
              QStringLiteral("Nichts gespeichert: %1 wurde nicht geschrieben.").arg(path));
    EXPECT_TRUE(disk.Entries().isEmpty()) << disk.Entries().join(' ').toStdString();
}

TEST_F(LongCaptureTest, OnlyFromASigrokDevice) {
    trigger("MenuRecord_ToFile");
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("nur von einem sigrok-Gerät")))
        << lastMessage().toStdString();
    EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::SaveFile), 0);
}

} // namespace
