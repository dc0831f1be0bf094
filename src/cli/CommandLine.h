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
    // A K8055 board library to load instead of the program's own, or empty.
    std::string boardLibrary;
    // Work in the folder Spurwerk of the user's documents (the menu entry's way).
    bool documentsFolder = false;
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
