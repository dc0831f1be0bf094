#include "TestFiles.h"
#include "hardware/K8055Library.h"
#include "support/InstallLayout.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using k8055::ChooseLibrary;
using k8055::LibraryChoice;

// An installed tree in a scratch folder: the program's folder, and the library
// folder the program looks in relative to it.
class LibraryChoiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        programDir = root.filePath(QStringLiteral("usr/bin"));
        installed = install::LibraryDirectory(programDir);
        ASSERT_TRUE(QDir().mkpath(programDir));
        ASSERT_TRUE(QDir().mkpath(installed));
        ASSERT_TRUE(installed.startsWith(root.path())) << installed.toStdString();
    }
    void Put(const QString& dir, const QString& name) {
        WriteTestFile(QDir(dir).filePath(name), QByteArray("\x7f"
                                                           "ELF"));
    }

    QTemporaryDir root;
    QString programDir;
    QString installed;
};

TEST_F(LibraryChoiceTest, TheOwnLibraryComesFromBesideTheProgramFirstThenTheInstalledFolder) {
    // Neither place has it: the loader is pointed beside the program, so its
    // message names the library the program ships.
    EXPECT_EQ(ChooseLibrary(false, QString(), programDir),
              (LibraryChoice{QStringLiteral("libspurwerk_k8055.so"), programDir}));
    Put(installed, k8055::OwnLibraryName());
    Put(installed, k8055::SimulatedLibraryName());
    EXPECT_EQ(ChooseLibrary(false, QString(), programDir),
              (LibraryChoice{k8055::OwnLibraryName(), installed}));
    EXPECT_EQ(ChooseLibrary(true, QString(), programDir),
              (LibraryChoice{k8055::SimulatedLibraryName(), installed}));
    Put(programDir, k8055::OwnLibraryName());
    EXPECT_EQ(ChooseLibrary(false, QString(), programDir),
              (LibraryChoice{k8055::OwnLibraryName(), programDir}));
}

TEST_F(LibraryChoiceTest, AChosenLibraryGoesThroughTheUsualSearchExceptWhenSimulating) {
    Put(installed, k8055::OwnLibraryName());
    EXPECT_EQ(ChooseLibrary(false, QStringLiteral("libk8055.so.0"), programDir),
              (LibraryChoice{QStringLiteral("libk8055.so.0"), QString()}));
    EXPECT_EQ(ChooseLibrary(true, QStringLiteral("libk8055.so.0"), programDir).name,
              k8055::SimulatedLibraryName());
}

TEST(InstallLayout, InstalledFoldersLieBelowThePrefixOfTheProgramsFolder) {
    const QString bin = QStringLiteral("/opt/scratch/usr/bin");
    EXPECT_TRUE(install::LibraryDirectory(bin).startsWith(QStringLiteral("/opt/scratch/usr/lib")));
    EXPECT_TRUE(install::LibraryDirectory(bin).endsWith(QStringLiteral("/spurwerk")));
    EXPECT_EQ(install::DataDirectory(bin), QStringLiteral("/opt/scratch/usr/share/spurwerk"));
}

// The two programs find each other both ways: the window's program in the
// build tree beside the program a user starts, installed in the library folder.
TEST_F(LibraryChoiceTest, TheWindowsProgramAndTheStartedProgramFindEachOther) {
    const QString window = QString::fromLatin1(install::WindowProgramName);
    const QString front = QString::fromLatin1(install::FrontProgramName);
    // Installed: bin/spurwerk and lib/.../spurwerk/spurwerk-window.
    Put(programDir, front);
    Put(installed, window);
    EXPECT_EQ(install::WindowProgram(programDir), QDir(installed).filePath(window));
    EXPECT_EQ(install::ProgramDirectoryOfWindow(installed), programDir);
    // Build tree: both in one folder.
    Put(programDir, window);
    EXPECT_EQ(install::WindowProgram(programDir), QDir(programDir).filePath(window));
    EXPECT_EQ(install::ProgramDirectoryOfWindow(programDir), programDir);
}
