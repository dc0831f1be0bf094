#include "front/ManPage.h"
#include "front/SystemError.h"
#include "front/UsageTexts.h"

#include <cerrno>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// A text as the manual page must hold it for man to show it unchanged:
// minus signs escaped, a line starting with a dot guarded.
std::string Escaped(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && c == '.') out += "\\&";
        if (c == '\\')
            out += "\\e"; // a backslash of its own, as in a command continued on the next line
        else
            out += c == '-' ? std::string("\\-") : std::string(1, c);
        lineStart = c == '\n';
    }
    return out;
}

TEST(UsageTexts, HelpNamesEveryOptionAndCommand) {
    const std::string help = usage::ProgramHelp();
    for (const usage::Option& option : usage::ProgramOptions())
        EXPECT_NE(help.find(option.names), std::string::npos) << option.names;
    for (const usage::CommandUsage& command : usage::Commands()) {
        EXPECT_NE(help.find(std::string(command.name) + " " + std::string(command.synopsis)),
                  std::string::npos)
            << command.name;
        EXPECT_EQ(command.text.rfind("Aufruf: spurwerk " + std::string(command.name), 0), 0u);
        EXPECT_EQ(command.text.back(), '\n');
        EXPECT_EQ(usage::FindCommand(command.name), &command);
    }
    EXPECT_EQ(usage::FindCommand("bogus"), nullptr);
    EXPECT_EQ(usage::VersionLine(), "Spurwerk " + std::string(usage::Version()) + "\n");
}

// The help is read in a terminal of 80 columns.
TEST(UsageTexts, LinesFitATerminal) {
    std::vector<std::string> texts{usage::ProgramHelp()};
    for (const usage::CommandUsage& command : usage::Commands())
        texts.emplace_back(command.text);
    for (const std::string& text : texts) {
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find('\n', start);
            const std::string line = text.substr(start, end - start);
            std::size_t columns = 0;
            for (unsigned char c : line)
                columns += (c & 0xC0) != 0x80; // UTF-8 characters
            EXPECT_LE(columns, 100u) << line;
            start = end + 1;
        }
    }
}

TEST(ManPage, HoldsTheHelpOfEveryCommandAndOption) {
    const std::string page = usage::ManPage();
    EXPECT_EQ(page.rfind(".\\\" -*- coding: UTF-8 -*-\n", 0), 0u);
    EXPECT_NE(page.find(".TH SPURWERK 1 \"\" \"Spurwerk " + std::string(usage::Version())),
              std::string::npos);
    for (const usage::Option& option : usage::ProgramOptions())
        EXPECT_NE(page.find(".B " + Escaped(option.names) + "\n"), std::string::npos)
            << option.names;
    for (const usage::CommandUsage& command : usage::Commands())
        EXPECT_NE(page.find(".nf\n" + Escaped(command.text) + ".fi\n"), std::string::npos)
            << command.name;
}

// A line that starts with a dot would be read as a request and vanish.
TEST(ManPage, NoTextLineIsTakenForARequest) {
    const std::string page = usage::ManPage();
    std::size_t start = 0;
    const std::vector<std::string> requests{".\\\"", ".TH", ".SH", ".SS", ".B ", ".I ", ".BR",
                                            ".TP",   ".PP", ".nf", ".fi", ".br", ".ad", ".nh"};
    while (start < page.size()) {
        const std::size_t end = page.find('\n', start);
        const std::string line = page.substr(start, end - start);
        if (!line.empty() && (line[0] == '.' || line[0] == '\'')) {
            bool known = false;
            for (const std::string& r : requests)
                known = known || line.rfind(r, 0) == 0;
            EXPECT_TRUE(known) << line;
        }
        start = end + 1;
    }
}

// The help file's section on the command line describes what --help lists.
TEST(UsageTexts, HelpFileNamesEveryCommandAndOption) {
    std::ifstream in(SPURWERK_SOURCE_DIR "/help/spurwerk.html");
    std::stringstream text;
    text << in.rdbuf();
    const std::string html = text.str();
    const std::size_t section = html.find("id=\"befehlszeile\"");
    ASSERT_NE(section, std::string::npos);
    const std::string part = html.substr(section, html.find("<h2", section + 1) - section);
    for (const usage::CommandUsage& command : usage::Commands())
        EXPECT_NE(part.find("spurwerk " + std::string(command.name)), std::string::npos)
            << command.name;
    for (const usage::Option& option : usage::ProgramOptions()) {
        // "-h, --help" -> "--help"; "--port ppdev|direct" -> "--port"
        std::string name(option.names.substr(
            option.names.rfind(", ") == std::string_view::npos ? 0 : option.names.rfind(", ") + 2));
        name = name.substr(0, name.find(' '));
        EXPECT_NE(part.find(name), std::string::npos) << name;
    }
}

TEST(SystemError, GermanForTheErrorsUsersMeet) {
    EXPECT_EQ(SystemErrorText(ENOENT), "Datei oder Verzeichnis nicht gefunden");
    EXPECT_EQ(SystemErrorText(EACCES), "keine Berechtigung");
    EXPECT_EQ(SystemErrorText(ENOSPC), "kein Platz mehr auf dem Datenträger");
    // Others keep the number and the system's own words.
    const std::string other = SystemErrorText(EXDEV);
    EXPECT_EQ(other.rfind("Systemfehler " + std::to_string(EXDEV) + " (", 0), 0u) << other;
}

} // namespace
