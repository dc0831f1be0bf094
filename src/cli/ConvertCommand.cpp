#include "cli/ConvertCommand.h"

#include "cli/RecordingExchange.h"
#include "sigrok/SigrokContext.h"

#include <exception>
#include <stdexcept>

namespace cli {

namespace {

void Usage(std::ostream& to) {
    to << "Aufruf: spurwerk convert [--channels NAME,...] [--samplerate RATE] EINGABE AUSGABE\n"
          "\n"
          "Wandelt eine Aufzeichnung um. Das Format folgt aus der Dateiendung\n"
          "(Groß- und Kleinschreibung egal):\n"
          "  .DIG  Spurwerks eigenes Format (16 Leitungen, 10 µs je Abtastwert)\n"
          "  .sr   sigrok-Sitzung\n"
          "  .vcd  Value Change Dump\n"
          "  .csv  durch Kommas getrennte Werte\n"
          "Geschrieben werden bis zu 16 Kanäle der Eingabe mit ihren Namen (sonst\n"
          "D00..D15).\n"
       << InputOptionsUsage << "Bei einem Fehler wird nichts geschrieben.\n";
}

} // namespace

int RunConvert(const std::vector<std::string>& args, Streams io) {
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") {
            Usage(io.out);
            return ExitOk;
        }
    InputChoice choice;
    std::vector<std::string> files;
    try {
        for (std::size_t i = 0; i < args.size(); ++i)
            if (!ReadInputOption(args, i, choice)) files.push_back(args[i]);
    } catch (const std::invalid_argument& error) {
        io.err << "spurwerk convert: " << error.what() << "\n";
        return ExitUsage;
    }
    if (files.size() != 2) {
        io.err << "spurwerk convert: erwartet genau zwei Dateinamen, EINGABE und AUSGABE.\n";
        Usage(io.err);
        return ExitUsage;
    }
    for (const std::string& path : files)
        if (!KnownRecordingExtension(path)) {
            io.err << "spurwerk convert: unbekannte Dateiendung bei \"" << path
                   << "\" (erlaubt: .DIG, .sr, .vcd, .csv).\n";
            return ExitUsage;
        }
    try {
        sigrok::Context context;
        const InputRecording input = ReadRecording(context, files[0], choice);
        for (const std::string& warning : input.warnings)
            io.err << "spurwerk convert: Warnung: " << warning << "\n";
        WriteRecording(context, input.frames, files[1]);
    } catch (const std::exception& error) {
        io.err << "spurwerk convert: " << error.what() << "\n";
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace cli
