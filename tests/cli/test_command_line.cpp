#include "cli/CommandLine.h"
#include "front/UsageTexts.h"
#include "sigrok/DigPlanes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

namespace {

struct Outcome {
    cli::Decision decision;
    std::string out;
    std::string err;
};

Outcome Read(std::vector<std::string> args) {
    std::ostringstream out, err;
    Outcome run{cli::ReadCommandLine(args, {out, err}), {}, {}};
    run.out = out.str();
    run.err = err.str();
    return run;
}

TEST(CommandLine, HelpAndVersionEndTheProgram) {
    for (const char* flag : {"--help", "-h"}) {
        const Outcome run = Read({"--simulate", flag});
        EXPECT_EQ(run.decision.exitCode, 0);
        EXPECT_NE(run.out.find("convert EINGABE AUSGABE"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("--simulate"), std::string::npos);
    }
    for (const char* flag : {"--version", "-v"}) {
        const Outcome run = Read({flag});
        EXPECT_EQ(run.decision.exitCode, 0);
        EXPECT_EQ(run.out, "Spurwerk " + cli::VersionText() + "\n");
    }
}

TEST(CommandLine, WindowOptions) {
    const Outcome run =
        Read({"--simulate", "-platform", "offscreen", "--port", "direct", "a b.DIG"});
    ASSERT_FALSE(run.decision.exitCode) << run.err;
    EXPECT_TRUE(run.decision.window.simulate);
    EXPECT_TRUE(run.decision.window.directPort);
    EXPECT_EQ(run.decision.window.file, "a b.DIG");

    const Outcome plain = Read({});
    ASSERT_FALSE(plain.decision.exitCode);
    EXPECT_FALSE(plain.decision.window.simulate);
    EXPECT_FALSE(plain.decision.window.directPort);
    EXPECT_EQ(plain.decision.window.file, "");
    EXPECT_EQ(plain.decision.window.boardLibrary, "");
    EXPECT_FALSE(plain.decision.window.documentsFolder);
}

TEST(CommandLine, BoardLibraryAndDocumentsFolder) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--k8055-library", "libk8055.so.0", "--documents-folder"},
             {"--documents-folder", "--k8055-library=libk8055.so.0"}}) {
        const Outcome run = Read(args);
        ASSERT_FALSE(run.decision.exitCode) << run.err;
        EXPECT_EQ(run.decision.window.boardLibrary, "libk8055.so.0");
        EXPECT_TRUE(run.decision.window.documentsFolder);
    }
    EXPECT_NE(Read({"--help"}).out.find("--k8055-library"), std::string::npos);
}

TEST(CommandLine, WrongUseIsAnErrorOnStandardError) {
    const std::vector<std::vector<std::string>> cases = {{"--frobnicate"},
                                                         {"--port"},
                                                         {"--port", "usb"},
                                                         {"--port=lpt"},
                                                         {"--k8055-library"},
                                                         {"--k8055-library="},
                                                         {"a.DIG", "b.DIG"},
                                                         {"convert"},
                                                         {"convert", "a.DIG"},
                                                         {"convert", "a.DIG", "b.txt"},
                                                         {"convert", "a.wav", "b.sr"}};
    for (const auto& args : cases) {
        const Outcome run = Read(args);
        EXPECT_EQ(run.decision.exitCode, 2) << args[0];
        EXPECT_FALSE(run.err.empty()) << args[0];
        EXPECT_TRUE(run.out.empty()) << args[0];
    }
}

// The program a user starts answers help from the usage table and hands the
// commands over by name: both lists must hold the same commands.
TEST(CommandLine, EveryCommandHasItsUsageAndEveryUsageItsCommand) {
    std::vector<std::string> runnable, described;
    for (const cli::Command& command : cli::AllCommands())
        runnable.emplace_back(command.name);
    for (const usage::CommandUsage& command : usage::Commands())
        described.emplace_back(command.name);
    EXPECT_EQ(runnable, described);
    for (const std::string& name : runnable) {
        const Outcome run = Read({name, "--help"});
        EXPECT_EQ(run.decision.exitCode, 0);
        EXPECT_EQ(run.out, usage::FindCommand(name)->text);
    }
}

class Convert : public ::testing::Test {
  protected:
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    QByteArray Bytes(const char* name) const {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void Write(const char* name, const QByteArray& bytes) const {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Dig(std::size_t cells) const {
        std::vector<std::uint16_t> samples(cells);
        for (std::size_t i = 0; i < cells; ++i)
            samples[i] = static_cast<std::uint16_t>((i * 40503u) ^ (i >> 2));
        const std::vector<std::uint8_t> planes = sigrok::PlanesFromSamples(samples);
        return QByteArray(reinterpret_cast<const char*>(planes.data()), qsizetype(planes.size()));
    }
    Outcome Convert2(const char* in, const char* out) {
        return Read({"convert", Path(in), Path(out)});
    }

    QTemporaryDir dir;
};

TEST_F(Convert, ChainThroughEveryFormatGivesTheRecordingBack) {
    Write("start.DIG", Dig(777));
    const char* chain[] = {"start.DIG", "a.sr",  "b.VCD", "c.csv",
                           "d.Sr",      "e.csv", "f.vcd", "end.dig"};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
        const Outcome run = Convert2(chain[i], chain[i + 1]);
        ASSERT_EQ(run.decision.exitCode, 0)
            << chain[i] << " -> " << chain[i + 1] << ": " << run.err;
    }
    EXPECT_EQ(Bytes("end.dig"), Bytes("start.DIG"));
}

TEST_F(Convert, ErrorsWriteNothing) {
    Write("old.sr", "old");
    Write("broken.vcd", "no vcd at all");
    for (const char* in : {"missing.DIG", "broken.vcd", "missing.csv"}) {
        const Outcome run = Convert2(in, "old.sr");
        EXPECT_EQ(run.decision.exitCode, 1) << in;
        EXPECT_NE(run.err.find("spurwerk convert: "), std::string::npos) << run.err;
        EXPECT_EQ(Bytes("old.sr"), QByteArray("old")) << in;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// The program itself: help, version and convert run without a display.
class Program : public Convert {
  protected:
    int Start(const QStringList& args, QString* out = nullptr, QString* err = nullptr,
              const QString& program = QStringLiteral(SPURWERK_BINARY_DIR "/spurwerk")) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(program, args);
        if (!p.waitForFinished(30000)) return -1;
        if (out) *out = QString::fromUtf8(p.readAllStandardOutput());
        if (err) *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }
};

TEST_F(Program, HelpVersionAndConvertWithoutDisplay) {
    QString out, err;
    EXPECT_EQ(Start({"--help"}, &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(out.contains("convert EINGABE AUSGABE")) << out.toStdString();
    EXPECT_EQ(Start({"--version"}, &out), 0);
    EXPECT_EQ(out, QString::fromStdString("Spurwerk " + cli::VersionText() + "\n"));

    Write("in.DIG", Dig(100));
    EXPECT_EQ(Start({"convert", dir.filePath("in.DIG"), dir.filePath("out.sr")}, &out, &err), 0)
        << err.toStdString();
    EXPECT_EQ(Start({"convert", dir.filePath("out.sr"), dir.filePath("back.DIG")}), 0);
    EXPECT_EQ(Bytes("back.DIG"), Bytes("in.DIG"));

    EXPECT_EQ(Start({"convert", dir.filePath("nothing.sr"), dir.filePath("x.DIG")}, &out, &err), 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(err.contains("nothing.sr")) << err.toStdString();
    EXPECT_EQ(Start({"--bogus"}, &out, &err), 2);
}

// Without a display neither a mistyped command nor a start of the window
// ends in the toolkit's English abort: the usage in German, status 2.
TEST_F(Program, MistypedCommandAndMissingDisplayShowTheUsage) {
    for (const QStringList& args : {QStringList{"bogus"}, QStringList{"--simulate"}}) {
        QString out, err;
        EXPECT_EQ(Start(args, &out, &err), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(out.isEmpty());
        EXPECT_TRUE(err.startsWith("spurwerk: ")) << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromStdString(usage::ProgramHelp())))
            << err.toStdString();
    }
}

// Help or version that cannot be written (a full disk) is no success.
TEST_F(Program, OutputThatCannotBeWrittenFails) {
    for (const char* flag : {"--version", "--help"}) {
        QProcess p;
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(QStringLiteral(SPURWERK_BINARY_DIR "/spurwerk"), {QString::fromLatin1(flag)});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 1) << flag;
    }
}

// `spurwerk COMMAND --help` is answered by the program a user starts and by
// the commands' program alike, from the one table.
TEST_F(Program, CommandHelpIsTheSameFromBothPrograms) {
    for (const usage::CommandUsage& command : usage::Commands()) {
        const QString name = QString::fromUtf8(command.name.data(), qsizetype(command.name.size()));
        const QString expected =
            QString::fromUtf8(command.text.data(), qsizetype(command.text.size()));
        QString front, commands;
        EXPECT_EQ(Start({name, "--help"}, &front), 0);
        EXPECT_EQ(Start({name, "--help"}, &commands, nullptr,
                        QStringLiteral(SPURWERK_BINARY_DIR "/spurwerk-commands")),
                  0);
        EXPECT_EQ(front, expected);
        EXPECT_EQ(commands, expected);
    }
}

// A start without a command goes on in the window's program; where that is
// missing (a broken installation), the program says which file it lacks.
TEST_F(Program, AStartWithoutCommandNamesAMissingWindowProgram) {
    const QString alone = dir.filePath("spurwerk");
    ASSERT_TRUE(QFile::copy(QStringLiteral(SPURWERK_BINARY_DIR "/spurwerk"), alone));
    QString out, err;
    EXPECT_EQ(Start({"--simulate"}, &out, &err, alone), 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(err.contains("spurwerk-window")) << err.toStdString();
    EXPECT_TRUE(err.contains("nicht gefunden")) << err.toStdString();
    EXPECT_EQ(Start({"convert", "a.DIG", "b.sr"}, &out, &err, alone), 1);
    EXPECT_TRUE(err.contains("spurwerk-commands")) << err.toStdString();
    EXPECT_EQ(Start({"--version"}, &out, &err, alone), 0) << err.toStdString();
}

} // namespace
