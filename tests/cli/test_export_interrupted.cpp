// Exports killed, failing for want of room and aimed at symbolic links, run
// through the program itself: whatever happens, the target is the old file
// or the complete new one, and no temporary file stays behind.
#include "SmallDisk.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const char* const kFormats[] = {"sr", "vcd", "csv", "DIG"};

// Random samples: nothing for a format to compress.
QByteArray Recording(int cells) {
    std::mt19937 random(5);
    QByteArray bytes(2 * cells, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random());
    return bytes;
}

pid_t StartConvert(const QString& from, const QString& to) {
    const QByteArray program = SPURWERK_BINARY_DIR "/spurwerk";
    const QByteArray in = QFile::encodeName(from), out = QFile::encodeName(to);
    const pid_t child = ::fork();
    if (child == 0) {
        ::freopen("/dev/null", "w", stdout);
        ::freopen("/dev/null", "w", stderr);
        ::execl(program.constData(), program.constData(), "convert", in.constData(),
                out.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return child;
}

// Runs a convert to its end: its exit code and what it wrote to standard error.
std::pair<int, QString> Convert(const QString& from, const QString& to) {
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral(SPURWERK_BINARY_DIR "/spurwerk"), {"convert", from, to});
    p.waitForFinished(120'000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2,
            QString::fromUtf8(p.readAllStandardError())};
}

QStringList Hidden(const QString& folder) {
    return QDir(folder)
        .entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        .filter(QRegularExpression("^\\."));
}

} // namespace

TEST(ExportInterrupted, AKilledExportLeavesOnlyWhatTheNextSaveRemoves) {
    const QTemporaryDir dir;
    const QString source = dir.filePath("source.DIG");
    WriteTestFile(source, Recording(100'000));
    std::mt19937 random(17);
    for (const char* format : {"sr", "vcd", "csv"}) {
        const QString target = dir.filePath(QStringLiteral("out.") + format);
        ASSERT_EQ(Convert(source, target).first, 0) << format;
        // The text formats carry the time of writing: a complete file is told
        // by its length.
        const qint64 complete = QFileInfo(target).size();
        // How long one export takes here; the kills fall anywhere in it.
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(Convert(source, target).first, 0);
        const auto whole = std::chrono::steady_clock::now() - start;
        int leftBehind = 0;
        for (int round = 0; round < 12; ++round) {
            const pid_t child = StartConvert(source, target);
            ASSERT_GT(child, 0);
            std::this_thread::sleep_for(whole * (random() % 100) / 100);
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            // Old or new, both are the same complete file: never a cut one.
            EXPECT_EQ(QFileInfo(target).size(), complete) << format << " round " << round;
            leftBehind += int(Hidden(dir.path()).size());
        }
        // Whatever the kills left, and one of each kind for certain: ours and
        // libzip's beside it. Files of other names are not the save's to remove.
        const QString name = QFileInfo(target).fileName();
        WriteTestFile(dir.filePath("." + name + ".a1B2c3"), "stale");
        WriteTestFile(dir.filePath("." + name + ".a1B2c3.Z9y8X7"), "stale");
        QStringList others = {"." + name + ".keep", ".other." + QString(format) + ".a1B2c3"};
        others.sort();
        for (const QString& other : others)
            WriteTestFile(dir.filePath(other), "not ours");
        const auto [code, error] = Convert(source, target);
        EXPECT_EQ(code, 0) << error.toStdString();
        EXPECT_EQ(Hidden(dir.path()), others)
            << format << ", " << leftBehind << " temporaries seen after the kills";
        for (const QString& other : others)
            QFile::remove(dir.filePath(other));
        EXPECT_EQ(QFileInfo(target).size(), complete) << format;
    }
}

TEST(ExportInterrupted, AFullDiskNamesTheFileAndLeavesNothing) {
    const SmallDisk disk(64);
    if (!disk.Mounted()) GTEST_SKIP() << "needs a tmpfs mount (root)";
    const QTemporaryDir dir;
    const QString source = dir.filePath("source.DIG");
    WriteTestFile(source, Recording(100'000));
    for (const char* format : kFormats) {
        const QString target = disk.FilePath(QStringLiteral("out.") + format);
        const auto [code, error] = Convert(source, target);
        EXPECT_EQ(code, 1) << format;
        EXPECT_TRUE(error.contains(target)) << error.toStdString();
        EXPECT_TRUE(error.contains("der Datenträger ist voll")) << error.toStdString();
        EXPECT_EQ(disk.Entries(), QStringList()) << format;
    }
}

TEST(ExportInterrupted, ASymbolicLinkIsWrittenThroughForEveryFormat) {
    const QTemporaryDir dir;
    const QString source = dir.filePath("source.DIG");
    WriteTestFile(source, Recording(1'000));
    ASSERT_TRUE(QDir(dir.path()).mkdir("data"));
    for (const char* format : kFormats) {
        const QString name = QStringLiteral("out.") + format;
        const QString real = dir.filePath("data/" + name);
        WriteTestFile(real, "old");
        ASSERT_TRUE(QFile::link("data/" + name, dir.filePath(name)));
        const auto [code, error] = Convert(source, dir.filePath(name));
        ASSERT_EQ(code, 0) << error.toStdString();
        EXPECT_TRUE(QFileInfo(dir.filePath(name)).isSymLink()) << format;
        EXPECT_NE(ReadTestFile(real), "old") << format;
        EXPECT_EQ(Hidden(dir.filePath("data")), QStringList()) << format;
    }
}
