#include "front/StartChoice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Kind = front::StartChoice::Kind;

struct Case {
    std::vector<std::string> args;
    Kind kind;
    const char* command = ""; // Command, CommandHelp: its name; Wrong: a part of the message
};

TEST(StartChoice, KindOfEveryStart) {
    const std::vector<Case> cases = {
        {{}, Kind::Window},
        {{"--simulate", "messung.DIG"}, Kind::Window},
        {{"daten/probe"}, Kind::Window},
        {{"--help"}, Kind::Help},
        {{"--simulate", "-h"}, Kind::Help},
        {{"-v"}, Kind::Version},
        {{"convert", "--help"}, Kind::CommandHelp, "convert"},
        {{"record", "-h"}, Kind::CommandHelp, "record"},
        // Anything beyond the help goes to the command, which reads it whole.
        {{"decode", "--help", "x"}, Kind::Command, "decode"},
        {{"convert", "a.DIG", "b.sr"}, Kind::Command, "convert"},
        {{"convert"}, Kind::Command, "convert"},
        {{"bogus"}, Kind::Wrong, "unbekannter Befehl 'bogus'"},
        {{"Convert"}, Kind::Wrong, "unbekannter Befehl 'Convert'"},
        {{"--frobnicate"}, Kind::Wrong, "unbekannte Option '--frobnicate'"},
        {{"--port"}, Kind::Wrong, "--port braucht einen Wert"},
        {{"--port=lpt"}, Kind::Wrong, "nicht 'lpt'"},
        {{"--k8055-library="}, Kind::Wrong, "--k8055-library braucht"},
        {{"a.DIG", "b.DIG"}, Kind::Wrong, "nicht auch 'b.DIG'"},
    };
    for (const Case& c : cases) {
        const front::StartChoice choice = front::ReadStart(c.args);
        const std::string args = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(choice.kind, c.kind) << args;
        if (c.kind == Kind::Command || c.kind == Kind::CommandHelp) {
            ASSERT_NE(choice.command, nullptr) << args;
            EXPECT_EQ(choice.command->name, c.command);
        }
        if (c.kind == Kind::Wrong) {
            EXPECT_NE(choice.message.find(c.command), std::string::npos) << choice.message;
            EXPECT_EQ(choice.message.back(), '\n');
        }
    }
}

// A mistyped command gets the whole usage, so the user sees what exists.
TEST(StartChoice, MistypedCommandShowsTheUsage) {
    const front::StartChoice choice = front::ReadStart({"bogus"});
    EXPECT_NE(choice.message.find(usage::ProgramHelp()), std::string::npos);
}

// A recording without an extension in the current folder is still opened.
TEST(StartChoice, ExistingFileIsNoCommand) {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    {
        QFile file(QStringLiteral("messung"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const front::StartChoice choice = front::ReadStart({"messung"});
    QDir::setCurrent(before);
    EXPECT_EQ(choice.kind, Kind::Window);
    EXPECT_EQ(choice.window.file, "messung");
}

TEST(StartChoice, WindowOptions) {
    const front::StartChoice run =
        front::ReadStart({"--simulate", "-platform", "offscreen", "--port", "direct",
                          "--k8055-library", "libk8055.so.0", "--documents-folder", "a b.DIG"});
    ASSERT_EQ(run.kind, Kind::Window) << run.message;
    EXPECT_TRUE(run.window.simulate);
    EXPECT_TRUE(run.window.directPort);
    EXPECT_TRUE(run.window.platformGiven);
    EXPECT_TRUE(run.window.documentsFolder);
    EXPECT_EQ(run.window.boardLibrary, "libk8055.so.0");
    EXPECT_EQ(run.window.file, "a b.DIG");
    EXPECT_FALSE(front::ReadStart({"-style", "fusion"}).window.platformGiven);
    EXPECT_TRUE(front::ReadStart({"-display", ":1"}).window.platformGiven);
}

} // namespace
