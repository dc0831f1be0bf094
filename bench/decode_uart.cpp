// Protocol decoding of UART at 115200 baud over 1,048,576 samples (1 MHz):
//  1. the whole command, file to printed annotations, side by side with
//     sigrok-cli decoding the same .sr file in the same run (median of runs);
//  2. the decoding alone, in process;
//  3. the GUI thread's longest stall while the main window decodes the buffer
//     in the background (a 1 ms timer on the GUI thread; the largest gap
//     between its ticks, from the set-up until the result is shown).
//
//   bench_decode_uart [runs]     (default 5)
#include "../tests/sigrokdecode/SignalSynth.h"
#include "app/DecodeCommands.h"
#include "app/TMain1.h"
#include "decodeview/DecodeWindow.h"
#include "cli/RecordingExchange.h"
#include "display/TTrazor.h"
#include "platform/GuardedApplication.h"
#include "BenchDesktop.h"
#include "WindowDecode.h"
#include "platform/QtDesktop.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/decode/Decode.h"
#include "sigrok/decode/Library.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

namespace {

constexpr std::size_t kSamples = 1'048'576;
constexpr double kRate = 1e6;
const std::string kSetup = "uart:rx=D00:baudrate=115200";

SignalSynth UartSignal() {
    std::mt19937 random(17);
    std::uniform_int_distribution<int> printable(32, 126);
    SignalSynth s;
    s.Hold(100);
    while (s.Cells() + 200 < kSamples) {
        std::string chunk;
        for (int i = 0; i < 64; ++i) chunk += char(printable(random));
        s.Uart(0, chunk, kRate, 115200);
        if (s.Cells() > kSamples) break;
    }
    return s;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Wall time of one process run, or -1 when it fails.
double TimeProcess(const QString& program, const QStringList& args, std::size_t* lines) {
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(300000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", program.toUtf8().constData(), p.readAllStandardError().constData());
        return -1;
    }
    const double s = t.nsecsElapsed() * 1e-9;
    if (lines) *lines = std::size_t(p.readAllStandardOutput().count('\n'));
    return s;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    GuardedApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    const SignalSynth signal = UartSignal();
    auto planes = signal.Planes();
    const std::size_t cells = std::min(kSamples, planes.size() / 2);
    {
        // Exactly kSamples cells: cut both planes.
        std::vector<std::uint8_t> cut(2 * cells);
        std::copy_n(planes.begin(), cells, cut.begin());
        std::copy_n(planes.begin() + std::ptrdiff_t(planes.size() / 2), cells, cut.begin() + std::ptrdiff_t(cells));
        planes = std::move(cut);
    }
    sigrok::LogicFrames frames;
    frames.names = {"D00"};
    for (std::size_t i = 0; i < cells; ++i) frames.samples.push_back(std::uint16_t(planes[i] & 1));
    frames.timeBase = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(std::uint64_t(kRate)));
    const std::string file = dir.filePath("uart.sr").toStdString();
    {
        sigrok::Context context;
        cli::WriteRecording(context, frames, file);
    }
    std::printf("UART 115200 Bd, %zu samples at 1 MHz, %d runs each\n", cells, runs);

    // 1. Whole command against sigrok-cli, alternating so both see the same machine load.
    const QString spurwerk = QCoreApplication::applicationDirPath() + QStringLiteral("/spurwerk");
    std::vector<double> ours, theirs;
    std::size_t ourLines = 0, theirLines = 0;
    for (int i = 0; i < runs; ++i) {
        const QStringList args{QString::fromStdString(file), QStringLiteral("-P"), QString::fromStdString(kSetup)};
        ours.push_back(TimeProcess(spurwerk, QStringList{QStringLiteral("decode")} + args, &ourLines));
        theirs.push_back(TimeProcess(QStringLiteral("sigrok-cli"),
                                     {QStringLiteral("-i"), QString::fromStdString(file), QStringLiteral("-P"),
                                      QString::fromStdString(kSetup)},
                                     &theirLines));
    }
    const double mo = Median(ours), mt = Median(theirs);
    std::printf("spurwerk decode : median %.3f s  (%zu annotation lines)\n", mo, ourLines);
    std::printf("sigrok-cli -P   : median %.3f s  (%zu annotation lines)\n", mt, theirLines);
    std::printf("ratio spurwerk/sigrok-cli: %.2f (target <= 1)\n", mo / mt);

    // 2. Decoding alone.
    auto library = sigrokdecode::Library::Shared();
    const auto stack = sigrokdecode::Resolve(sigrokdecode::ParseStack(kSetup), library->Decoders(),
                                             std::vector<std::string>(16));
    std::vector<double> alone;
    std::size_t annotations = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const auto r = sigrokdecode::RunDecoders(*library, {stack}, {planes.data(), planes.data() + cells, cells},
                                                 std::uint64_t(kRate));
        alone.push_back(t.nsecsElapsed() * 1e-9);
        annotations = r.annotations.size();
    }
    std::printf("decoding alone  : median %.3f s  (%zu annotations, %.1f Msamples/s)\n", Median(alone), annotations,
                double(cells) / Median(alone) * 1e-6);

    // 3. GUI stall while the window decodes.
    BenchDesktop desktop(/*echoMessages=*/true);
    StartOptions options;
    options.simulate = true;
    options.programDir = QCoreApplication::applicationDirPath();
    std::vector<double> stalls;
    for (int i = 0; i < runs; ++i) {
        TMain1 window(desktop, options);
        window.show();
        window.Trazor1().LoadStream(planes);
        window.Trazor1().SetTimeBase(frames.timeBase);
        app.processEvents();
        StallMeter stall;
        const qint64 shownMs = DecodeInWindow(window, kSetup, 120000, stall);
        stalls.push_back(stall.LongestMs());
        std::printf("run %d: %zu annotations shown after %.3f s, longest GUI stall %.1f ms (ending at %.3f s)\n",
                    i + 1, window.Decode().Annotations().Count(), shownMs * 1e-3,
                    stall.LongestMs(), stall.LongestAtSeconds());
    }
    std::printf("GUI thread longest stall: median %.1f ms, max %.1f ms (target < 20 ms)\n", Median(stalls),
                *std::max_element(stalls.begin(), stalls.end()));

    // The same 1 ms timer for 5 s with nothing decoding: what the machine's
    // own load (other processes on the cores) makes of the GUI thread.
    {
        StallMeter stall;
        QElapsedTimer wall;
        wall.start();
        while (wall.elapsed() < 5000) app.processEvents(QEventLoop::WaitForMoreEvents, 5);
        std::printf("baseline without decoding: longest gap %.1f ms\n", stall.LongestMs());
    }

    // The GUI thread's own share: showing a finished result (rows index,
    // list model) and one poll that starts a run (fingerprint, copy).
    {
        TMain1 window(desktop, options);
        window.Trazor1().LoadStream(planes);
        window.Trazor1().SetTimeBase(frames.timeBase);
        window.Decode().ApplySetup({sigrokdecode::ParseStack(kSetup)});
        window.Decode().WaitForRun();
        std::vector<double> show, poll;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            window.Decode().Window()->ShowSource(&window.Decode().Annotations(), frames.timeBase);
            show.push_back(t.nsecsElapsed() * 1e-6);
            window.Trazor1().SetCellLow(i, std::uint8_t(window.Trazor1().GetCellLow(i) ^ 2)); // a changed buffer
            t.restart();
            window.Decode().Poll();
            poll.push_back(t.nsecsElapsed() * 1e-6);
            window.Decode().WaitForRun();
        }
        std::printf("GUI work: showing %zu annotations median %.1f ms; poll starting a run median %.1f ms\n",
                    window.Decode().Annotations().Count(), Median(show), Median(poll));
    }
    return 0;
}
