#include "support/HexDigits.h"
#include "support/THexEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <gtest/gtest.h>
#include <string_view>

namespace {

struct DigitCase {
    char16_t c;
    int digit;
};

TEST(HexDigits, DigitRuleCountsHexDigitsAndPastedStrays) {
    const DigitCase cases[] = {
        {u'0', 0}, {u'9', 9},  {u'A', 10}, {u'a', 10}, {u'F', 15}, {u'f', 15}, {u' ', 0},
        {u'/', 0}, {u':', 10}, {u'@', 10}, {u'G', 0},  {u'z', 0},  {u'ä', 0},  {u'µ', 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hexdigits::DigitOf(QChar(c.c)), c.digit) << QString(QChar(c.c)).toStdString();
}

TEST(HexDigits, InputFilterPassesOnlyHexDigitsAndBackspace) {
    for (const char16_t c : std::u16string_view(u"0123456789ABCDEFabcdef\b"))
        EXPECT_TRUE(hexdigits::IsAcceptedChar(QChar(c))) << int(c);
    for (const char16_t c : std::u16string_view(u"gGxX .,-+:@µ"))
        EXPECT_FALSE(hexdigits::IsAcceptedChar(QChar(c))) << int(c);
}

struct CommitCase {
    const char* text;
    int maxlength;
    std::int32_t value;
    const char* shown;
};

TEST(HexDigits, CommitConvertsAndNormalises) {
    const CommitCase cases[] = {
        {"", 8, 0, "00000000"},
        {"", 1, 0, "0"},
        {"1a", 8, 26, "0000001A"},
        {"1a", 2, 26, "1A"},
        {"1a", 1, 26, "1A"},
        {"ffffffff", 8, -1, "FFFFFFFF"},
        {"ffffffff", 2, -1, "FFFFFFFF"},
        {"80000000", 8, INT32_MIN, "80000000"},
        {"7fffffff", 4, INT32_MAX, "7FFFFFFF"},
        {"00ff", 4, 255, "00FF"},
        // Pasted characters count by the digit rule.
        {"1:", 2, 0x1A, "1A"},
        {"x1", 2, 0x01, "01"},
        {"1 2", 4, 0x102, "0102"},
        // More than eight characters: the value keeps the low 32 bits.
        {"123456789", 8, 0x23456789, "23456789"},
    };
    for (const auto& c : cases) {
        const std::int32_t value = hexdigits::TextToValue(QString::fromUtf8(c.text));
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(hexdigits::ValueToText(value, c.maxlength), QString::fromLatin1(c.shown))
            << c.text << " maxlength " << c.maxlength;
    }
}

class HexEditTest : public ::testing::Test {
  protected:
    void type(const QString& chars) {
        for (const QChar c : chars) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&edit, &press);
        }
    }
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                  const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&edit, &press);
    }
    void loseFocus(Qt::FocusReason reason = Qt::TabFocusReason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(&edit, &out);
    }

    THexEdit edit;
};

TEST_F(HexEditTest, StartsEmptyWithDefaults) {
    EXPECT_EQ(edit.Hexvalue(), 0);
    EXPECT_EQ(edit.maxlength(), 8);
    EXPECT_FALSE(edit.NumRETURN());
    EXPECT_TRUE(edit.text().isEmpty());
}

TEST_F(HexEditTest, TypingDropsNonHexCharactersAndTheDecimalKeys) {
    type(QStringLiteral("1g2 x,a."));
    pressKey(Qt::Key_Period, Qt::KeypadModifier, QStringLiteral(","));
    pressKey(Qt::Key_Comma, Qt::NoModifier, QStringLiteral(","));
    EXPECT_EQ(edit.text(), QStringLiteral("12a"));
    pressKey(Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
}

TEST_F(HexEditTest, TypingStopsAtMaxlength) {
    edit.Setmaxlength(2);
    type(QStringLiteral("abc"));
    EXPECT_EQ(edit.text(), QStringLiteral("ab"));
}

TEST_F(HexEditTest, FocusLossCommitsButTheContextMenuDoesNot) {
    edit.Setmaxlength(2);
    type(QStringLiteral("a"));
    loseFocus(Qt::PopupFocusReason);
    EXPECT_EQ(edit.text(), QStringLiteral("a"));
    EXPECT_EQ(edit.Hexvalue(), 0);
    loseFocus();
    EXPECT_EQ(edit.text(), QStringLiteral("0A"));
    EXPECT_EQ(edit.Hexvalue(), 10);
}

TEST_F(HexEditTest, EnterCommits) {
    type(QStringLiteral("1a"));
    pressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(edit.Hexvalue(), 26);
    EXPECT_EQ(edit.text(), QStringLiteral("0000001A"));
}

TEST_F(HexEditTest, NumReturnCommitsAndReadsFalse) {
    edit.setText(QStringLiteral("ffffffff"));
    edit.SetNumRETURN(false);
    EXPECT_EQ(edit.Hexvalue(), 0);
    edit.SetNumRETURN(true);
    EXPECT_EQ(edit.Hexvalue(), -1);
    EXPECT_EQ(edit.text(), QStringLiteral("FFFFFFFF"));
    EXPECT_FALSE(edit.NumRETURN());
}

TEST_F(HexEditTest, SettingHexvalueLeavesTheTextUntilTheNextCommit) {
    edit.setText(QStringLiteral("5"));
    edit.SetHexvalue(77);
    EXPECT_EQ(edit.Hexvalue(), 77);
    EXPECT_EQ(edit.text(), QStringLiteral("5"));
    edit.Commit();
    EXPECT_EQ(edit.Hexvalue(), 5);
}

TEST_F(HexEditTest, LoweringMaxlengthKeepsTheTextAndTheNextCommitConvertsAllOfIt) {
    edit.Setmaxlength(4);
    edit.setText(QStringLiteral("1234"));
    edit.Setmaxlength(1);
    EXPECT_EQ(edit.text(), QStringLiteral("1234"));
    edit.Commit();
    EXPECT_EQ(edit.Hexvalue(), 0x1234);
    EXPECT_EQ(edit.text(), QStringLiteral("1234"));
    edit.setText(QString());
    edit.Commit();
    EXPECT_EQ(edit.text(), QStringLiteral("0"));
}

TEST_F(HexEditTest, ATextLongerThanALoweredLimitCanShrinkButNotGrow) {
    edit.setText(QStringLiteral("123"));
    edit.Setmaxlength(1);
    edit.setCursorPosition(3);
    type(QStringLiteral("4"));
    EXPECT_EQ(edit.text(), QStringLiteral("123"));
    pressKey(Qt::Key_Backspace);
    type(QStringLiteral("4"));
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    edit.setCursorPosition(1);
    pressKey(Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("2"));
    pressKey(Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("2"));
    pressKey(Qt::Key_Delete);
    type(QStringLiteral("56"));
    EXPECT_EQ(edit.text(), QStringLiteral("5"));
}

TEST_F(HexEditTest, NegativeValueShowsAllEightDigitsEvenWithAShortField) {
    edit.Setmaxlength(2);
    edit.setText(QStringLiteral("ff"));
    edit.Commit();
    EXPECT_EQ(edit.text(), QStringLiteral("FF"));
    edit.Setmaxlength(8);
    edit.setText(QStringLiteral("ffffffff"));
    edit.Setmaxlength(2);
    edit.Commit();
    EXPECT_EQ(edit.text(), QStringLiteral("FFFFFFFF"));
}

TEST_F(HexEditTest, MaxlengthStaysWithinEightDigits) {
    edit.Setmaxlength(0);
    EXPECT_EQ(edit.maxlength(), 1);
    edit.Setmaxlength(20);
    EXPECT_EQ(edit.maxlength(), 8);
}

} // namespace
