// The window recording a capture longer than memory from the demo device
// into a session file ("Lange Aufnahme in Datei ..."): by default 1 Gi
// samples of 16 lines at 24 MHz (2 GiB on the disk, 45 s of the demo's time).
//  - peak memory of the whole process (VmHWM) while the capture runs (target:
//    under 300 MiB); a 64 Mi recording is in the buffer before, as a user
//    would have one, and the peak is counted anew when the capture starts;
//  - the GUI thread's longest stall while the capture runs and the diagram
//    follows it (a 1 ms timer on the GUI thread; target under 20 ms);
//  - drawing the capture zoomed out whole, and at a zoom step deep inside it.
//
//   bench_long_capture_window [mebi-samples] [rate] [folder]
//   (default 1024, 24M, the temporary folder; the file is removed at the end)
#include "BenchWindow.h"
#include "StallMeter.h"
#include "app/NavigationCommands.h"
#include "app/RecordingCommands.h"
#include "app/SigrokSource.h"
#include "app/TMain1.h"
#include "display/TTrazor.h"
#include "platform/GuardedApplication.h"
#include "sigrok/DeviceSpec.h"
#include "sigrok/SigrokDevices.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Starts the peak anew from the memory in use now (Linux: "5" > clear_refs).
void ResetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly)) refs.write("5");
}

// Median time of drawing the diagram anew, in ms.
double DrawMs(TTrazor& t) {
    std::vector<double> times;
    for (int i = 0; i < 9; ++i) {
        QElapsedTimer clock;
        clock.start();
        t.DrawSignals();
        times.push_back(double(clock.nsecsElapsed()) * 1e-6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::uint64_t mebi = argc > 1 ? std::uint64_t(std::max(1, std::atoi(argv[1]))) : 1024;
    const std::uint64_t rate =
        sigrok::ParseQuantity(argc > 2 ? argv[2] : "24M").value_or(24'000'000);
    GuardedApplication app(argc, argv);
    QTemporaryDir dir(argc > 3 ? QString::fromLocal8Bit(argv[3]) + QStringLiteral("/XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/spurwerk-long-XXXXXX"));
    QDir::setCurrent(dir.path());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));

    BenchWindow bench;
    TMain1& window = bench.Window();
    window.Sigrok().UseDevice(sigrok::DemoDeviceSpec(), rate, QStringLiteral("Demo"));
    window.Action(QStringLiteral("Eingabeprogrammieren1"))->trigger();
    // A 64 Mi recording in the buffer first, as after "10 Sek." at this rate.
    window.Action(QStringLiteral("MenuRecord_10_Sek"))->trigger();
    bench.Record();
    window.SetUnsavedRecording(false);
    app.processEvents();
    const double before = PeakMiB();
    std::printf("%llu Mi samples of 16 lines at %s from the demo device into a session file; "
                "peak before %.0f MiB with %d cells in the buffer\n",
                static_cast<unsigned long long>(mebi), sigrok::RateText(rate).c_str(), before,
                window.Trazor1().Buffer().Cells());
    std::fflush(stdout);

    const QString path = dir.filePath(QStringLiteral("long.sr"));
    // From here the buffer's memory goes back; the peak counts from now.
    ResetPeak();
    StallMeter stall;
    QElapsedTimer clock;
    clock.start();
    // The capture runs on from the event loop until its file is in place.
    QEventLoop loop;
    QObject::connect(&window.Recording(), &RecordingCommands::Ended, &loop, &QEventLoop::quit);
    if (window.Recording().RecordToFile(path, mebi << 20)) loop.exec();
    const bool written = QFileInfo::exists(path);
    const double seconds = double(clock.nsecsElapsed()) * 1e-9;
    stall.tick.stop();
    std::printf("written: %s, %s; %.1f s, file %.0f MiB\n", written ? "yes" : "NO",
                window.Info().toUtf8().constData(), seconds,
                double(QFileInfo(path).size()) / (1 << 20));
    std::printf("GUI thread longest stall: %.1f ms (at %.2f s; target < 20 ms)\n",
                stall.LongestMs(), stall.LongestAtSeconds());
    std::printf("  of it waiting for a processor: %.1f ms; longest without such waits: %.1f ms "
                "(at %.2f s)\n",
                stall.LongestQueuedMs(), stall.LongestOwnMs(), stall.LongestOwnAtSeconds());
    std::printf("peak memory while it ran: %.0f MiB (target < 300 MiB)\n", PeakMiB());

    TTrazor& t = window.Trazor1();
    std::printf("drawn whole (%d cells per column): median %.2f ms\n", t.Scale().cellsPerColumn,
                DrawMs(t));
    // The finest zoom step in the middle of the capture: cell by cell from the file.
    t.SetZoomOut(std::nullopt);
    t.Option().SetCellsPos(t.ShownCells() / 2);
    std::printf("drawn at a zoom step in its middle: median %.2f ms\n", DrawMs(t));
    return written ? 0 : 1;
}
