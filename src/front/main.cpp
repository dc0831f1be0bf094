#include "front/Handover.h"
#include "front/StartChoice.h"

#include <cerrno>
#include <string>
#include <string_view>
#include <unistd.h>

// The program a user starts. It answers --help, --version and a wrong call
// itself, with no library beyond the C and C++ runtime, and hands commands
// and the window to their own programs.
namespace {

void Write(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        text.remove_prefix(std::size_t(n));
    }
}

} // namespace

int main(int argc, char** argv) {
    using Kind = front::StartChoice::Kind;
    const front::StartChoice choice = front::ReadStart({argv + 1, argv + argc});
    switch (choice.kind) {
    case Kind::Help:
        Write(STDOUT_FILENO, usage::ProgramHelp());
        return 0;
    case Kind::Version:
        Write(STDOUT_FILENO, usage::VersionLine());
        return 0;
    case Kind::Wrong:
        Write(STDERR_FILENO, choice.message);
        return 2;
    case Kind::CommandHelp:
        Write(STDOUT_FILENO, choice.command->text);
        return 0;
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
        Write(STDERR_FILENO, "spurwerk: kein Bildschirm für das Programmfenster (DISPLAY und "
                             "WAYLAND_DISPLAY sind leer); ohne Bildschirm laufen nur die "
                             "Befehle.\n\n");
        Write(STDERR_FILENO, usage::ProgramHelp());
        return 2;
    }
    return front::HandOver(front::WindowProgramName, argv);
}
