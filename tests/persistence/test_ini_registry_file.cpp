#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"
#include "persistence/EINIRegistryError.h"
#include "persistence/IniRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class IniRegistryFile : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QString base() const { return path("Spurwerk"); }

    QByteArray read(const QString& name) const { return ReadTestFile(path(name)); }
    void write(const QString& name, const QByteArray& bytes) const {
        WriteTestFile(path(name), bytes);
    }
    bool exists(const QString& name) const { return QFile::exists(path(name)); }

    static QByteArray image(const QString& value) {
        TIniRegistry store;
        store.OpenKey("K", true);
        store.WriteString("V", value);
        return store.SaveToBytes();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(IniRegistryFile, SavingTwiceKeepsTheFirstImageAsBackup) {
    TIniRegistry store;
    store.WriteString("n", "first");
    store.SaveToFile(base());
    const QByteArray first = read("Spurwerk.ini");
    EXPECT_FALSE(exists("Spurwerk.~ni"));

    store.WriteString("n", "second");
    store.SaveToFile(base() + ".ini"); // the extension given is replaced
    EXPECT_EQ(read("Spurwerk.~ni"), first);
    EXPECT_EQ(read("Spurwerk.ini"), store.SaveToBytes());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left over
}

TEST_F(IniRegistryFile, LoadReadsTheFileAndLeavesFilesAlone) {
    write("Spurwerk.ini", image("x"));
    TIniRegistry store;
    EXPECT_TRUE(store.LoadFromFile(base() + ".whatever"));
    ASSERT_TRUE(store.OpenKey("\\K", false));
    EXPECT_EQ(store.ReadString("V"), "x");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Spurwerk.ini"});
}

TEST_F(IniRegistryFile, NoFileLoadsNothing) {
    TIniRegistry store;
    store.WriteString("keep", "1");
    EXPECT_FALSE(store.LoadFromFile(base()));
    EXPECT_EQ(store.ReadString("keep"), "1");
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// A file that fails the header check is set aside; the backup takes its place.
TEST_F(IniRegistryFile, DamagedFileIsSetAsideAndTheBackupUsed) {
    struct Case {
        const char* what;
        QByteArray damaged;
    } cases[] = {
        {"wrong signature", QByteArray("iniRegistry") + image("x").mid(11)},
        {"empty file", QByteArray()},
        {"cut inside the header", image("x").left(12)},
    };
    for (const Case& c : cases) {
        for (const bool withBackup : {true, false}) {
            for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
                QFile::remove(path(f));
            write("Spurwerk.ini", c.damaged);
            write("SpurwerkDefekt.~ni", "older damage");
            if (withBackup) write("Spurwerk.~ni", image("backup"));

            TIniRegistry store;
            store.WriteString("keep", "1");
            const bool loaded = store.LoadFromFile(base());
            EXPECT_EQ(loaded, withBackup) << c.what;
            EXPECT_EQ(read("SpurwerkDefekt.~ni"), c.damaged) << c.what;
            EXPECT_FALSE(exists("Spurwerk.~ni")) << c.what;
            if (withBackup) {
                EXPECT_EQ(read("Spurwerk.ini"), image("backup")) << c.what;
                ASSERT_TRUE(store.OpenKey("\\K", false));
                EXPECT_EQ(store.ReadString("V"), "backup");
            } else {
                EXPECT_FALSE(exists("Spurwerk.ini")) << c.what;
                EXPECT_EQ(store.ReadString("keep"), "1") << c.what;
            }
        }
    }
}

TEST_F(IniRegistryFile, DamagedBackupEndsAsTheDefectFileToo) {
    write("Spurwerk.ini", "garbage");
    write("Spurwerk.~ni", "also garbage");
    TIniRegistry store;
    EXPECT_FALSE(store.LoadFromFile(base()));
    EXPECT_EQ(read("SpurwerkDefekt.~ni"), "also garbage");
    EXPECT_FALSE(exists("Spurwerk.ini"));
    EXPECT_FALSE(exists("Spurwerk.~ni"));
}

TEST_F(IniRegistryFile, TruncatedBodyIsAClearErrorAndChangesNothing) {
    const QByteArray full = image("a value long enough for the heap");
    write("Spurwerk.ini", full.left(full.size() - 5));
    TIniRegistry store;
    store.WriteString("keep", "1");
    try {
        store.LoadFromFile(base());
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_TRUE(e.Message().contains("Spurwerk.ini ist beschädigt")) << e.what();
    }
    EXPECT_EQ(store.ReadString("keep"), "1");
    EXPECT_EQ(read("Spurwerk.ini"), full.left(full.size() - 5));
}

// A file above the cap is set aside as a damaged one is, by loading and by
// saving, so that the settings can be saved again.
TEST_F(IniRegistryFile, OversizedFileIsSetAsideUnread) {
    const auto writeOversized = [this] {
        QFile f(path("Spurwerk.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(image("huge"));
        ASSERT_TRUE(f.resize(TIniRegistry::MaxFileSize + 1));
    };
    for (const bool withBackup : {true, false}) {
        for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(path(f));
        writeOversized();
        if (withBackup) write("Spurwerk.~ni", image("backup"));
        TIniRegistry store;
        EXPECT_EQ(store.LoadFromFile(base()), withBackup);
        EXPECT_EQ(QFileInfo(path("SpurwerkDefekt.~ni")).size(), TIniRegistry::MaxFileSize + 1);
        EXPECT_EQ(exists("Spurwerk.ini"), withBackup);
        EXPECT_FALSE(exists("Spurwerk.~ni"));
    }

    for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
        QFile::remove(path(f));
    writeOversized();
    write("Spurwerk.~ni", image("stale"));
    TIniRegistry store;
    store.WriteString("n", "saved");
    store.SaveToFile(base());
    EXPECT_EQ(read("Spurwerk.ini"), store.SaveToBytes());
    EXPECT_EQ(QFileInfo(path("SpurwerkDefekt.~ni")).size(), TIniRegistry::MaxFileSize + 1);
    EXPECT_FALSE(exists("Spurwerk.~ni"));
}

TEST_F(IniRegistryFile, SavingWithoutAFileStillDeletesAnOldBackup) {
    // The backup belongs to a settings file that is gone: kept, it could
    // later take the place of a damaged file.
    write("Spurwerk.~ni", image("stale"));
    TIniRegistry store;
    store.WriteString("n", "new");
    store.SaveToFile(base());
    EXPECT_EQ(read("Spurwerk.ini"), store.SaveToBytes());
    EXPECT_FALSE(exists("Spurwerk.~ni"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Spurwerk.ini"});
}

TEST_F(IniRegistryFile, FailingSaveKeepsTheOldFileAndBackup) {
    write("Spurwerk.ini", image("current"));
    write("Spurwerk.~ni", image("previous"));
    TIniRegistry store;
    store.WriteString("n", QString(200, 'n'));
    try {
        const FileSizeLimit diskFull(64);
        store.SaveToFile(base());
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_TRUE(e.Message().contains("Spurwerk.ini kann nicht gespeichert werden")) << e.what();
    }
    EXPECT_EQ(read("Spurwerk.ini"), image("current"));
    EXPECT_EQ(read("Spurwerk.~ni"), image("previous"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(IniRegistryFile, EmptyBaseNameSavesNothing) {
    TIniRegistry store;
    {
        const WorkingDirectory cwd(dir.path());
        ASSERT_TRUE(cwd.Entered());
        store.SaveToFile(".ini");
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
