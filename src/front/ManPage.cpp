#include "front/ManPage.h"

#include "front/UsageTexts.h"

namespace usage {

namespace {

// Text as roff reads it literally: backslashes and minus signs escaped, and
// no line that starts like a request.
std::string Roff(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

// A description in one paragraph: the help's line breaks become spaces.
std::string Flowing(std::string_view text) {
    std::string joined(text);
    for (char& c : joined)
        if (c == '\n') c = ' ';
    return Roff(joined);
}

} // namespace

std::string ManPage() {
    std::string page = ".\\\" -*- coding: UTF-8 -*-\n"
                       ".\\\" Aus den Aufrufhilfen des Programms gemacht; dort ändern.\n";
    page += ".TH SPURWERK 1 \"\" \"Spurwerk " + std::string(Version()) +
            "\" \"Benutzerbefehle\"\n"
            // Left-aligned and unhyphenated: long option names and
            // synopses read badly when stretched or split.
            ".ad l\n"
            ".nh\n"
            ".SH BEZEICHNUNG\n"
            "spurwerk \\- Logikanalysator für Druckerport, K8055-Karten und "
            "USB-Logikanalysatoren\n"
            ".SH ÜBERSICHT\n"
            ".B spurwerk\n"
            "[\\fIOPTIONEN\\fR] [\\fIDATEI.DIG\\fR]\n"
            ".br\n";
    for (const CommandUsage& command : Commands())
        page += ".B spurwerk " + Roff(command.name) + "\n" + Roff(command.synopsis) + "\n.br\n";
    page += ".B spurwerk\n\\-\\-help | \\-\\-version\n";
    page += ".SH BESCHREIBUNG\n" + Flowing(Description()) + "\n";
    page += ".PP\nOhne Befehl startet das Programmfenster; eine angegebene Aufzeichnung wird "
            "nach dem Start geöffnet. Die Befehle laufen ohne Fenster und ohne "
            "Bildschirm.\n";
    page += ".SH OPTIONEN\n";
    for (const Option& option : ProgramOptions())
        page += ".TP\n.B " + Roff(option.names) + "\n" + Flowing(option.description) + "\n";
    page += ".SH BEFEHLE\n";
    for (const CommandUsage& command : Commands()) {
        page += ".SS " + Roff(command.name) + "\n" + Roff(command.summary) + ".\n";
        page += ".PP\n.nf\n" + Roff(command.text) + ".fi\n";
    }
    page += ".SH DATEIEN\n";
    for (const FileNote& file : Files())
        page += ".TP\n.I " + Roff(file.name) + "\n" + Flowing(file.description) + "\n";
    page += ".SH EXIT-STATUS\n";
    for (const FileNote& status : ExitStatuses())
        page += ".TP\n.B " + Roff(status.name) + "\n" + Flowing(status.description) + "\n";
    page += ".SH SIEHE AUCH\n"
            ".BR sigrok\\-cli (1),\n"
            ".BR pulseview (1),\n"
            ".BR gtkwave (1)\n"
            ".PP\n"
            "Die Hilfe des Programms (Menü \\(BqHilfe\\(lq) beschreibt jeden Menüpunkt.\n";
    return page;
}

} // namespace usage
