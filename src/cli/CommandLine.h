#pragma once

#include "cli/Commands.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

// What the window is started with.
struct WindowOptions {
    bool simulate = false;
    bool directPort = false;
    std::string file; // a recording to open after start-up, or empty
};

// The outcome of reading the command line before any window or display exists:
// either it was handled (help, version, a command, an error) and the program
// ends with exitCode, or the window starts with the options.
struct Decision {
    std::optional<int> exitCode;
    WindowOptions window;
};

// args are the arguments without the program name. Options of the GUI toolkit
// (-platform NAME, -style NAME, ...) are left to it.
Decision ReadCommandLine(const std::vector<std::string>& args, Streams io);

// The version the program reports.
std::string VersionText();

} // namespace cli
