// The window decoding a long UART capture: 64 Mi cells (the buffer's largest
// recording) at 1 MHz, 115200 baud, random printable text on D00.
//  - the GUI thread's longest stall from the set-up until the rows are shown
//    and listed (a 1 ms timer on the GUI thread; the largest gap between its ticks,
//    also without the time the thread was ready but the processors busy);
//  - peak memory of the process (VmHWM) before and after, and the bytes the
//    window keeps per annotation, apart from the distinct texts;
//  - drawing the rows when the whole capture is shown ("Alles zeigen");
//  - the longest stall again while a changed set-up decodes once more and its
//    annotations replace the first ones.
//
//   bench_decode_window [mebi-cells]     (default 64)
#include "../tests/sigrokdecode/SignalSynth.h"
#include "BenchWindow.h"
#include "WindowDecode.h"
#include "app/DecodeCommands.h"
#include "app/TMain1.h"
#include "decodeview/AnnotationRowsView.h"
#include "display/TTrazor.h"
#include "platform/GuardedApplication.h"
#include "sigrok/decode/DecodeSetup.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr double kRate = 1e6;
const std::string kSetup = "uart:rx=D00:baudrate=115200";

// One Mi cells of UART text, repeated: the planes of `mebi` Mi cells.
std::vector<std::uint8_t> Planes(std::size_t mebi) {
    constexpr std::size_t kTile = std::size_t(1) << 20;
    std::mt19937 random(17);
    std::uniform_int_distribution<int> printable(32, 126);
    SignalSynth s;
    s.Hold(100);
    while (s.Cells() + 2000 < kTile) {
        std::string chunk;
        for (int i = 0; i < 16; ++i)
            chunk += char(printable(random));
        s.Uart(0, chunk, kRate, 115200);
    }
    s.Hold(kTile - std::min(kTile, s.Cells()));
    const std::vector<std::uint8_t> tile = s.Planes();
    const std::size_t cells = mebi * kTile;
    std::vector<std::uint8_t> planes(2 * cells, 0);
    for (std::size_t t = 0; t < mebi; ++t)
        std::copy_n(tile.begin(), kTile, planes.begin() + std::ptrdiff_t(t * kTile));
    return planes;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::size_t mebi = argc > 1 ? std::size_t(std::max(1, std::atoi(argv[1]))) : 64;
    GuardedApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));

    BenchWindow bench;
    TMain1& window = bench.Window();
    {
        std::vector<std::uint8_t> planes = Planes(mebi);
        window.Trazor1().LoadStream(std::move(planes));
    }
    window.Trazor1().SetTimeBase(
        sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(std::uint64_t(kRate))));
    window.Trazor1().Pyramid();
    app.processEvents();
    const double before = PeakMiB();
    std::printf(
        "UART 115200 Bd at 1 MHz, %zu Mi cells in the window; peak before decoding %.0f MiB\n",
        mebi, before);

    StallMeter stall;
    const qint64 shownMs = DecodeInWindow(window, kSetup, 600000, stall);
    stall.tick.stop();

    const auto& store = window.Decode().Annotations();
    const std::size_t count = store.Count();
    std::printf("decoded: %zu annotations shown after %.2f s\n", count, shownMs * 1e-3);
    std::printf("GUI thread longest stall: %.1f ms (at %.2f s; target < 20 ms), %.1f ms of it "
                "waiting for a processor\n",
                stall.LongestMs(), stall.LongestAtSeconds(), stall.LongestQueuedMs());
    std::printf("  without waiting for a processor: %.1f ms (at %.2f s)\n", stall.LongestOwnMs(),
                stall.LongestOwnAtSeconds());
    std::printf("peak memory: %.0f MiB after decoding (+%.0f MiB; the buffer itself %.0f MiB)\n",
                PeakMiB(), PeakMiB() - before,
                double(window.Trazor1().Stream().size()) / (1 << 20));
    if (count > 0)
        std::printf(
            "kept per annotation: %.1f bytes (target <= 64), distinct texts %zu in %zu bytes\n",
            double(store.AnnotationBytes()) / double(count), store.DistinctTexts(),
            store.TextBytes());

    // The rows drawn with the whole capture shown, median of 9.
    window.Action(QStringLiteral("Alleszeigen1"))->trigger();
    app.processEvents();
    std::vector<double> paints;
    for (int i = 0; i < 9; ++i) {
        QElapsedTimer t;
        t.start();
        window.Decode().Rows().repaint();
        paints.push_back(t.nsecsElapsed() * 1e-6);
    }
    std::sort(paints.begin(), paints.end());
    std::printf("rows drawn at full zoom-out (%d px wide): median %.2f ms\n",
                window.Decode().Rows().width(), paints[paints.size() / 2]);

    StallMeter again;
    const qint64 againMs = DecodeInWindow(window, kSetup + ":format=ascii", 600000, again);
    again.tick.stop();
    std::printf("decoded again (format=ascii): %zu annotations after %.2f s; longest stall %.1f "
                "ms (%.1f ms waiting for a processor), without waiting %.1f ms (at %.2f s)\n",
                store.Count(), againMs * 1e-3, again.LongestMs(), again.LongestQueuedMs(),
                again.LongestOwnMs(), again.LongestOwnAtSeconds());
    return 0;
}
