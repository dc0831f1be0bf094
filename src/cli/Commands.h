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
// and is listed once in Commands.cpp; its help texts are in the usage table
// (front/UsageTexts), under the same name.
struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>& args, Streams io);
};

std::span<const Command> AllCommands();

// The command's text of `spurwerk NAME --help`, from the usage table.
void PrintUsage(const char* name, std::ostream& to);

} // namespace cli
