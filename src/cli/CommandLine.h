#pragma once

#include "cli/Commands.h"
#include "front/StartChoice.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

using front::WindowOptions;

// The outcome of reading the command line before any window or display exists:
// either it was handled (help, version, a command, an error) and the program
// ends with exitCode, or the window starts with the options.
struct Decision {
    std::optional<int> exitCode;
    WindowOptions window;
};

// args are the arguments without the program name. Options of the GUI toolkit
// (-platform NAME, -style NAME, ...) are left to it. Reads them as the program
// a user starts does (front::ReadStart) and runs a command in this process.
Decision ReadCommandLine(const std::vector<std::string>& args, Streams io);

// The version the program reports.
std::string VersionText();

} // namespace cli
