#include "cli/PortRecording.h"

#include "cli/ConsoleDesktop.h"
#include "hardware/K8055Library.h"
#include "hardware/PortPreparation.h"
#include "hardware/PortSample.h"
#include "hardware/PortSystem.h"
#include "hardware/TPortIO.h"
#include "hardware/TPortUSB.h"
#include "sampling/MonotonicClock.h"
#include "sampling/PacedRecording.h"
#include "sigrok/LogicFrames.h"
#include "support/InstallLayout.h"

#include <chrono>
#include <system_error>

namespace cli {

namespace {

// The window's base addresses of LPT1 and LPT2.
constexpr std::int32_t kLptBase[] = {0x378, 0x278};
// The port and the board settle this long after their preparation, as in the window.
constexpr int kSettleMs = 500;
constexpr std::int64_t kProgressEveryNs = 100'000'000;

std::string ProgramDir(const std::string& given) {
    return given.empty() ? install::RunningProgramDirectory().toStdString() : given;
}

// Takes the samples with the window's paced loop; readSample() gives one word.
template <typename ReadWord>
void TakeSamples(const PortRecordingRequest& request, const std::atomic<bool>& stop,
                 const std::function<void(std::uint64_t)>& progress, ReadWord&& readWord,
                 PortRecording& result) {
    std::vector<std::uint16_t>& samples = result.frames.samples;
    samples.assign(request.samples, 0);
    sampling::SteadyClock clock;
    const auto wallStart = std::chrono::system_clock::now();
    std::int64_t lastProgress = 0;
    const auto wanted = [&](std::int64_t i) {
        return std::uint64_t(i) < request.samples && !stop.load(std::memory_order_relaxed);
    };
    const sampling::PacedRun run = sampling::RecordPaced(
        clock, request.source.NominalPeriodNs(), wanted, readWord,
        [&](std::int64_t i, std::uint16_t word) { samples[std::size_t(i)] = word; },
        [&](std::int64_t taken, std::int64_t now) {
            if (now - lastProgress < kProgressEveryNs) return;
            lastProgress = now;
            if (progress) progress(std::uint64_t(taken));
        });
    samples.resize(std::size_t(run.samples));
    result.stoppedEarly = std::uint64_t(run.samples) < request.samples;
    result.timing = run.timing;
    result.frames.timeBase = run.timing.ToTimeBase();
    result.frames.timeBase.start = wallStart;
}

void NameLines(PortRecording& result, int lines) {
    for (int line = 0; line < lines; ++line)
        result.frames.names.push_back(sigrok::DefaultLineName(line));
}

PortRecording RecordFromLpt(const PortRecordingRequest& request, const std::atomic<bool>& stop,
                            const std::function<void(std::uint64_t)>& progress) {
    PortRecording result;
    const std::string name = request.source.Name();
    const std::int32_t base = kLptBase[request.source.number == 2 ? 1 : 0];
    ConsoleDesktop desktop;
    TPortIO io(desktop, MakePortSystem(request.simulate ? PortSystemKind::Simulated
                                                        : PortSystemKind::Ppdev));
    io.SetName(QStringLiteral("PortIO1"));
    io.SetIOactive(true);
    // Asked at the control register: a read of the data register may count
    // as a sample (the simulated port's pattern advances with it).
    if (!io.IOactive() || !io.PortAnswers(std::uint32_t(base + 2))) {
        result.error = "Der Druckerport " + name +
                       " lässt sich nicht öffnen: kein Druckerport gefunden oder keine "
                       "Berechtigung für /dev/parport* (Gruppe lp). Ohne Hardware: --simulate.";
        return result;
    }
    // Held while it is read, so that no printer driver claims it in between.
    io.SetPortHeld(true);
    portprep::InputStart(io, base);
    if (!io.CanReadDataLines(std::uint32_t(base)))
        result.warning = "Der Druckerport " + name +
                         " kann seine Datenleitungen nicht als Eingänge schalten; D00..D07 "
                         "zeigen seine eigene Ausgabe, nicht die Signale.";
    const LptMode plain;
    portprep::RecordingStart(io, base, plain);
    desktop.Sleep(kSettleMs);
    TakeSamples(request, stop, progress,
                [&] { return SampleWord(ReadPortSample(io, base)); }, result);
    portprep::RunEnd(io, base, plain);
    // The port stays an input: as an output it would drive its data lines
    // against the signals still connected. The window switches it back only
    // after the user was told to disconnect them, which nobody can confirm here.
    io.SetPortHeld(false);
    NameLines(result, 12);
    return result;
}

PortRecording RecordFromBoard(const PortRecordingRequest& request, const std::atomic<bool>& stop,
                              const std::function<void(std::uint64_t)>& progress) {
    PortRecording result;
    const std::string name = request.source.Name();
    ConsoleDesktop desktop;
    const k8055::LibraryChoice library =
        k8055::ChooseLibrary(request.simulate, QString::fromStdString(request.boardLibrary),
                             QString::fromStdString(ProgramDir(request.programDir)));
    TPortUSB usb(desktop, library.name, library.directory);
    if (!usb.LibraryLoaded()) {
        result.error = "Die Bibliothek für die K8055-Karten (" + library.name.toStdString() +
                       ") lässt sich nicht laden.";
        return result;
    }
    usb.SetUSBportconnect(TUSBConnect::User);
    usb.SetUSBportAddr(request.source.number);
    usb.SetUSBportactive(true);
    if (!usb.USBportactive()) {
        usb.WaitWhileProcessing();
        result.error = "Keine K8055-Karte mit der Adresse " +
                       std::to_string(request.source.number) +
                       " gefunden (angeschlossen? Berechtigung für USB?). Ohne Hardware: "
                       "--simulate.";
        return result;
    }
    desktop.Sleep(kSettleMs);
    TakeSamples(request, stop, progress, [&] { return SampleWord(ReadBoardSample(usb)); },
                result);
    usb.SetUSBportactive(false);
    usb.WaitWhileProcessing();
    NameLines(result, 5);
    return result;
}

} // namespace

std::optional<PortSource> PortSource::Parse(const std::string& text) {
    if (text == "lpt1" || text == "lpt2") return PortSource{Kind::Lpt, text[3] - '0'};
    if (text.size() == 4 && text.rfind("usb", 0) == 0 && text[3] >= '1' && text[3] <= '4')
        return PortSource{Kind::Board, text[3] - '0'};
    return std::nullopt;
}

std::string PortSource::Name() const {
    return (kind == Kind::Lpt ? "LPT" : "USB") + std::to_string(number);
}

std::int64_t PortSource::NominalPeriodNs() const {
    return kind == Kind::Lpt ? 10'000 : 10'000'000;
}

PortRecording RecordFromPort(const PortRecordingRequest& request, const std::atomic<bool>& stop,
                             const std::function<void(std::uint64_t)>& progress) {
    return request.source.kind == PortSource::Kind::Lpt
               ? RecordFromLpt(request, stop, progress)
               : RecordFromBoard(request, stop, progress);
}

} // namespace cli
