#include "cli/ConvertCommand.h"

#include "cli/RecordingExchange.h"
#include "sigrok/SigrokContext.h"

#include <exception>
#include <stdexcept>

namespace cli {

namespace {

void Usage(std::ostream& to) {
    PrintUsage("convert", to);
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
