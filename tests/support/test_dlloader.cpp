#include "ScriptedDesktop.h"
#include "support/TDLLoader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

const QString LibraryName = QStringLiteral("libspurwerk_k8055sim.so");
const QString BuiltLibrary = QStringLiteral(SPURWERK_BINARY_DIR "/libspurwerk_k8055sim.so");

// The file a looked-up function was loaded from.
QString LoadedFrom(void* function) {
    Dl_info info{};
    if (!function || !dladdr(function, &info) || !info.dli_fname) return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalFilePath();
}

class DLLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        ASSERT_TRUE(QFile::exists(BuiltLibrary));
        previous = QDir::currentPath();
        QDir::setCurrent(work.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }
    QString CopyLibraryTo(const QString& dir) {
        QDir().mkpath(dir);
        const QString target = dir + QStringLiteral("/") + LibraryName;
        QFile::copy(BuiltLibrary, target);
        return QFileInfo(target).canonicalFilePath();
    }

    ScriptedDesktop desktop;
    QTemporaryDir work;
    QString previous;
};

} // namespace

TEST_F(DLLoaderTest, LoadsFromThePresetProgramDirectoryAndLooksUpNames) {
    TDLLoader loader(desktop, LibraryName);
    loader.FileUtils().SetPath_CurrProgram(QStringLiteral(SPURWERK_BINARY_DIR));
    loader.SetActivate_DLL(true);
    ASSERT_TRUE(loader.Activate_DLL());
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_NE(loader.GetProc(QStringLiteral("OpenDevice")), nullptr);
    EXPECT_NE(loader.GetProc(QStringLiteral("SetCounterDebounceTime")), nullptr);
    EXPECT_EQ(loader.GetProc(QStringLiteral("NoSuchFunction")), nullptr);
    EXPECT_EQ(loader.GetProc(QString(1024, QLatin1Char('O'))), nullptr);

    // The current value again does nothing: still one load, no message.
    void* handle = loader.FileUtils().FileHandle();
    loader.SetActivate_DLL(true);
    EXPECT_EQ(loader.FileUtils().FileHandle(), handle);

    loader.SetActivate_DLL(false);
    EXPECT_FALSE(loader.Activate_DLL());
    EXPECT_EQ(loader.FileUtils().FileHandle(), nullptr);
    EXPECT_EQ(loader.GetProc(QStringLiteral("OpenDevice")), nullptr);
}

TEST_F(DLLoaderTest, CurrentDirectoryCopyWinsOverTheProgramSystemCopy) {
    const QString inCurrent = CopyLibraryTo(work.path());
    const QString inSystem = CopyLibraryTo(work.path() + QStringLiteral("/system"));
    {
        TDLLoader loader(desktop, LibraryName);
        loader.SetActivate_DLL(true);
        ASSERT_TRUE(loader.Activate_DLL());
        EXPECT_EQ(LoadedFrom(loader.GetProc(QStringLiteral("OpenDevice"))), inCurrent);
    }
    // A library stays loaded under its path, so the other case needs other paths.
    QTemporaryDir other;
    QDir::setCurrent(other.path());
    const QString onlyInSystem = CopyLibraryTo(other.path() + QStringLiteral("/system"));
    TDLLoader loader(desktop, LibraryName);
    loader.SetActivate_DLL(true);
    ASSERT_TRUE(loader.Activate_DLL());
    EXPECT_EQ(LoadedFrom(loader.GetProc(QStringLiteral("OpenDevice"))), onlyInSystem);
    EXPECT_NE(onlyInSystem, inSystem);
}

TEST_F(DLLoaderTest, MissingLibraryShowsUnableToLoad) {
    TDLLoader loader(desktop, QStringLiteral("libspurwerk_absent.so"));
    loader.SetActivate_DLL(true);
    EXPECT_FALSE(loader.Activate_DLL());
    const auto shown = desktop.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("DLL - Error"));
    EXPECT_EQ(shown[0].text, QStringLiteral("Unable to load libspurwerk_absent.so !"));
    EXPECT_EQ(shown[0].icon, Desktop::Icon::Error);
    EXPECT_EQ(loader.GetProc(QStringLiteral("OpenDevice")), nullptr);
}

TEST_F(DLLoaderTest, SearchReportsOnlyAMissingFileAndFallsBack) {
    TDLLoader loader(desktop, LibraryName);
    loader.SetSearch_DLL(true);
    EXPECT_FALSE(loader.Search_DLL());
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].caption, QStringLiteral("error"));
    EXPECT_EQ(desktop.messages()[0].text,
              QStringLiteral("Unable to find libspurwerk_k8055sim.so !"));

    CopyLibraryTo(work.path());
    desktop.clear();
    loader.SetSearch_DLL(true);
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_FALSE(loader.Activate_DLL());
}
