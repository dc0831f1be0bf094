#include "cli/DecodeCommand.h"

#include "cli/RecordingExchange.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/decode/Decode.h"
#include "sigrok/decode/DecodeError.h"
#include "sigrok/decode/Library.h"

#include <cmath>
#include <exception>

namespace cli {

namespace {

void Usage(std::ostream& to) {
    to << "Aufruf: spurwerk decode EINGABE -P DEKODIERER[:name=wert...][,DEKODIERER...] [-P ...]\n"
          "                       [-A DEKODIERER[=ZEILE]]\n"
          "\n"
          "Dekodiert ein Protokoll in einer Aufzeichnung (.DIG, .sr, .vcd, .csv) mit den\n"
          "Dekodierern von libsigrokdecode und schreibt jede Annotation als eine Zeile\n"
          "\"DEKODIERER-N: Text\", nach der Zeit geordnet.\n"
          "  -P  ein Dekodierer mit Kanälen und Optionen, z. B.\n"
          "        -P uart:rx=D00:baudrate=9600:format=ascii\n"
          "      Kanäle nennen Leitungen (D00..D15 oder die Namen der Datei). Mit Komma\n"
          "      getrennt setzt jeder weitere Dekodierer auf den vorigen auf, z. B.\n"
          "        -P i2c:scl=D00:sda=D01,eeprom24xx\n"
          "      -P darf mehrfach stehen; die Dekodierer laufen nebeneinander.\n"
          "  -A  gibt nur diese Annotationszeile oder -klasse aus (z. B. uart=rx-data),\n"
          "      darf mehrfach stehen. Ohne -A: alle Zeilen des obersten Dekodierers\n"
          "      jedes Stapels.\n"
          "  --samplenum  stellt jeder Zeile \"START-ENDE \" voran (Nummern der Abtastwerte).\n";
}

struct RowFilter {
    std::string decoder;
    std::string row; // empty: every row of the decoder
    // The name is one of the decoder's annotation classes: only that class,
    // even where a row has the same name (as sigrok-cli reads -A).
    bool isClass = false;
};

bool Shown(const sigrokdecode::DecodeResult& r, const sigrokdecode::Annotation& a,
           const std::vector<RowFilter>& filters) {
    const auto& row = r.rows.at(a.row);
    if (filters.empty()) return row.topOfStack;
    for (const auto& f : filters) {
        if (f.isClass) {
            if ((f.decoder == row.instance || f.decoder == row.decoderId) && a.classId == f.row) return true;
        } else if (sigrokdecode::RowMatches(row, a, f.decoder, f.row)) {
            return true;
        }
    }
    return false;
}

// The recording's lines as the planes the decoder reads, and their names.
struct Planes {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> names;
};

Planes ToPlanes(const sigrok::LogicFrames& frames) {
    Planes p;
    const std::size_t n = frames.samples.size();
    p.bytes.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        p.bytes[i] = std::uint8_t(frames.samples[i]);
        p.bytes[n + i] = std::uint8_t(frames.samples[i] >> 8);
    }
    p.names = frames.names; // only the lines the recording has
    return p;
}

} // namespace

int RunDecode(const std::vector<std::string>& args, Streams io) {
    std::string input;
    std::vector<std::string> stackTexts;
    std::vector<RowFilter> filters;
    bool samplenum = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            Usage(io.out);
            return ExitOk;
        }
        if (arg == "--samplenum") {
            samplenum = true;
            continue;
        }
        if (arg == "-P" || arg == "-A") {
            if (i + 1 >= args.size()) {
                io.err << "spurwerk decode: " << arg << " braucht einen Wert.\n";
                return ExitUsage;
            }
            const std::string& value = args[++i];
            if (arg == "-P") {
                stackTexts.push_back(value);
            } else {
                const auto eq = value.find('=');
                filters.push_back({value.substr(0, eq), eq == std::string::npos ? "" : value.substr(eq + 1)});
            }
        } else if (!arg.empty() && arg[0] == '-') {
            io.err << "spurwerk decode: unbekannte Option \"" << arg << "\".\n";
            Usage(io.err);
            return ExitUsage;
        } else if (input.empty()) {
            input = arg;
        } else {
            io.err << "spurwerk decode: nur eine EINGABE erlaubt, \"" << arg << "\" ist zu viel.\n";
            return ExitUsage;
        }
    }
    if (input.empty() || stackTexts.empty()) {
        io.err << "spurwerk decode: erwartet eine EINGABE und mindestens ein -P DEKODIERER.\n";
        Usage(io.err);
        return ExitUsage;
    }
    if (!KnownRecordingExtension(input)) {
        io.err << "spurwerk decode: unbekannte Dateiendung bei \"" << input << "\" (erlaubt: .DIG, .sr, .vcd, .csv).\n";
        return ExitUsage;
    }

    std::shared_ptr<sigrokdecode::Library> library;
    std::vector<sigrokdecode::ResolvedStack> stacks;
    Planes planes;
    sampling::TimeBase timeBase;
    try {
        sigrok::Context context;
        const sigrok::LogicFrames frames = ReadRecording(context, input);
        planes = ToPlanes(frames);
        timeBase = frames.timeBase;
        library = sigrokdecode::Library::Shared();
        for (const auto& text : stackTexts)
            stacks.push_back(sigrokdecode::Resolve(sigrokdecode::ParseStack(text), library->Decoders(), planes.names));
        for (auto& f : filters) {
            bool known = false;
            for (const auto& s : stacks)
                for (const auto& d : s) {
                    if (d.info->id != f.decoder && f.decoder.rfind(d.info->id + "-", 0) != 0) continue;
                    known = true;
                    for (const auto& c : d.info->annotations) f.isClass |= c.id == f.row;
                }
            if (!known) throw sigrokdecode::DecodeError("-A nennt den Dekodierer \"" + f.decoder + "\", der nicht läuft.");
        }
    } catch (const sigrokdecode::DecodeError& error) {
        io.err << "spurwerk decode: " << error.what() << "\n";
        return ExitUsage;
    } catch (const std::exception& error) {
        io.err << "spurwerk decode: " << error.what() << "\n";
        return ExitFailure;
    }
    try {
        const std::size_t cells = planes.bytes.size() / 2;
        const auto rate = std::uint64_t(std::max<long long>(1, std::llround(timeBase.period.RateHz())));
        const auto result = sigrokdecode::RunDecoders(
            *library, stacks, {planes.bytes.data(), planes.bytes.data() + cells, cells}, rate);
        for (const auto& a : result.annotations)
            if (Shown(result, a, filters)) {
                if (samplenum) io.out << a.start << '-' << a.end << ' ';
                io.out << sigrokdecode::AnnotationLine(result, a) << '\n';
            }
        io.out.flush();
    } catch (const std::exception& error) {
        io.err << "spurwerk decode: " << error.what() << "\n";
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace cli
