#include "front/Handover.h"
#include "front/StartChoice.h"

#include <string>
#include <string_view>
#include <unistd.h>

// The program a user starts. It answers --help, --version and a wrong call
// itself, with no library beyond the C and C++ runtime, and hands commands
// and the window to their own programs.
int main(int argc, char** argv) {
    using Kind = front::StartChoice::Kind;
    const front::StartChoice choice = front::ReadStart({argv + 1, argv + argc});
    switch (choice.kind) {
    case Kind::Help:
        return front::Write(STDOUT_FILENO, usage::ProgramHelp()) ? 0 : 1;
    case Kind::Version:
        return front::Write(STDOUT_FILENO, usage::VersionLine()) ? 0 : 1;
    case Kind::Wrong:
        front::Write(STDERR_FILENO, choice.message);
        return 2;
    case Kind::CommandHelp:
        return front::Write(STDOUT_FILENO, choice.command->text) ? 0 : 1;
    case Kind::Command:
        return front::HandOver(front::CommandsProgramName, argv);
    case Kind::Window:
        break;
    }
    // Without a display the window's toolkit would end with its own English
    // message; say in the program's words what works here instead.
    const std::string window = front::PartnerProgram(front::WindowProgramName);
    if (::access(window.c_str(), X_OK) == 0 &&
        !front::DisplayAvailable(choice.window.platformGiven)) {
        front::Write(STDERR_FILENO,
                     "spurwerk: kein Bildschirm für das Programmfenster (DISPLAY und "
                     "WAYLAND_DISPLAY sind leer); ohne Bildschirm laufen nur die "
                     "Befehle.\n\n");
        front::Write(STDERR_FILENO, usage::ProgramHelp());
        return 2;
    }
    return front::HandOver(front::WindowProgramName, argv);
}
