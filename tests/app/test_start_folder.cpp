#include "TestFiles.h"
#include "WorkingDirectory.h"
#include "app/StartFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The menu entry's start: the folder Spurwerk in the documents is made and
// entered, so settings and NONAME.DIG land there.
namespace {

// A home folder of the test's own, with no desktop folder settings in it.
class ScratchHome {
  public:
    ScratchHome()
        : home_(qgetenv("HOME")), config_(qgetenv("XDG_CONFIG_HOME")), cwd_(QDir::currentPath()) {
        qputenv("HOME", dir.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral(".config")).toLocal8Bit());
    }
    ~ScratchHome() {
        qputenv("HOME", home_);
        if (config_.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", config_);
    }
    QTemporaryDir dir;

  private:
    QByteArray home_;
    QByteArray config_;
    WorkingDirectory cwd_;
};

} // namespace

TEST(StartFolder, TheDocumentsFolderSpurwerkIsMadeAndEntered) {
    ScratchHome home;
    const QString expected = home.dir.filePath(QStringLiteral("Documents/Spurwerk"));
    EXPECT_EQ(EnterDocumentsFolder(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(QDir::currentPath(), expected);
    // Entering again keeps what is there.
    WriteTestFile(QDir(expected).filePath(QStringLiteral("Spurwerk.ini")), "x");
    EXPECT_EQ(EnterDocumentsFolder(), expected);
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral("Spurwerk.ini")));
}

TEST(StartFolder, AFolderThatCannotBeMadeLeavesTheWorkingDirectory) {
    ScratchHome home;
    // A file where the documents folder should be.
    WriteTestFile(home.dir.filePath(QStringLiteral("Documents")), "not a folder");
    const QString before = QDir::currentPath();
    EXPECT_EQ(EnterDocumentsFolder(), QString());
    EXPECT_EQ(QDir::currentPath(), before);
}
