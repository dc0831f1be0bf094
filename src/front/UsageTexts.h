#pragma once

#include <span>
#include <string>
#include <string_view>

// Everything the program says about how to call it: `spurwerk --help`,
// `spurwerk COMMAND --help`, the version and the manual page are all made from
// these tables, so they cannot disagree. Nothing here needs a library.
namespace usage {

// "1.0.40.36", as the build names it.
std::string_view Version();
// "Spurwerk 1.0.40.36\n": what --version prints.
std::string VersionLine();

// An option of a start without a command (the window's options).
struct Option {
    std::string_view names;       // "-h, --help", "--port ppdev|direct"
    std::string_view description; // may span lines ('\n')
};
std::span<const Option> ProgramOptions();

// A command of `spurwerk COMMAND ARGS...`.
struct CommandUsage {
    std::string_view name;
    std::string_view synopsis; // arguments, as the overview shows them
    std::string_view summary;  // one line in the overview
    std::string_view text;     // the whole of `spurwerk NAME --help`
};
std::span<const CommandUsage> Commands();
// nullptr for a name that is no command.
const CommandUsage* FindCommand(std::string_view name);

// What the program is, in a few sentences (the manual page's description).
std::string_view Description();
// The files the program reads and writes, as (name, description) pairs.
struct FileNote {
    std::string_view name;
    std::string_view description;
};
std::span<const FileNote> Files();
// Exit statuses, as (status, meaning) pairs.
std::span<const FileNote> ExitStatuses();

// The whole of `spurwerk --help`.
std::string ProgramHelp();

} // namespace usage
