#include "cli/ConvertCommand.h"

#include "cli/RecordingExchange.h"
#include "sigrok/SigrokContext.h"

#include <exception>

namespace cli {

namespace {

void Usage(std::ostream& to) {
    to << "Aufruf: spurwerk convert EINGABE AUSGABE\n"
          "\n"
          "Wandelt eine Aufzeichnung um. Das Format folgt aus der Dateiendung\n"
          "(Groß- und Kleinschreibung egal):\n"
          "  .DIG  Spurwerks eigenes Format (16 Leitungen, 10 µs je Abtastwert)\n"
          "  .sr   sigrok-Sitzung\n"
          "  .vcd  Value Change Dump\n"
          "  .csv  durch Kommas getrennte Werte\n"
          "Geschrieben werden alle Leitungen der Eingabe mit ihren Namen (sonst D00..D15).\n"
          "Bei einem Fehler wird nichts geschrieben.\n";
}

} // namespace

int RunConvert(const std::vector<std::string>& args, Streams io) {
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") {
            Usage(io.out);
            return ExitOk;
        }
    if (args.size() != 2) {
        io.err << "spurwerk convert: erwartet genau zwei Dateinamen, EINGABE und AUSGABE.\n";
        Usage(io.err);
        return ExitUsage;
    }
    for (const std::string& path : args)
        if (!KnownRecordingExtension(path)) {
            io.err << "spurwerk convert: unbekannte Dateiendung bei \"" << path
                   << "\" (erlaubt: .DIG, .sr, .vcd, .csv).\n";
            return ExitUsage;
        }
    try {
        sigrok::Context context;
        const sigrok::LogicFrames frames = ReadRecording(context, args[0]);
        WriteRecording(context, frames, args[1]);
    } catch (const std::exception& error) {
        io.err << "spurwerk convert: " << error.what() << "\n";
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace cli
