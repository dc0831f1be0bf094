#include "cli/Commands.h"

#include "cli/ConvertCommand.h"

#include <array>

namespace cli {

std::span<const Command> AllCommands() {
    static constexpr std::array commands{
        Command{"convert", "EINGABE AUSGABE",
                "wandelt eine Aufzeichnung um zwischen .DIG, .sr, .vcd und .csv "
                "(nach den Dateiendungen)",
                &RunConvert},
    };
    return commands;
}

} // namespace cli
