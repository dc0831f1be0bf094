// A full "10 Sek." recording of 1,048,576 samples through the real main window
// (offscreen) from the simulated parallel port, in request mode and in fast
// mode. Reports samples per second and the program's own cost per sample
// beyond the two port reads.
#include "app/RecordingCommands.h"
#include "app/TMain1.h"
#include "display/TTrazor.h"
#include "hardware/TPortIO.h"
#include "platform/GuardedApplication.h"
#include "BenchDesktop.h"
#include "platform/QtDesktop.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

namespace {

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

struct Figures {
    double samplesPerSecond;
    double nsPerSample;
    double portNsPerSample;
};

Figures measure(TMain1& window, bool fast) {
    TPortIO& io = window.PortIO1();
    io.SetIOFastmode(fast);
    const int cells = window.Trazor1().Option().CellsSize();
    // Recordings keep 10 us deadlines; a 1 ns period measures the loop flat out.
    window.Recording().SetPeriodOverrideNs(1);
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        window.Recording().RecordSignal();
        best = std::min(best, seconds(std::chrono::steady_clock::now() - start));
    }
    // The same number of port reads alone, as the recording makes them.
    double portBest = 1e9;
    const std::uint32_t base = std::uint32_t(window.State().PortBase);
    volatile std::uint8_t sink = 0;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < cells; ++i) {
            sink = std::uint8_t(sink + io.ReadPortByte(base));
            sink = std::uint8_t(sink + io.ReadPortByte(base + 1));
        }
        portBest = std::min(portBest, seconds(std::chrono::steady_clock::now() - start));
    }
    io.SetIOFastmode(false);
    window.Recording().SetPeriodOverrideNs(0);
    return {cells / best, best * 1e9 / cells, portBest * 1e9 / cells};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    GuardedApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    BenchDesktop desktop;
    StartOptions options;
    options.simulate = true;
    options.programDir = QCoreApplication::applicationDirPath();
    TMain1 window(desktop, options);
    window.show();
    window.Action(QStringLiteral("Eingabeprogrammieren1"))->trigger();
    window.Action(QStringLiteral("MenuRecord_10_Sek"))->trigger();

    std::printf("full \"10 Sek.\" recording, %d samples, simulated parallel port (best of 3)\n",
                window.Trazor1().Option().CellsSize());
    for (bool fast : {false, true}) {
        const Figures f = measure(window, fast);
        std::printf(
            "%-12s %10.2f Msamples/s  %7.1f ns/sample  port reads %7.1f ns  program %7.1f ns\n",
            fast ? "fast mode" : "request mode", f.samplesPerSecond / 1e6, f.nsPerSample,
            f.portNsPerSample, f.nsPerSample - f.portNsPerSample);
    }
    return 0;
}
