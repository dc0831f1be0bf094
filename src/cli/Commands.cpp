#include "cli/Commands.h"

#include "cli/ConvertCommand.h"
#include "cli/DecodeCommand.h"
#include "cli/RecordCommand.h"

#include <array>

namespace cli {

std::span<const Command> AllCommands() {
    static constexpr std::array commands{
        Command{"convert", "EINGABE AUSGABE",
                "wandelt eine Aufzeichnung um zwischen .DIG, .sr, .vcd und .csv "
                "(nach den Dateiendungen)",
                &RunConvert},
        Command{"decode", "EINGABE -P DEKODIERER[:name=wert...] [-A DEKODIERER=ZEILE]",
                "dekodiert ein Protokoll (UART, I2C, SPI, ...) mit libsigrokdecode und "
                "schreibt eine Annotation je Zeile",
                &RunDecode},
        Command{"record", "--source QUELLE --samples N [--samplerate RATE] -o AUSGABE",
                "nimmt von einem Gerät auf und schreibt eine Aufzeichnung", &RunRecord},
    };
    return commands;
}

} // namespace cli
