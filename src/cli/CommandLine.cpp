#include "cli/CommandLine.h"

#include "persistence/RecordingData.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace cli {

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

void Help(std::ostream& to) {
    to << "Spurwerk " << VersionText() << ", ein Logikanalysator\n"
       << "\n"
          "Aufruf: spurwerk [OPTIONEN] [DATEI.DIG]\n"
          "        spurwerk BEFEHL [ARGUMENTE]\n"
          "\n"
          "Ohne Befehl startet das Programmfenster; eine angegebene Aufzeichnung\n"
          "wird nach dem Start geöffnet.\n"
          "\n"
          "Optionen:\n"
          "  -h, --help           diese Hilfe zeigen\n"
          "  -v, --version        die Versionsnummer zeigen\n"
          "  --simulate           simulierte Druckerport- und USB-Hardware verwenden\n"
          "  --port ppdev|direct  Zugriff auf den Druckerport (Standard: ppdev)\n"
          "  --k8055-library BIBLIOTHEK\n"
          "                       diese Bibliothek für die K8055-Karten laden statt der\n"
          "                       eigenen, z. B. libk8055.so.0\n"
          "  --documents-folder   im Ordner Spurwerk der Dokumente arbeiten: Einstellungen\n"
          "                       und Aufzeichnungen liegen dort (so startet das Menü)\n"
          "\n"
          "Befehle (laufen ohne Fenster und ohne Bildschirm):\n";
    std::size_t width = 0;
    for (const Command& command : AllCommands())
        width = std::max(width, std::string(command.name).size() + 1 +
                                    std::string(command.synopsis).size());
    for (const Command& command : AllCommands()) {
        const std::string head = std::string(command.name) + " " + command.synopsis;
        to << "  " << head << std::string(width - head.size() + 2, ' ') << command.summary << "\n";
    }
    to << "\n\"spurwerk BEFEHL --help\" beschreibt einen Befehl genauer.\n";
}

Decision Exit(int code) {
    Decision decision;
    decision.exitCode = code;
    return decision;
}

} // namespace

std::string VersionText() {
    return recording::VersionText.toStdString();
}

Decision ReadCommandLine(const std::vector<std::string>& args, Streams io) {
    if (!args.empty())
        for (const Command& command : AllCommands())
            if (args[0] == command.name)
                return Exit(
                    command.run(std::vector<std::string>(args.begin() + 1, args.end()), io));

    Decision decision;
    std::string port = "ppdev";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            Help(io.out);
            return Exit(ExitOk);
        }
        if (arg == "-v" || arg == "--version") {
            io.out << "Spurwerk " << VersionText() << "\n";
            return Exit(ExitOk);
        }
        if (arg == "--simulate") {
            decision.window.simulate = true;
        } else if (arg == "--port" || arg.rfind("--port=", 0) == 0) {
            if (arg == "--port") {
                if (i + 1 >= args.size()) {
                    io.err << "spurwerk: --port braucht einen Wert: ppdev oder direct\n";
                    return Exit(ExitUsage);
                }
                port = args[++i];
            } else {
                port = arg.substr(7);
            }
        } else if (arg == "--k8055-library" || arg.rfind("--k8055-library=", 0) == 0) {
            if (arg == "--k8055-library") {
                if (i + 1 >= args.size()) {
                    io.err << "spurwerk: --k8055-library braucht den Namen einer Bibliothek\n";
                    return Exit(ExitUsage);
                }
                decision.window.boardLibrary = args[++i];
            } else {
                decision.window.boardLibrary = arg.substr(16);
            }
            if (decision.window.boardLibrary.empty()) {
                io.err << "spurwerk: --k8055-library braucht den Namen einer Bibliothek\n";
                return Exit(ExitUsage);
            }
        } else if (arg == "--documents-folder") {
            decision.window.documentsFolder = true;
        } else if (Contains(QtOptionsWithValue, arg)) {
            ++i;
        } else if (Contains(QtFlags, arg)) {
        } else if (arg.size() > 1 && arg[0] == '-') {
            io.err << "spurwerk: unbekannte Option '" << arg
                   << "'. \"spurwerk --help\" zeigt, was geht.\n";
            return Exit(ExitUsage);
        } else if (decision.window.file.empty()) {
            decision.window.file = arg;
        } else {
            io.err << "spurwerk: nur eine Datei kann geöffnet werden, nicht auch '" << arg
                   << "'.\n";
            return Exit(ExitUsage);
        }
    }
    if (port != "ppdev" && port != "direct") {
        io.err << "spurwerk: --port kennt nur ppdev oder direct, nicht '" << port << "'\n";
        return Exit(ExitUsage);
    }
    decision.window.directPort = port == "direct";
    return decision;
}

} // namespace cli
