// Reading and writing the program's own files: what is not a regular file is
// refused before it can block or flood the reader; saves never lose the
// previous file or its backup; a folder without write right still lets a
// writable file be saved.
#include "FileSizeLimit.h"
#include "OtherUser.h"
#include "TestFiles.h"
#include "persistence/EINIRegistryError.h"
#include "persistence/FileAccess.h"
#include "persistence/IniRegistry.h"
#include "persistence/RecordingData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class FileAccess : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QString base() const { return path("Spurwerk"); }
    QByteArray read(const QString& name) const { return ReadTestFile(path(name)); }
    void write(const QString& name, const QByteArray& bytes) const {
        WriteTestFile(path(name), bytes);
    }
    static QByteArray image(const QString& value) {
        TIniRegistry store;
        store.OpenKey("K", true);
        store.WriteString("V", value);
        return store.SaveToBytes();
    }
    static QString valueIn(const QByteArray& bytes) {
        TIniRegistry store;
        if (!store.LoadFromBytes(bytes) || !store.OpenKey("K", false)) return "<invalid>";
        return store.ReadString("V");
    }

    QTemporaryDir dir;
};

// The message of the EFileError that `action` raises; empty when none.
QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EFileError& e) {
        return e.Message();
    }
    return QString();
}

} // namespace

TEST_F(FileAccess, WhatIsNotARegularFileIsRefusedWithoutReadingIt) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    for (const char* kind : {"pipe", "zero", "folder"}) {
        SCOPED_TRACE(kind);
        // A recording, and a settings file of that kind: a FIFO without a
        // writer used to block for ever, /dev/zero to fill the memory.
        const QString recording = errorOf([&] { recording::ReadRecordingFile(path(kind)); });
        EXPECT_TRUE(recording.startsWith("Die Datei ")) << recording.toStdString();
        EXPECT_TRUE(recording.contains(QString::fromUtf8("keine gewöhnliche Datei")))
            << recording.toStdString();

        ASSERT_TRUE(QFile::rename(path(kind), path("Spurwerk.ini")));
        TIniRegistry store;
        store.WriteString("keep", "1");
        const QString settings = errorOf([&] { store.LoadFromFile(base()); });
        EXPECT_TRUE(settings.startsWith("Die Einstellungsdatei ")) << settings.toStdString();
        EXPECT_TRUE(settings.contains(QString::fromUtf8("keine gewöhnliche Datei")));
        EXPECT_EQ(store.ReadString("keep"), "1");
        // Nor is such a file replaced by a save.
        EXPECT_FALSE(errorOf([&] { store.SaveToFile(base()); }).isEmpty());
        EXPECT_FALSE(QFileInfo(path("Spurwerk.ini")).isFile());
        ASSERT_TRUE(QFile::rename(path("Spurwerk.ini"), path(kind)));
    }
}

TEST_F(FileAccess, TheCapHoldsForTheRealLengthNotTheClaimedOne) {
    // /proc files claim the size 0 and still have content.
    const QString tooLarge = QStringLiteral("zu groß");
    EXPECT_EQ(errorOf([&] {
                  fileaccess::ReadRegularFile("/proc/self/status", "Die Datei", 4, tooLarge);
              }),
              tooLarge);
    EXPECT_FALSE(
        fileaccess::ReadRegularFile("/proc/self/status", "Die Datei", 1 << 20, tooLarge).isEmpty());
    // Read past the size it claimed, whole up to the cap and not a byte beyond.
    QFile cmdline("/proc/self/cmdline");
    ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
    const QByteArray content = cmdline.readAll();
    ASSERT_FALSE(content.isEmpty());
    const std::vector<std::uint8_t> bytes = fileaccess::ReadRegularFileBytes(
        "/proc/self/cmdline", "Die Datei", content.size(), tooLarge);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())),
              content);
    EXPECT_EQ(errorOf([&] {
                  fileaccess::ReadRegularFileBytes("/proc/self/cmdline", "Die Datei",
                                                   content.size() - 1, tooLarge);
              }),
              tooLarge);
    write("four", "1234");
    EXPECT_EQ(fileaccess::ReadRegularFile(path("four"), "Die Datei", 4, tooLarge), "1234");
    EXPECT_EQ(errorOf([&] { fileaccess::ReadRegularFile(path("four"), "Die Datei", 3, tooLarge); }),
              tooLarge);
}

TEST_F(FileAccess, ABackupThatCannotBeWrittenStopsTheSaveAndChangesNothing) {
    struct Case {
        const char* name;
        bool folderInTheWay;
        bool diskFull; // the new settings fit on the disk; the old, larger file does not
    };
    for (const Case c : {Case{"a folder in the way of the backup", true, false},
                         Case{"a full disk while the backup is written", false, true}}) {
        SCOPED_TRACE(c.name);
        write("Spurwerk.ini", image(QString(400, 'o')));
        if (c.folderInTheWay)
            ASSERT_TRUE(QDir(dir.path()).mkdir("Spurwerk.~ni"));
        else
            write("Spurwerk.~ni", image("older"));
        TIniRegistry store;
        store.OpenKey("K", true);
        store.WriteString("V", "new");
        QString error;
        {
            std::optional<FileSizeLimit> limit;
            if (c.diskFull) limit.emplace(200);
            error = errorOf([&] { store.SaveToFile(base()); });
        }
        EXPECT_TRUE(error.contains("Spurwerk.~ni")) << error.toStdString();
        EXPECT_EQ(valueIn(read("Spurwerk.ini")), QString(400, 'o'));
        if (c.folderInTheWay) {
            EXPECT_TRUE(QDir(dir.path()).rmdir("Spurwerk.~ni"));
        } else {
            EXPECT_EQ(valueIn(read("Spurwerk.~ni")), "older");
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
                  c.folderInTheWay ? QStringList{"Spurwerk.ini"}
                                   : (QStringList{"Spurwerk.ini", "Spurwerk.~ni"}));
        QFile::remove(path("Spurwerk.~ni"));
    }
}

TEST_F(FileAccess, ASaveKilledAtAnyMomentLeavesTheSettingsAndABackup) {
    write("Spurwerk.ini", image("start"));
    write("Spurwerk.~ni", image("before start"));
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TIniRegistry store;
            store.OpenKey("K", true);
            for (int n = 0;; ++n) {
                store.WriteString("V", QString::number(n) + QString(n % 300, 'x'));
                try {
                    store.SaveToFile(base());
                } catch (...) {
                    ::_exit(3);
                }
            }
        }
        ::usleep(useconds_t(std::uniform_int_distribution<int>(200, 3000)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child failed on its own";
        SCOPED_TRACE(round);
        EXPECT_NE(valueIn(read("Spurwerk.ini")), "<invalid>");
        EXPECT_NE(valueIn(read("Spurwerk.~ni")), "<invalid>");
    }
}

TEST_F(FileAccess, AFolderWithoutWriteRightStillSavesAWritableFileInPlace) {
    const QString locked = path("locked");
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    write("locked/A.DIG", "old");
    write("locked/Spurwerk.ini", image("old"));
    write("locked/Spurwerk.~ni", image("older"));
    for (const char* file : {"locked/A.DIG", "locked/Spurwerk.ini", "locked/Spurwerk.~ni"})
        ASSERT_EQ(::chmod(QFile::encodeName(path(file)).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0555), 0);

    QString recordingError;
    QString newFileError;
    QString settingsError;
    {
        const OtherUser nobody;
        if (!nobody.Switched()) GTEST_SKIP() << "needs root to act as another user";
        recordingError = errorOf([&] {
            recording::WriteRecordingFile(path("locked/A.DIG"), {0x01, 0x02, 0x03});
        });
        newFileError =
            errorOf([&] { recording::WriteRecordingFile(path("locked/B.DIG"), {0x01}); });
        TIniRegistry store;
        store.OpenKey("K", true);
        store.WriteString("V", "new");
        settingsError = errorOf([&] { store.SaveToFile(locked + "/Spurwerk"); });
    }
    EXPECT_TRUE(recordingError.isEmpty()) << recordingError.toStdString();
    EXPECT_EQ(read("locked/A.DIG"), QByteArray("\x01\x02\x03", 3));
    // Where neither a temporary file nor the file itself can be made, the
    // error says so.
    EXPECT_TRUE(newFileError.contains("B.DIG kann nicht gespeichert werden"))
        << newFileError.toStdString();
    EXPECT_TRUE(settingsError.isEmpty()) << settingsError.toStdString();
    EXPECT_EQ(valueIn(read("locked/Spurwerk.ini")), "new");
    EXPECT_EQ(valueIn(read("locked/Spurwerk.~ni")), "old");
}
