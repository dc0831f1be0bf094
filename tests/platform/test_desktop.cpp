#include "ScriptedDesktop.h"
#include "platform/GuardedApplication.h"
#include "platform/QtDesktop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(QtFilter, ConvertsPipePairsToQtForm) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"Digital-Aufzeichnung (*.DIG)|*.DIG|Alle Dateien              (*.*)|*.*",
         "Digital-Aufzeichnung (*.DIG);;Alle Dateien              (*.*)"},
        {"Text|*.txt;*.log", "Text (*.txt *.log)"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toQtFilter(c.in), QString::fromUtf8(c.out)) << c.in;
}

TEST(QtFilter, ChosenTypeGivesTheExtensionOfATypedName) {
    struct Case {
        const char* filter;
        const char* ext;
    } cases[] = {
        {"VCD-Datei (*.vcd)", "vcd"},
        {"sigrok-Sitzung (*.sr)", "sr"},
        {"Alle Dateien              (*.*)", ""},
        {"Alle (*)", ""},
        {"Aufzeichnungen (*.sr *.vcd)", ""},
        {"kein Muster", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filterExtension(QString::fromUtf8(c.filter)), QString::fromUtf8(c.ext))
            << c.filter;
}

namespace {
class Thrower : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("'abc' ist kein gültiger Integerwert");
        return QObject::event(e);
    }
};
} // namespace

TEST(GeneralErrorDisplay, ExceptionFromACommandIsShownAndTheProgramRunsOn) {
    auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
    ScriptedDesktop desktop;
    app->SetErrorDesktop(&desktop);
    Thrower thrower;
    QEvent first(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &first);
    QEvent second(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &second);
    app->SetErrorDesktop(nullptr);

    const auto shown = desktop.messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("'abc' ist kein gültiger Integerwert"));
    EXPECT_EQ(shown[0].icon, Desktop::Icon::Error);
}

TEST(ScriptedDesktopDouble, AnswersFromScriptThenDefaults) {
    ScriptedDesktop d;
    d.messageAnswers = {Desktop::No};
    EXPECT_EQ(d.MessageBox({"c", "t", Desktop::Icon::Question, Desktop::Yes | Desktop::No}),
              Desktop::No);
    EXPECT_EQ(d.MessageBox({"c", "t", Desktop::Icon::Question, Desktop::Yes | Desktop::No}),
              Desktop::Yes);
    EXPECT_FALSE(d.OpenFileDialog({}).has_value());
    d.Sleep(500);
    d.Sleep(10);
    EXPECT_EQ(d.totalSleepMs(), 510);
}

#include "platform/Conversion.h"

TEST(StrToInt, AcceptsWhatTheProgramWritesAndRejectsTheRest) {
    struct Ok {
        const char* text;
        std::int32_t value;
    } good[] = {{"0", 0},
                {"8", 8},
                {"-1", -1},
                {"  42", 42},
                {"+7", 7},
                {"$FF", 255},
                {"$FFFFFFFF", -1},
                {"-$FFFFFFFF", 1},
                {"-$80000000", INT32_MIN},
                {"-0x80000000", INT32_MIN},
                {"$80000000", INT32_MIN},
                {"-$7FFFFFFF", -2147483647},
                {"2147483647", 2147483647},
                {"-2147483648", INT32_MIN},
                {"-2147483640", -2147483640},
                {"16777215", 16777215}};
    for (const auto& c : good)
        EXPECT_EQ(StrToInt(QString::fromLatin1(c.text)), c.value) << c.text;

    const char* bad[] = {"", "abc", "12a", "2147483648", "5 ", "$", "-", "1.5", "$1FFFFFFFF"};
    for (const char* text : bad) {
        try {
            StrToInt(QString::fromLatin1(text));
            ADD_FAILURE() << "accepted " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text));
        }
    }
}

TEST(MessageText, ProgramLineBreaksBecomeLineFeeds) {
    EXPECT_EQ(toDisplayLineBreaks(QStringLiteral("a\rb")), QStringLiteral("a\nb"));
    EXPECT_EQ(toDisplayLineBreaks(QStringLiteral("a\n\rb\n\r")), QStringLiteral("a\nb\n"));
    EXPECT_EQ(toDisplayLineBreaks(QStringLiteral("a\r\nb")), QStringLiteral("a\nb"));
}

#include <QDir>
#include <QTemporaryDir>

TEST(FileDialogStart, MissingFoldersFallBackToTheNearestExistingOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("a")));
    const QString a = QDir(dir.path()).filePath(QStringLiteral("a"));
    EXPECT_EQ(nearestExistingDirectory(a), a);
    EXPECT_EQ(nearestExistingDirectory(a + QStringLiteral("/missing/deeper")), a);
    EXPECT_EQ(nearestExistingDirectory(QString()), QDir::homePath());
}
