#pragma once

#include "front/UsageTexts.h"

#include <string>
#include <vector>

// How a start of `spurwerk` goes on, decided from its arguments alone: no
// library, no display and no file is needed to decide it.
namespace front {

// What the window is started with.
struct WindowOptions {
    bool simulate = false;
    bool directPort = false;
    std::string file; // a recording to open after start-up, or empty
    // A K8055 board library to load instead of the program's own, or empty.
    std::string boardLibrary;
    // Work in the folder Spurwerk of the user's documents (the menu entry's way).
    bool documentsFolder = false;
    // The GUI toolkit was told its platform or display (-platform NAME,
    // -display NAME): the environment need not name one.
    bool platformGiven = false;
};

struct StartChoice {
    enum class Kind {
        Help,        // print usage::ProgramHelp()
        Version,     // print usage::VersionLine()
        Wrong,       // print message on standard error, exit status 2
        CommandHelp, // print command->text
        Command,     // run command with the arguments after its name
        Window,      // start the window with window
    };
    Kind kind = Kind::Window;
    std::string message;                          // Wrong: the whole text
    const usage::CommandUsage* command = nullptr; // CommandHelp, Command
    WindowOptions window;
};

// args are the arguments without the program name. Options of the GUI toolkit
// (-platform NAME, -style NAME, ...) are left to it. A first argument that
// names no command, no option and no existing file, and has no extension or
// folder in it, is taken for a mistyped command.
StartChoice ReadStart(const std::vector<std::string>& args);

} // namespace front
