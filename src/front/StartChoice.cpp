#include "front/StartChoice.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <sys/stat.h>

namespace front {

namespace {

// Options that Qt takes from the command line itself: the first group with a value.
constexpr std::array<std::string_view, 12> QtOptionsWithValue{
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin",
    "-style",    "-stylesheet",         "-session",       "-display",
    "-geometry", "-qwindowgeometry",    "-qwindowicon",   "-qwindowtitle"};
constexpr std::array<std::string_view, 5> QtFlags{"-reverse", "-widgetcount", "-nograb", "-dograb",
                                                  "-sync"};

template <typename List> bool Contains(const List& list, std::string_view text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

StartChoice Wrong(std::string message) {
    StartChoice choice;
    choice.kind = StartChoice::Kind::Wrong;
    choice.message = std::move(message);
    return choice;
}

StartChoice Simple(StartChoice::Kind kind) {
    StartChoice choice;
    choice.kind = kind;
    return choice;
}

// "bogus" is a mistyped command; "messung.DIG", "daten/probe" and any file
// that exists are recordings for the window to open.
bool LooksLikeCommand(const std::string& arg) {
    if (arg.empty() || arg[0] == '-' || arg.find_first_of("./") != std::string::npos) return false;
    struct stat info {};
    return ::stat(arg.c_str(), &info) != 0;
}

} // namespace

StartChoice ReadStart(const std::vector<std::string>& args) {
    if (!args.empty()) {
        if (const usage::CommandUsage* command = usage::FindCommand(args[0])) {
            StartChoice choice;
            const bool helpOnly = args.size() == 2 && (args[1] == "--help" || args[1] == "-h");
            choice.kind = helpOnly ? StartChoice::Kind::CommandHelp : StartChoice::Kind::Command;
            choice.command = command;
            return choice;
        }
        if (LooksLikeCommand(args[0]))
            return Wrong("spurwerk: unbekannter Befehl '" + args[0] + "'.\n\n" +
                         usage::ProgramHelp());
    }

    StartChoice choice;
    WindowOptions& window = choice.window;
    std::string port = "ppdev";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") return Simple(StartChoice::Kind::Help);
        if (arg == "-v" || arg == "--version") return Simple(StartChoice::Kind::Version);
        if (arg == "--simulate") {
            window.simulate = true;
        } else if (arg == "--port" || arg.rfind("--port=", 0) == 0) {
            if (arg == "--port") {
                if (i + 1 >= args.size())
                    return Wrong("spurwerk: --port braucht einen Wert: ppdev oder direct\n");
                port = args[++i];
            } else {
                port = arg.substr(7);
            }
        } else if (arg == "--k8055-library" || arg.rfind("--k8055-library=", 0) == 0) {
            if (arg == "--k8055-library") {
                if (i + 1 < args.size()) window.boardLibrary = args[++i];
            } else {
                window.boardLibrary = arg.substr(16);
            }
            if (window.boardLibrary.empty())
                return Wrong("spurwerk: --k8055-library braucht den Namen einer Bibliothek\n");
        } else if (arg == "--documents-folder") {
            window.documentsFolder = true;
        } else if (Contains(QtOptionsWithValue, arg)) {
            if ((arg == "-platform" || arg == "-display") && i + 1 < args.size())
                window.platformGiven = true;
            ++i;
        } else if (Contains(QtFlags, arg)) {
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Wrong("spurwerk: unbekannte Option '" + arg +
                         "'. \"spurwerk --help\" zeigt, was geht.\n");
        } else if (window.file.empty()) {
            window.file = arg;
        } else {
            return Wrong("spurwerk: nur eine Datei kann geöffnet werden, nicht auch '" + arg +
                         "'.\n");
        }
    }
    if (port != "ppdev" && port != "direct")
        return Wrong("spurwerk: --port kennt nur ppdev oder direct, nicht '" + port + "'\n");
    window.directPort = port == "direct";
    return choice;
}

} // namespace front
