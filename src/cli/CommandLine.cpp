#include "cli/CommandLine.h"

#include "front/UsageTexts.h"

namespace cli {

namespace {

Decision Exit(int code) {
    Decision decision;
    decision.exitCode = code;
    return decision;
}

const Command* FindRunnable(std::string_view name) {
    for (const Command& command : AllCommands())
        if (name == command.name) return &command;
    return nullptr;
}

} // namespace

std::string VersionText() {
    return std::string(usage::Version());
}

Decision ReadCommandLine(const std::vector<std::string>& args, Streams io) {
    using Kind = front::StartChoice::Kind;
    const front::StartChoice choice = front::ReadStart(args);
    switch (choice.kind) {
    case Kind::Help:
        io.out << usage::ProgramHelp();
        return Exit(ExitOk);
    case Kind::Version:
        io.out << usage::VersionLine();
        return Exit(ExitOk);
    case Kind::Wrong:
        io.err << choice.message;
        return Exit(ExitUsage);
    case Kind::CommandHelp:
    case Kind::Command:
        if (const Command* command = FindRunnable(choice.command->name))
            return Exit(command->run(std::vector<std::string>(args.begin() + 1, args.end()), io));
        io.err << "spurwerk: der Befehl " << choice.command->name << " fehlt diesem Programm.\n";
        return Exit(ExitFailure);
    case Kind::Window:
        break;
    }
    Decision decision;
    decision.window = choice.window;
    return decision;
}

} // namespace cli
