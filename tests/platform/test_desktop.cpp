#include "ScriptedDesktop.h"
#include "platform/GuardedApplication.h"
#include "platform/QtDesktop.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QPalette>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(QtFilter, ConvertsPipePairsToQtForm) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        // "*.*" would need a dot in the name on Linux; all files are "*".
        {"Digital-Aufzeichnung (*.DIG)|*.DIG|Alle Dateien              (*.*)|*.*",
         "Digital-Aufzeichnung (*.DIG);;Alle Dateien              (*)"},
        {"Alle|*.*", "Alle (*)"},
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

TEST(SystemColors, EachIndexTakesItsPaletteRole) {
    const QPalette saved = QApplication::palette();
    // A palette in which every role has a colour of its own.
    QPalette palette;
    int shade = 1;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            palette.setColor(group, QPalette::ColorRole(role), QColor::fromRgb(QRgb(shade++ * 97)));
    QApplication::setPalette(palette);
    struct Case {
        TColor value;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    } cases[] = {
        {0x80000004, QPalette::Active, QPalette::Window},      // menu, the port indicator's dark phase
        {0x80000005, QPalette::Active, QPalette::Base},        // window background
        {0x80000008, QPalette::Active, QPalette::Text},        // window text
        {0x8000000D, QPalette::Active, QPalette::Highlight},   // highlight
        {0x8000000F, QPalette::Active, QPalette::Button},      // button face
        {0x80000011, QPalette::Disabled, QPalette::Text},      // grey text
        {0x80000012, QPalette::Active, QPalette::ButtonText},  // button text
        {0x80000018, QPalette::Active, QPalette::ToolTipBase}, // tooltip background
        {0x800000FF, QPalette::Active, QPalette::Window},      // no such index
    };
    for (const Case& c : cases)
        EXPECT_EQ(colors::toQColor(c.value), palette.color(c.group, c.role))
            << std::hex << c.value;
    // Text on a window background stays readable.
    EXPECT_NE(colors::toQColor(0x80000008), colors::toQColor(0x80000005));
    QApplication::setPalette(saved);
}

TEST(FileDialogOptions, PathMustExistAndCreatePromptDecideOnTheChosenFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile existing(dir.filePath("da.DIG"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    Desktop::FileDialogRequest both;
    both.pathMustExist = true;
    both.createPrompt = true;
    const Desktop::FileDialogRequest none;
    struct Case {
        QString path;
        const Desktop::FileDialogRequest& request;
        ChosenFileCheck expected;
    } cases[] = {
        {dir.filePath("da.DIG"), both, ChosenFileCheck::Accept},
        {dir.filePath("neu.DIG"), both, ChosenFileCheck::AskToCreate},
        {dir.filePath("fehlt/neu.DIG"), both, ChosenFileCheck::FolderMissing},
        {dir.filePath("fehlt/neu.DIG"), none, ChosenFileCheck::Accept},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckChosenFile(c.path, c.request), c.expected) << c.path.toStdString();
}

TEST(FileDialogFilter, AllFilesListsNamesWithoutADot) {
    // What Qt's dialog does with the entry's patterns: wildcard matching.
    const QString entry = toQtFilter(QStringLiteral("Alle Dateien (*.*)|*.*"));
    const QString patterns = entry.mid(entry.indexOf('(') + 1).chopped(1);
    for (const char* name : {"README", "messung.DIG"})
        EXPECT_TRUE(QRegularExpression::fromWildcard(patterns, Qt::CaseInsensitive)
                        .match(QString::fromLatin1(name))
                        .hasMatch())
            << name;
}
