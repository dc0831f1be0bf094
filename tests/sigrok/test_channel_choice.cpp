// The lines a recording keeps, from a channel list as --channels takes it,
// and the shortest list the program writes for them (its configuration keeps
// that text and reads it back).
#include "sampling/Trigger.h"
#include "sigrok/ChannelChoice.h"
#include "sigrok/SigrokError.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(ChooseLines, ListsAndRangesOfTheSourcesLines) {
    const std::vector<std::string> names = sampling::UsualLineNames();
    struct Case {
        const char* text;
        std::optional<std::uint16_t> lines; // nullopt: refused
        const char* written = nullptr;      // the shortest text, when it differs
        const char* reason = "";
    } cases[] = {
        {"D0", 0x0001},
        {"D0,D2-D3", 0x000D, "D0,D2,D3"},
        {"D0-D15", 0xFFFF},
        {"D3,D0", 0x0009, "D0,D3"},
        {"D0,D1", 0x0003},
        {"D4-D4", 0x0010, "D4"},
        {"D0-D2,D3", 0x000F, "D0-D3"},
        // As a file's channels are chosen: a range either way, empty parts dropped.
        {"D3-D1", 0x000E, "D1-D3"},
        {"D0,,D1", 0x0003, "D0,D1"},
        {"", std::nullopt, nullptr, "kein Kanal angegeben"},
        {",", std::nullopt, nullptr, "kein Kanal angegeben"},
        {"D16", std::nullopt, nullptr, "Den Kanal \"D16\" gibt es nicht. Die Kanäle: D0, D1"},
        {"D0-D16", std::nullopt, nullptr, "Den Kanal \"D16\" gibt es nicht"},
        {"D1-", std::nullopt, nullptr, "Den Kanal \"D1-\" gibt es nicht"},
        {"2-4", std::nullopt, nullptr, "Den Kanal \"2\" gibt es nicht"},
        {"d1", std::nullopt, nullptr, "Den Kanal \"d1\" gibt es nicht"},
        {"D1,D0-D2", std::nullopt, nullptr, "\"D1\" ist doppelt gewählt"},
    };
    for (const Case& c : cases) {
        if (!c.lines) {
            try {
                sigrok::ChooseLines(c.text, names);
                ADD_FAILURE() << c.text << " was taken";
            } catch (const sigrok::Error& e) {
                EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
                    << c.text << ": " << e.what();
            }
            continue;
        }
        EXPECT_EQ(sigrok::ChooseLines(c.text, names), *c.lines) << c.text;
        const std::string written = sampling::LineListText(*c.lines, names);
        EXPECT_EQ(written, c.written ? c.written : c.text);
        EXPECT_EQ(sigrok::ChooseLines(written, names), *c.lines) << written;
    }
}

} // namespace
