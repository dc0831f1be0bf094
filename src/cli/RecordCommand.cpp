#include "cli/RecordCommand.h"

#include "acquire/OwnSources.h"
#include "acquire/Recorder.h"
#include "acquire/SigrokDeviceSource.h"
#include "acquire/SourceFacts.h"
#include "acquire/StreamSink.h"
#include "acquire/VectorSink.h"
#include "cli/RecordingExchange.h"
#include "platform/ConsoleDesktop.h"
#include "sigrok/ChannelChoice.h"
#include "sigrok/DeviceSpec.h"
#include "sigrok/LogicFrames.h"
#include "sigrok/SessionStream.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokDevices.h"
#include "sigrok/SigrokError.h"
#include "sampling/CaptureLength.h"
#include "sampling/Trigger.h"
#include "sigrok/SigrokExport.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <exception>
#include <memory>
#include <optional>
#include <unistd.h>

namespace cli {

namespace {

// The most samples one recording holds in memory: 64 Mi words, 128 MiB. A
// session file is written while the recording runs and has no such bound.
constexpr std::uint64_t MaxRecordSamples = acquire::kMaxDeviceCells;
// A terminal's progress line changes at most this often.
constexpr std::chrono::milliseconds kProgressEvery{100};

void Usage(std::ostream& to) {
    PrintUsage("record", to);
}

// Ctrl+C asks the recording to end; the handler only sets this flag, which
// the waiting loop turns into a stop. Restored when the recording is over.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) {
    interrupted.store(true);
}

class InterruptCatcher {
  public:
    InterruptCatcher() {
        interrupted = false;
        struct sigaction action {};
        action.sa_handler = &OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previousInt_);
        sigaction(SIGTERM, &action, &previousTerm_);
    }
    ~InterruptCatcher() {
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
    }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

  private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

struct Options {
    std::string source;
    std::string output;
    std::optional<std::uint64_t> samples;
    std::string samplesText;
    std::optional<std::uint64_t> timeUs; // --time, in microseconds
    std::uint64_t rateHz = 0;
    std::uint16_t lines = 0xFFFF;
    sampling::Trigger trigger{};
    int preTriggerPercent = -1; // not given
    bool waitTrigger = false;
    bool simulate = false;
    std::string boardLibrary; // a K8055 library instead of the program's own
};

// A session file is written while the recording runs, as sigrok-cli -o does:
// its length is bounded by the disk. The other formats are written from memory.
bool Streamed(const std::string& output) {
    return sigrok::FormatFromPath(output) == sigrok::ExchangeFormat::Session;
}

// nullopt after a usage error has been written to err.
std::optional<Options> ReadOptions(const std::vector<std::string>& args, std::ostream& err) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--simulate") {
            options.simulate = true;
            continue;
        }
        if (arg == "-w" || arg == "--wait-trigger") {
            options.waitTrigger = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        const std::size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        } else if (arg == "--source" || arg == "--samples" || arg == "--samplerate" ||
                   arg == "-o" || arg == "--output" || arg == "--k8055-library" ||
                   arg == "--time" || arg == "--channels" || arg == "-C" ||
                   arg == "--triggers" || arg == "-t" || arg == "--pretrigger") {
            if (i + 1 >= args.size()) {
                err << "spurwerk record: " << arg << " braucht einen Wert.\n";
                return std::nullopt;
            }
            value = args[++i];
        } else {
            err << "spurwerk record: unbekanntes Argument '" << arg << "'.\n";
            return std::nullopt;
        }
        if (name == "--source") {
            options.source = value;
        } else if (name == "-o" || name == "--output") {
            options.output = value;
        } else if (name == "--k8055-library") {
            if (value.empty()) {
                err << "spurwerk record: --k8055-library braucht den Namen einer Bibliothek.\n";
                return std::nullopt;
            }
            options.boardLibrary = value;
        } else if (name == "--samples") {
            options.samples = sigrok::ParseQuantity(value);
            options.samplesText = value;
        } else if (name == "--time") {
            options.timeUs = sampling::ParseDuration(value);
            if (!options.timeUs) {
                err << "spurwerk record: --time versteht '" << value
                    << "' nicht (Millisekunden, Beispiele: 500, 250ms, 2s, 1,5s).\n";
                return std::nullopt;
            }
        } else if (name == "--channels" || name == "-C") {
            try {
                options.lines = sigrok::ChooseLines(value, sampling::UsualLineNames());
            } catch (const sigrok::Error& e) {
                err << "spurwerk record: --channels: " << e.what() << "\n";
                return std::nullopt;
            }
        } else if (name == "--triggers" || name == "-t") {
            std::string why;
            const auto trigger = sampling::ParseTrigger(value, sampling::UsualLineNames(), why);
            if (!trigger) {
                err << "spurwerk record: --triggers: " << why << "\n";
                return std::nullopt;
            }
            options.trigger = *trigger;
        } else if (name == "--pretrigger") {
            const std::optional<int> percent = sampling::ParsePercent(value);
            if (!percent) {
                err << "spurwerk record: --pretrigger braucht einen Anteil von 0 bis 99 %, nicht '"
                    << value << "'.\n";
                return std::nullopt;
            }
            options.preTriggerPercent = *percent;
        } else if (name == "--samplerate") {
            const auto rate = sigrok::ParseQuantity(value);
            if (!rate) {
                err << "spurwerk record: --samplerate versteht '" << value
                    << "' nicht (Beispiele: 1M, 24MHz, 200k).\n";
                return std::nullopt;
            }
            options.rateHz = *rate;
        } else {
            err << "spurwerk record: unbekannte Option '" << name << "'.\n";
            return std::nullopt;
        }
    }
    if (options.source.empty() || (options.samplesText.empty() && !options.timeUs) ||
        options.output.empty()) {
        err << "spurwerk record: --source, --samples oder --time und -o sind nötig.\n";
        return std::nullopt;
    }
    if (options.trigger.Empty() && (options.preTriggerPercent >= 0 || options.waitTrigger)) {
        err << "spurwerk record: --pretrigger und -w gelten nur mit --triggers.\n";
        return std::nullopt;
    }
    if (options.waitTrigger && options.preTriggerPercent > 0) {
        err << "spurwerk record: -w beginnt die Aufnahme am Trigger; --pretrigger "
            << options.preTriggerPercent << " % passt nicht dazu.\n";
        return std::nullopt;
    }
    if (options.trigger.Lines() & ~options.lines) {
        err << "spurwerk record: der Trigger nutzt einen Kanal, der nicht aufgenommen wird ("
            << sampling::LineListText(options.trigger.Lines() & ~options.lines,
                                      sampling::UsualLineNames())
            << ").\n";
        return std::nullopt;
    }
    if (!KnownRecordingExtension(options.output)) {
        err << "spurwerk record: unbekannte Dateiendung bei \"" << options.output
            << "\" (erlaubt: .DIG, .sr, .vcd, .csv).\n";
        return std::nullopt;
    }
    if (options.samplesText.empty()) {
        // --time alone: the count follows once the rate is known.
    } else if (Streamed(options.output)) {
        if (!options.samples || *options.samples == 0) {
            err << "spurwerk record: --samples braucht eine Anzahl ab 1, nicht '"
                << options.samplesText << "'.\n";
            return std::nullopt;
        }
    } else if (!options.samples || *options.samples == 0 || *options.samples > MaxRecordSamples) {
        err << "spurwerk record: --samples braucht eine Anzahl von 1 bis " << MaxRecordSamples
            << ", nicht '" << options.samplesText << "' (mehr nur in eine .sr-Datei).\n";
        return std::nullopt;
    }
    return options;
}

// The device a sigrok source names, with the demo's usual channels unless the
// source sets them.
std::optional<sigrok::DeviceSpec> SigrokSource(const Options& options, std::ostream& err) {
    const auto spec = sigrok::ParseDeviceSpec(options.source.substr(7));
    if (!spec) {
        err << "spurwerk record: die Quelle '" << options.source
            << "' hat nicht die Form sigrok:TREIBER[:SCHLÜSSEL=WERT...].\n";
        return std::nullopt;
    }
    if (spec->driver != "demo") return spec;
    if (!options.simulate) {
        err << "spurwerk record: das Demo-Gerät von libsigrok gibt es nur mit --simulate.\n";
        return std::nullopt;
    }
    sigrok::DeviceSpec demo = sigrok::DemoDeviceSpec();
    for (const auto& option : spec->options) {
        bool replaced = false;
        for (auto& own : demo.options)
            if (own.first == option.first) {
                own.second = option.second;
                replaced = true;
            }
        if (!replaced) demo.options.push_back(option);
    }
    return demo;
}

void ShowProgress(std::ostream& err, std::uint64_t have, std::uint64_t total) {
    err << "\rAufnahme: " << (have * 100 / total) << " % (" << have << " von " << total
        << " Abtastwerten)" << std::flush;
}

// What a source delivered, whatever it is; samples that arrived are kept in
// every case.
struct Recorded {
    sigrok::LogicFrames frames; // the samples only where they stay in memory
    std::uint64_t cells = 0;
    bool stoppedEarly = false;
    std::string error;   // the recording failed or ended short
    std::string warning; // the recording went ahead
    std::string summary; // how the samples kept their pace
    bool triggerMissed = false;
    std::optional<std::uint64_t> triggerCell;
};

// Records from any source into the sink, the rest into frames; what arrived
// is kept in every case.
Recorded RecordFrom(acquire::SampleSource& source, const acquire::RunRequest& request,
                    acquire::SampleSink& sink, bool terminal, std::ostream& err) {
    const std::uint64_t total = request.cells;
    Recorded recorded;
    auto lastShown = std::chrono::steady_clock::now();
    acquire::RunControl control;
    control.stop = &interrupted;
    control.progress = [&](std::uint64_t have) {
        if (!terminal) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - lastShown < kProgressEvery) return;
        lastShown = now;
        ShowProgress(err, have, total);
    };
    const acquire::Recording run =
        acquire::Recorder(source).Record(acquire::RunKind::Recording, request, sink, control);
    recorded.cells = run.cells;
    recorded.stoppedEarly = run.stopped;
    recorded.error = run.error;
    recorded.triggerMissed = run.triggerMissed;
    recorded.triggerCell = run.triggerCell;
    if (run.triggerMissed) recorded.summary = run.summary;
    // The file keeps the device's own names, so that sigrok-cli's "-P uart:rx=D0"
    // finds the line it would find in the device's own recording.
    for (int line = 0; line < std::max(run.lines, 1); ++line) {
        const auto l = std::size_t(line);
        const bool named = l < run.names.size() && !run.names[l].empty();
        recorded.frames.names.push_back(named ? run.names[l] : sigrok::DefaultLineName(line));
    }
    recorded.frames.timeBase = run.timeBase;
    // A device's count and rate are known; what a paced source measured is news.
    if (run.timing) recorded.summary = run.summary;
    return recorded;
}

// The port and the board sample at their own pace, which --samplerate may
// only repeat; they hold as many samples as the window's buffer.
bool CheckPortOptions(const acquire::OwnSourceName& port, const Options& options,
                      std::ostream& err) {
    if (!options.trigger.Empty()) {
        err << "spurwerk record: " << port.Name()
            << " kennt keinen Trigger; --triggers gilt nur für sigrok-Geräte.\n";
        return false;
    }
    if (options.samples && *options.samples > acquire::kMaxPortCells) {
        err << "spurwerk record: " << port.Name() << " nimmt höchstens " << acquire::kMaxPortCells
            << " Abtastwerte auf, nicht " << *options.samples << ".\n";
        return false;
    }
    if (options.rateHz != 0 && options.rateHz != port.NominalRateHz()) {
        err << "spurwerk record: " << port.Name() << " tastet mit "
            << sigrok::RateText(port.NominalRateHz()) << " ab; --samplerate "
            << sigrok::RateText(options.rateHz) << " geht hier nicht.\n";
        return false;
    }
    return true;
}

// The samples --samples and --time ask for (the fewer, as with sigrok-cli),
// within what the source holds when they stay in memory; nullopt after a
// message.
std::optional<std::uint64_t> SamplesToTake(const Options& options, acquire::SampleSource& source,
                                           sigrok::Context& context,
                                           const std::optional<sigrok::DeviceSpec>& device,
                                           std::ostream& err) {
    std::uint64_t total = options.samples.value_or(UINT64_MAX);
    if (options.timeUs) {
        std::uint64_t rate = options.rateHz;
        if (rate == 0 && source.NominalPeriodNs() > 0)
            rate = std::uint64_t(1'000'000'000 / source.NominalPeriodNs());
        if (rate == 0 && device) {
            const std::vector<sigrok::DeviceInfo> found = sigrok::ScanDriver(context, *device);
            if (!found.empty()) rate = found.front().currentRateHz;
        }
        if (rate == 0) {
            err << "spurwerk record: die Abtastrate des Geräts ist nicht bekannt; --time "
                   "braucht --samplerate.\n";
            return std::nullopt;
        }
        total = std::min(total, std::max<std::uint64_t>(
                                    1, sampling::CellsForDuration(rate, *options.timeUs)));
    }
    // A device streams a session file to the disk, beyond any buffer.
    if (total > source.MaxCells() && !(device && Streamed(options.output))) {
        err << "spurwerk record: " << source.Name() << " nimmt höchstens " << source.MaxCells()
            << " Abtastwerte auf, nicht " << total << ".\n";
        return std::nullopt;
    }
    return total;
}

} // namespace

int RunRecord(const std::vector<std::string>& args, Streams io) {
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") {
            Usage(io.out);
            return ExitOk;
        }
    const std::optional<Options> options = ReadOptions(args, io.err);
    if (!options) {
        io.err << "\"spurwerk record --help\" beschreibt die Argumente.\n";
        return ExitUsage;
    }
    const std::optional<acquire::OwnSourceName> port =
        acquire::OwnSourceName::Parse(options->source);
    std::optional<sigrok::DeviceSpec> device;
    if (port) {
        if (!CheckPortOptions(*port, *options, io.err)) return ExitUsage;
    } else if (options->source.rfind("sigrok:", 0) == 0) {
        device = SigrokSource(*options, io.err);
        if (!device) return ExitUsage;
    } else {
        io.err << "spurwerk record: unbekannte Quelle '" << options->source
               << "' (sigrok:TREIBER, lpt1, lpt2, usb1..usb4).\n";
        return ExitUsage;
    }

    try {
        sigrok::Context context;
        const bool terminal = ::isatty(STDERR_FILENO) == 1;
        ConsoleDesktop desktop;
        acquire::OpenedSource opened;
        if (port) {
            opened = acquire::OpenOwnSource({*port, options->simulate, options->boardLibrary, {}},
                                            desktop);
        } else {
            opened.source =
                std::make_unique<acquire::SigrokDeviceSource>(context, *device, options->rateHz);
        }
        Recorded recorded;
        acquire::RunRequest request;
        if (opened.source) {
            const std::optional<std::uint64_t> total =
                SamplesToTake(*options, *opened.source, context, device, io.err);
            if (!total) return port ? ExitUsage : ExitFailure;
            request.cells = *total;
            request.lines = options->lines;
            request.trigger = options->trigger;
            request.preTriggerPercent = std::max(options->preTriggerPercent, 0);
        }
        // Made before the recording starts, so that a folder that cannot take
        // the file is named before the device runs.
        std::optional<sigrok::SessionStream> stream;
        if (opened.source) {
            std::vector<std::uint16_t> samples;
            std::unique_ptr<acquire::SampleSink> sink;
            if (Streamed(options->output)) {
                sigrok::SessionStream::Shape shape;
                shape.unitSize = opened.source->Lines() <= 8 ? 1 : 2;
                stream.emplace(options->output, shape);
                sink = std::make_unique<acquire::StreamSink>(*stream);
            } else {
                samples.reserve(request.cells);
                sink = std::make_unique<acquire::VectorSink>(samples);
            }
            const InterruptCatcher catcher;
            recorded = RecordFrom(*opened.source, request, *sink, terminal, io.err);
            recorded.frames.samples = std::move(samples);
        }
        recorded.warning = opened.warning;
        if (!opened.error.empty()) recorded.error = opened.error;
        if (terminal && request.cells > 0) {
            ShowProgress(io.err, recorded.cells, request.cells);
            io.err << "\n";
        }
        if (!recorded.warning.empty()) io.err << "spurwerk record: " << recorded.warning << "\n";
        if (!recorded.error.empty()) io.err << "spurwerk record: " << recorded.error << "\n";
        if (recorded.triggerMissed) io.err << "spurwerk record: " << recorded.summary << "\n";
        if (recorded.cells == 0) {
            io.err << "spurwerk record: keine Abtastwerte empfangen; " << options->output
                   << " wird nicht geschrieben.\n";
            return ExitFailure;
        }
        if (recorded.stoppedEarly)
            io.err << "spurwerk record: abgebrochen nach " << recorded.cells << " Abtastwerten.\n";
        if (!recorded.summary.empty() && !recorded.triggerMissed)
            io.err << "spurwerk record: " << recorded.summary << "\n";
        if (recorded.triggerCell)
            io.err << "spurwerk record: der Trigger löste bei Abtastwert " << *recorded.triggerCell
                   << " aus.\n";
        if (stream)
            stream->Finish(recorded.frames.names, sigrok::ExportRateHz(recorded.frames.timeBase));
        else
            WriteRecording(context, recorded.frames, options->output);
        return recorded.error.empty() ? ExitOk : ExitFailure;
    } catch (const std::exception& error) {
        io.err << "spurwerk record: " << error.what() << "\n";
        return ExitFailure;
    }
}

} // namespace cli
