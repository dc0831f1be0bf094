#include "cli/Commands.h"

#include "cli/ConvertCommand.h"
#include "cli/DecodeCommand.h"
#include "cli/RecordCommand.h"
#include "front/UsageTexts.h"

#include <array>

namespace cli {

std::span<const Command> AllCommands() {
    static constexpr std::array commands{
        Command{"convert", &RunConvert},
        Command{"decode", &RunDecode},
        Command{"record", &RunRecord},
    };
    return commands;
}

void PrintUsage(const char* name, std::ostream& to) {
    if (const usage::CommandUsage* command = usage::FindCommand(name)) to << command->text;
}

} // namespace cli
