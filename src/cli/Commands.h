#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace cli {

// Where a command writes: results and help to out, errors to err.
struct Streams {
    std::ostream& out;
    std::ostream& err;
};

// Exit statuses of every command.
constexpr int ExitOk = 0;
constexpr int ExitFailure = 1; // the work failed (unreadable file, libsigrok error)
constexpr int ExitUsage = 2;   // the command line was wrong

// One command of `spurwerk COMMAND ARGS...`. Each lives in a file of its own
// and is listed once in Commands.cpp.
struct Command {
    const char* name;
    const char* synopsis; // arguments, as the help shows them
    const char* summary;  // one line for the help
    int (*run)(const std::vector<std::string>& args, Streams io);
};

std::span<const Command> AllCommands();

} // namespace cli
