// Recording from libsigrok's demo device, three figures:
//
//   1. memory   the main window records 64 Mi samples (the longest buffer,
//               128 MiB) from the demo device at 24 MHz in a process of its
//               own; its peak resident memory against its memory before the
//               recording (target: peak below base + 1.5 x buffer). sigrok-cli
//               recording the same count into a file runs beside it;
//   2. speed    1,048,576 samples of 16 lines at the demo's highest rate,
//               `spurwerk record -o x.sr` against `sigrok-cli ... -o y.sr`,
//               whole processes, median of five runs each, alternating;
//   3. stall    the GUI thread's longest gap between two ticks of a 1 ms
//               timer while the window records (target below 20 ms), with the
//               same timer on an idle window as the machine's own baseline.
//
// Run: build/bench_sigrok_record   (needs sigrok-cli on the path)
#include "BenchDesktop.h"
#include "StallMeter.h"
#include "app/MainUi.h"
#include "app/RecordingCommands.h"
#include "app/SigrokSource.h"
#include "app/TMain1.h"
#include "display/TTrazor.h"
#include "sigrok/SigrokDevices.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 5;

struct ChildRun {
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
};

// Runs a program to its end and reads its peak resident memory from the kernel.
ChildRun RunChild(const std::vector<std::string>& argv, bool quiet = true) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (quiet) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    ChildRun run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (run.status != 0) {
        std::fprintf(stderr, "failed (%d): %s\n", run.status, argv[0].c_str());
        std::exit(1);
    }
    return run;
}

long StatusKiB(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
    return 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

StartOptions WindowOptions() {
    StartOptions options;
    options.simulate = true;
    options.programDir = QCoreApplication::applicationDirPath();
    return options;
}

// Records once in the window, the event loop running until the recording has
// ended (a device's recording runs on from it); answers the seconds from the
// click to the end, with `stall` measuring over the same time.
double RecordInWindow(QApplication& app, TMain1& window, StallMeter& stall) {
    QElapsedTimer wall;
    double seconds = 0;
    const QMetaObject::Connection ended =
        QObject::connect(&window.Recording(), &RecordingCommands::Ended, [&] {
            seconds = wall.elapsed() * 1e-3;
            app.exit(0);
        });
    QTimer::singleShot(0, [&] {
        stall.Restart();
        wall.start();
        window.Action(QStringLiteral("MenuRecord_Signal"))->trigger();
    });
    app.exec();
    QObject::disconnect(ended);
    return seconds;
}

// A window with the demo device as its source at `rateHz` and the length of "10 Sek.".
void UseDemo(TMain1& window, std::uint64_t rateHz) {
    sigrok::DeviceSpec demo = sigrok::DemoDeviceSpec();
    window.Sigrok().UseDevice(demo, rateHz, QStringLiteral("Demo"));
    window.Action(QStringLiteral("Eingabeprogrammieren1"))->trigger();
    window.Action(QStringLiteral("MenuRecord_10_Sek"))->trigger();
    if (!window.Action(QStringLiteral("MenuRecord_10_Sek"))->isChecked())
        window.Action(QStringLiteral("MenuRecord_10_Sek"))->trigger();
}

// The child of figure 1: one 64 Mi recording in the window, then its memory.
int RecordLongInWindow(QApplication& app) {
    BenchDesktop desktop(/*echoMessages=*/true);
    TMain1 window(desktop, WindowOptions());
    window.show();
    app.processEvents();
    // The program's base: the window as it starts, with its usual 2 MiB buffer.
    const long baseKiB = StatusKiB("VmRSS:");
    UseDemo(window, 24'000'000);
    app.processEvents();
    const int cells = window.Trazor1().Option().CellsSize();
    StallMeter stall;
    const double seconds = RecordInWindow(app, window, stall);
    std::printf("  window: %d samples recorded in %.2f s, longest GUI stall %.1f ms\n", cells,
                seconds, stall.LongestMs());
    const long peakKiB = StatusKiB("VmHWM:");
    const double bufferMiB = 2.0 * cells / (1024 * 1024);
    const double extraMiB = double(peakKiB - baseKiB) / 1024;
    std::printf("  window: base %.0f MiB, peak %.0f MiB, buffer %.0f MiB: peak - base = %.2f x "
                "buffer (target below 1.5)\n",
                baseKiB / 1024.0, peakKiB / 1024.0, bufferMiB, extraMiB / bufferMiB);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child-long") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return RecordLongInWindow(app);
    }
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    const std::string program = SPURWERK_PROGRAM;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("spurwerk-bench-record-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string demo16 = "demo:logic_channels=16:analog_channels=0";

    std::printf("1. memory: 64 Mi samples from the demo device at 24 MHz\n");
    std::fflush(stdout);
    RunChild({self, "--child-long"}, /*quiet=*/false);
    {
        // sigrok-cli's .sr writer takes minutes for this count (11 s for 4 Mi
        // samples already), so both write their plainest format: raw words
        // and a .DIG file.
        const std::string out = (dir / "long-cli.bin").string();
        const ChildRun cli = RunChild({"sigrok-cli", "-d", demo16, "--config", "samplerate=24M",
                                       "--samples", "67108864", "-O", "binary", "-o", out});
        const ChildRun own =
            RunChild({program, "record", "--simulate", "--source", "sigrok:demo", "--samples",
                      "67108864", "--samplerate", "24M", "-o", (dir / "long-own.DIG").string()});
        std::printf("  into a file: spurwerk record -o .DIG %.2f s, peak %ld MiB; sigrok-cli -O "
                    "binary %.2f s, peak %ld MiB\n",
                    own.seconds, own.peakKiB / 1024, cli.seconds, cli.peakKiB / 1024);
    }

    std::printf("2. speed: 1,048,576 samples of 16 lines at 1 GHz (the demo's highest rate) "
                "into .sr, median of %d\n",
                kRuns);
    std::fflush(stdout);
    std::vector<double> own, cli;
    for (int run = 0; run < kRuns; ++run) {
        own.push_back(
            RunChild({program, "record", "--simulate", "--source", "sigrok:demo", "--samples",
                      "1048576", "--samplerate", "1G", "-o", (dir / "speed-own.sr").string()})
                .seconds);
        cli.push_back(RunChild({"sigrok-cli", "-d", demo16, "--config", "samplerate=1G",
                                "--samples", "1048576", "-o", (dir / "speed-cli.sr").string()})
                          .seconds);
    }
    std::printf("  spurwerk record %.3f s, sigrok-cli %.3f s: ratio %.2f (target at most 1)\n",
                Median(own), Median(cli), Median(own) / Median(cli));

    std::printf("3. GUI stall while the window records 1,048,576 samples at 1 GHz, %d runs\n",
                kRuns);
    std::fflush(stdout);
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        BenchDesktop desktop(/*echoMessages=*/true);
        TMain1 window(desktop, WindowOptions());
        window.show();
        UseDemo(window, 1'000'000'000);
        window.Trazor1().Option().SetCellsSize(1 << 20);
        StallMeter stall;
        std::vector<double> stalls, times;
        for (int run = 0; run < kRuns; ++run) {
            app.processEvents();
            times.push_back(RecordInWindow(app, window, stall));
            stalls.push_back(stall.LongestMs());
        }
        std::printf("  recording %.3f s (median), longest GUI stall median %.1f ms, max %.1f ms "
                    "(target below 20 ms)\n",
                    Median(times), Median(stalls), *std::max_element(stalls.begin(), stalls.end()));
        // The same timer on the idle window for two seconds: the machine's own share.
        QTimer::singleShot(0, [&] { stall.Restart(); });
        QTimer::singleShot(2000, [&] { app.exit(0); });
        app.exec();
        std::printf("  idle window, same timer: longest gap %.1f ms\n", stall.LongestMs());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
