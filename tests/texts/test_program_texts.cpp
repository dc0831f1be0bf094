// Every text the program's sources hold, read from the sources themselves, and
// checked against the rules of its German: no space before "!" and "?", no
// "!!!", no English sentence, "Werte" rather than "Samples". The texts the
// program has shown since its first version keep their words (the component
// messages of the port and board layers are English, some German messages end
// in " !!!"); they are listed below and must still be found, so the list
// cannot grow stale. The whole list of texts is written beside the tests for
// reading (program-texts.txt).

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Text {
    std::string file; // relative to the source tree
    int line;
    std::string text; // as written between the quotes, escapes untouched
};

// The string literals of one line of C++, outside comments. A block comment
// is not looked into; the sources use line comments for prose.
std::vector<std::string> LiteralsOf(const std::string& line) {
    std::vector<std::string> found;
    std::string current;
    bool inString = false;
    bool inChar = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inString) {
            if (c == '\\' && i + 1 < line.size()) {
                current += c;
                current += line[++i];
            } else if (c == '"') {
                found.push_back(current);
                current.clear();
                inString = false;
            } else {
                current += c;
            }
        } else if (inChar) {
            if (c == '\\')
                ++i;
            else if (c == '\'')
                inChar = false;
        } else if (c == '/' && i + 1 < line.size() && (line[i + 1] == '/' || line[i + 1] == '*')) {
            break;
        } else if (c == '"') {
            inString = true;
        } else if (c == '\'' &&
                   !(i > 0 && std::isxdigit(static_cast<unsigned char>(line[i - 1])))) {
            inChar = true; // not a digit separator as in 0x10'0000
        }
    }
    return found;
}

// A text a person reads: words, not a key, a path or a format.
bool IsProse(const std::string& text) {
    static const std::regex word("[A-Za-zÄÖÜäöüß]{2,}");
    return text.find(' ') != std::string::npos && std::regex_search(text, word);
}

std::vector<Text> ProgramTexts() {
    std::vector<Text> texts;
    const fs::path root(SPURWERK_SOURCE_DIR);
    for (const char* folder : {"src", "boards", "sim"}) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const auto ext = entry.path().extension();
            if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h"))
                files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& path : files) {
            std::ifstream in(path);
            std::string line;
            bool inAssert = false;
            for (int number = 1; std::getline(in, line); ++number) {
                const auto first = line.find_first_not_of(" \t");
                if (first == std::string::npos) continue;
                const std::string_view start = std::string_view(line).substr(first);
                // Messages for the programmer, not the user: preprocessor
                // lines and static assertions, which may span lines.
                if (start.starts_with("static_assert")) inAssert = true;
                if (inAssert) {
                    inAssert = line.find(");") == std::string::npos;
                    continue;
                }
                if (start.starts_with("#")) continue;
                for (const std::string& text : LiteralsOf(line))
                    if (IsProse(text))
                        texts.push_back({fs::relative(path, root).string(), number, text});
            }
        }
    }
    return texts;
}

// The texts the program has always shown, word for word, though they break a
// rule below.
const std::set<std::string> KeptTexts = {
    // German messages of the first version with their " !" and " !!!".
    "Die Datei ist nicht vorhanden !!!\\r",
    " ist schon vorhanden !\\rSoll diese Datei überschrieben ",
    "werden ?\\r",
    "Anzeige wird gelöscht !",
    "Daten werden exportiert. Bitte warten !!!",
    "Daten werden importiert. Bitte warten !!!",
    "ACHTUNG !!\\rDer Druckerport wird wieder als Ausgabeeinheit programmiert.\\r",
    "Daten werden gelöscht. Bitte warten !!",
    "Daten werden geladen. Bitte warten !!!",
    "Daten wurden geladen. !!!",
    "Fehler, durch Druckabbruch !",
    // The library loader's and the help system's messages.
    "DLL - Error",
    "Unable to load ",
    "Unable to find ",
    "MS Html Help is not installed on this PC.",
    "System file KeyHH.EXE was not found in the Windows folder.",
    "System file HH.EXE was not found in the Windows folder.",
    "Unknown error returned by HHHelpContext",
    // The port component's and the board component's messages.
    "SELF TPortIO Component - Error",
    " Component - Error",
    "Could not start driver. Something wrong !",
    "Please, check your ",
    "Sorry, these option are not allowed for",
    "Windows 95, 95b, 98se and 98ME.",
    "Check your windows version, please.",
    "Component - Error",
    "Selftest of your USB card are started",
    "If there an error, please check your card.",
    "Attation, these selftest are check your input channel.",
    " button  on your USB card, please",
    "Self test was closed at these moment.",
    "Sorry, these USB port are not open.",
    "Check your parameter, please.",
    "Wait please, your USB driver init a card these moment.",
    "For deactive message, check internal variable USBProcess",
    "for activate, please.",
    "Sorry, K8055.DLL has not found FasTTime32.DLL and K8055E0..x.",
    "Please, check your Windows NT 3.51, NT 4.0. or XP system",
    "of these DLL and executation program.",
    "Could not start your USB card. Something was wrong !",
};

// What is wrong with a text, or nothing.
std::string Fault(const std::string& text) {
    static const std::regex spaceBefore(" [!?]");
    static const std::regex english(
        "\\b(the|could|not|failed|please|error|cannot|unable|invalid|missing|unknown|found|"
        "should|must|wrong|sorry|check|your|these|is|are|with|without|and|file|open|"
        "opening|board|device|samples?)\\b",
        std::regex::icase);
    static const std::regex option("--?[A-Za-z][-A-Za-z0-9]*");
    std::smatch match;
    // Option names are the same in every language (--samples).
    const std::string words = std::regex_replace(text, option, "");
    if (text.find("!!!") != std::string::npos) return "\"!!!\"";
    if (std::regex_search(text, spaceBefore)) return "a space before \"!\" or \"?\"";
    if (std::regex_search(words, match, english))
        return "the English word \"" + match.str() + "\" (\"Samples\" are \"Werte\")";
    return {};
}

TEST(ProgramTexts, FollowTheRulesOfTheProgramsGerman) {
    const std::vector<Text> texts = ProgramTexts();
    ASSERT_GT(texts.size(), 500u) << "the sources were not found below " SPURWERK_SOURCE_DIR;

    std::ofstream list(SPURWERK_BINARY_DIR "/program-texts.txt");
    std::set<std::string> keptSeen;
    for (const Text& t : texts) {
        list << t.file << ":" << t.line << ": " << t.text << "\n";
        const std::string fault = Fault(t.text);
        if (fault.empty()) continue;
        if (KeptTexts.count(t.text)) {
            keptSeen.insert(t.text);
            continue;
        }
        ADD_FAILURE() << t.file << ":" << t.line << ": \"" << t.text << "\" has " << fault;
    }
    for (const std::string& kept : KeptTexts)
        EXPECT_TRUE(keptSeen.count(kept)) << "no longer in the sources: \"" << kept << "\"";
}

// The rules themselves, on texts that break them and texts that keep them.
TEST(ProgramTexts, RulesCatchWhatTheyShould) {
    struct Case {
        const char* text;
        bool faulty;
    };
    const Case cases[] = {
        {"Bitte warten !!!", true},
        {"Datei speichern ?", true},
        {"the board was unplugged", true},
        {"1048576 Samples in 10,49 s", true},
        {"Die Karte wurde abgezogen!", false},
        {"Soll die Datei überschrieben werden?", false},
        {"1048576 Werte in 10,49 s, 10,00 µs je Wert", false},
        {"spurwerk: unbekannte Option '", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(!Fault(c.text).empty(), c.faulty) << c.text;
    const std::vector<std::string> literals =
        LiteralsOf("f(\"eins\", 'x', 0x10'00, \"zwei \\\"drei\\\"\"); // \"kommentar\"");
    EXPECT_EQ(literals, (std::vector<std::string>{"eins", "zwei \\\"drei\\\""}));
}

} // namespace
