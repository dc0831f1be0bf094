#include "sigrok/decode/DecodeError.h"
#include "sigrok/decode/DecodeSetup.h"

#include <gtest/gtest.h>

using namespace sigrokdecode;

TEST(DecodeSetupText, ParsesStacksAndWritesThemBack) {
    const auto stack = ParseStack("i2c:scl=D00:sda = D01 ,eeprom24xx:chip=generic");
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(stack[0].id, "i2c");
    EXPECT_EQ(stack[0].settings, (std::vector<std::pair<std::string, std::string>>{{"scl", "D00"}, {"sda", "D01"}}));
    EXPECT_EQ(stack[1].id, "eeprom24xx");
    EXPECT_EQ(StackText(stack), "i2c:scl=D00:sda=D01,eeprom24xx:chip=generic");
    EXPECT_EQ(ParseStack(StackText(stack)), stack);
    // A value may itself hold "=".
    EXPECT_EQ(ParseStack("x:a=b=c")[0].settings[0].second, "b=c");
}

TEST(DecodeSetupText, RejectsMalformedText) {
    for (const char* bad : {"", ",", "uart,", "uart:baudrate", "uart:=5", " :rx=D00"})
        EXPECT_THROW(ParseStack(bad), DecodeError) << bad;
}

TEST(DecodeSetupLines, FindsLinesByNumberAndByUserName) {
    std::vector<std::string> names(16);
    names[2] = "Takt";
    names[9] = "D03"; // a user name wins over the number it looks like
    struct Case { const char* text; int line; };
    for (const Case c : {Case{"D00", 0}, {"d7", 7}, {"D15", 15}, {" D04 ", 4}, {"Takt", 2}, {"D03", 9},
                         {"D16", -1}, {"D", -1}, {"D001", -1}, {"takt", -1}, {"", -1}, {"X1", -1}})
        EXPECT_EQ(FindLine(c.text, names), c.line) << c.text;
    // A recording of four lines has no D04.
    EXPECT_EQ(FindLine("D03", std::vector<std::string>(4)), 3);
    EXPECT_EQ(FindLine("D04", std::vector<std::string>(4)), -1);
}
