#include "support/TovFileUtils.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// Runs in a fresh temporary current directory with its own system-wide
// settings folder, and restores both afterwards.
class FileUtilsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        ASSERT_TRUE(settingsRoot.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(work.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, settingsRoot.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }

    void SetUtilitiesDirectory(const QString& dir) {
        QSettings s(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("Orvandt"),
                    QStringLiteral("System"));
        s.setValue(QStringLiteral("UtilitiesDirectory"), dir);
        s.sync();
    }

    QTemporaryDir work;
    QTemporaryDir settingsRoot;
    QString previous;
};

} // namespace

TEST_F(FileUtilsTest, DirectoriesOfEachKind) {
    const QString cwd = QDir::currentPath();
    EXPECT_EQ(TovFileUtils::GetDirectory(0), QStringLiteral("/usr/local/lib"));
    EXPECT_TRUE(TovFileUtils::GetDirectory(1).startsWith(QStringLiteral("/usr/lib")));
    EXPECT_TRUE(QFileInfo(TovFileUtils::GetDirectory(1)).isDir());
    EXPECT_EQ(TovFileUtils::GetDirectory(2), cwd + QStringLiteral("/system"));
    EXPECT_EQ(TovFileUtils::GetDirectory(3), cwd);
    EXPECT_EQ(TovFileUtils::GetDirectory(4), QString());
    EXPECT_EQ(TovFileUtils::GetDirectory(5), QString());
    EXPECT_EQ(TovFileUtils::GetDirectory(-1), QString());
}

TEST_F(FileUtilsTest, UtilitiesDirectoryComesFromTheSystemSettingsAndIsCut) {
    SetUtilitiesDirectory(QStringLiteral("/opt/orvandt/utilities"));
    EXPECT_EQ(TovFileUtils::GetDirectory(4), QStringLiteral("/opt/orvandt/utilities"));
    const QString longPath = QStringLiteral("/") + QString(600, QLatin1Char('u'));
    SetUtilitiesDirectory(longPath);
    EXPECT_EQ(TovFileUtils::GetDirectory(4), longPath.left(512));
}

TEST_F(FileUtilsTest, FindFileTriesCurrentThenSystemThenUtilities) {
    QTemporaryDir utilities;
    SetUtilitiesDirectory(utilities.path());
    const QString name = QStringLiteral("spurwerk-findfile-probe.bin");
    EXPECT_FALSE(TovFileUtils::FindFile(name));

    Touch(utilities.filePath(name));
    EXPECT_EQ(TovFileUtils::FindFile(name), utilities.filePath(name));
    Touch(QDir::current().filePath(QStringLiteral("system/") + name));
    EXPECT_EQ(TovFileUtils::FindFile(name),
              QDir::currentPath() + QStringLiteral("/system/") + name);
    Touch(QDir::current().filePath(name));
    EXPECT_EQ(TovFileUtils::FindFile(name), QDir::currentPath() + QStringLiteral("/") + name);
}

TEST_F(FileUtilsTest, EmptyUtilitiesDirectoryIsSkippedNotTakenAsRoot) {
    SetUtilitiesDirectory(QString());
    // "/etc/hostname" would be found if the empty directory were joined as "".
    EXPECT_FALSE(TovFileUtils::FindFile(QStringLiteral("etc/hostname")));
}

TEST_F(FileUtilsTest, PathsAreKeptAfterTheFirstReadAndPresetsWin) {
    TovFileUtils utils;
    const QString first = utils.Path_CurrProgram();
    EXPECT_EQ(first, QDir::currentPath());
    QDir::setCurrent(QDir::tempPath());
    EXPECT_EQ(utils.Path_CurrProgram(), first);
    EXPECT_EQ(utils.Path_CurrPrgSystem(), QDir::currentPath() + QStringLiteral("/system"));

    utils.SetPath_CurrProgram(QStringLiteral("/opt/spurwerk"));
    utils.SetPath_CurrPrgSystem(QStringLiteral("/opt/spurwerk/system"));
    EXPECT_EQ(utils.Path_CurrProgram(), QStringLiteral("/opt/spurwerk"));
    EXPECT_EQ(utils.Path_CurrPrgSystem(), QStringLiteral("/opt/spurwerk/system"));
    EXPECT_EQ(utils.Path_CurrWindows(), QStringLiteral("/usr/local/lib"));
}

TEST(FileUtilsJoin, OneSeparatorBetweenDirectoryAndName) {
    struct Case {
        const char* directory;
        const char* name;
        const char* joined;
    } cases[] = {
        {"/usr/local/lib", "libk8055.so.0", "/usr/local/lib/libk8055.so.0"},
        {"/usr/local/lib/", "libk8055.so.0", "/usr/local/lib/libk8055.so.0"},
        {"/", "x", "/x"},
        {"/usr/local/lib", "/opt/lib/libk8055.so.0", "/opt/lib/libk8055.so.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            TovFileUtils::JoinPath(QString::fromLatin1(c.directory), QString::fromLatin1(c.name)),
            QString::fromLatin1(c.joined));
}
