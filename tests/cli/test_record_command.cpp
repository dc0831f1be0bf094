// spurwerk record: recording from libsigrok's demo device without a window,
// checked with sigrok-cli as an independent reader.
#include "cli/Commands.h"
#include "cli/RecordCommand.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

namespace {

class Record : public ::testing::Test {
  protected:
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }

    int Run(std::vector<std::string> args, std::string* err = nullptr) {
        std::ostringstream out, errors;
        const int code = cli::RunRecord(args, {out, errors});
        if (err) *err = errors.str();
        return code;
    }

    // What sigrok-cli says about a file and the samples it reads from it.
    struct Read {
        QString show;
        QByteArray binary;
    };
    Read ReadWithSigrokCli(const std::string& path) {
        Read read;
        QProcess show;
        show.start("sigrok-cli", {"-i", QString::fromStdString(path), "--show"});
        show.waitForFinished(30000);
        read.show = QString::fromUtf8(show.readAllStandardOutput());
        QProcess binary;
        binary.start("sigrok-cli", {"-i", QString::fromStdString(path), "-O", "binary"});
        binary.waitForFinished(30000);
        read.binary = binary.readAllStandardOutput();
        return read;
    }

    QTemporaryDir dir;
};

// Sample i of the demo's "incremental" pattern, as two little-endian bytes.
bool IsIncremental(const QByteArray& binary) {
    for (qsizetype i = 0; i < binary.size(); ++i)
        if (static_cast<std::uint8_t>(binary[i]) != (i & 0xFF)) return false;
    return true;
}

TEST_F(Record, WritesWhatSigrokCliReadsBack) {
    std::string err;
    ASSERT_EQ(Run({"--simulate", "--source", "sigrok:demo:pattern=incremental", "--samples",
                   "100000", "--samplerate", "1M", "-o", Path("x.sr")},
                  &err),
              cli::ExitOk)
        << err;
    const Read read = ReadWithSigrokCli(Path("x.sr"));
    EXPECT_TRUE(read.show.contains("Samplerate: 1000000")) << read.show.toStdString();
    EXPECT_TRUE(read.show.contains("Logic sample count: 100000")) << read.show.toStdString();
    EXPECT_TRUE(read.show.contains("Channels: 16")) << read.show.toStdString();
    ASSERT_EQ(read.binary.size(), 200000);
    EXPECT_TRUE(IsIncremental(read.binary));
}

TEST_F(Record, WrongCommandLinesWriteNothing) {
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* message;
    } cases[] = {
        {{"--source", "sigrok:demo", "--samples", "10", "-o", Path("a.sr")},
         cli::ExitUsage, "nur mit --simulate"},
        {{"--simulate", "--source", "sigrok:demo", "-o", Path("a.sr")},
         cli::ExitUsage, "--source, --samples und -o sind nötig"},
        {{"--simulate", "--source", "sigrok:demo", "--samples", "0", "-o", Path("a.sr")},
         cli::ExitUsage, "--samples braucht eine Anzahl"},
        {{"--simulate", "--source", "sigrok:demo", "--samples", "68M", "-o", Path("a.sr")},
         cli::ExitUsage, "--samples braucht eine Anzahl"},
        {{"--simulate", "--source", "sigrok:demo", "--samples", "10", "--samplerate", "fast",
          "-o", Path("a.sr")},
         cli::ExitUsage, "--samplerate versteht 'fast' nicht"},
        {{"--simulate", "--source", "sigrok:demo", "--samples", "10", "-o", Path("a.txt")},
         cli::ExitUsage, "unbekannte Dateiendung"},
        {{"--simulate", "--source", "com1", "--samples", "10", "-o", Path("a.sr")},
         cli::ExitUsage, "unbekannte Quelle 'com1'"},
        {{"--simulate", "--source", "sigrok:", "--samples", "10", "-o", Path("a.sr")},
         cli::ExitUsage, "hat nicht die Form"},
        {{"--simulate", "--source", "sigrok:demo", "--samples", "10", "--samplerate", "5G",
          "-o", Path("a.sr")},
         cli::ExitFailure, "nimmt die Abtastrate 5 GHz nicht an"},
        {{"--simulate", "--source", "sigrok:nonesuch", "--samples", "10", "-o", Path("a.sr")},
         cli::ExitFailure, "keinen Treiber namens \"nonesuch\""},
    };
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(Run(c.args, &err), c.code) << c.message;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_FALSE(QFile::exists(dir.filePath("a.sr")));
    }
}

// The program itself: Ctrl+C ends the recording and what arrived is written.
TEST_F(Record, InterruptKeepsWhatArrived) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice());
    // At 10 kHz the demo paces itself: a million samples would take 100 s.
    p.start(QStringLiteral(SPURWERK_BINARY_DIR "/spurwerk"),
            {"record", "--simulate", "--source", "sigrok:demo:pattern=incremental", "--samples",
             "1M", "--samplerate", "10k", "-o", dir.filePath("cut.sr")});
    ASSERT_TRUE(p.waitForStarted());
    p.waitForFinished(600);
    ASSERT_EQ(p.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const Read read = ReadWithSigrokCli(Path("cut.sr"));
    EXPECT_TRUE(read.show.contains("Samplerate: 10000")) << read.show.toStdString();
    EXPECT_GT(read.binary.size(), 0);
    EXPECT_LT(read.binary.size(), 2'000'000);
    EXPECT_TRUE(IsIncremental(read.binary));
}

} // namespace
