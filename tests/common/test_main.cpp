#include "platform/GuardedApplication.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The screens the headless platform shows: a common desktop of 1280 x 1024
// (where windows open) and, right of it, the smallest screen the program is
// made for, 1024 x 768, for tests that place windows there.
constexpr char kScreens[] = R"({"screens": [
  {"name": "Gross", "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
  {"name": "Klein", "x": 1280, "y": 0, "width": 1024, "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}
]})";

} // namespace

// Every test program runs headless: gtest discovery and ctest may start it
// without a display, and a Qt GUI program without a platform aborts.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir platformDir;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && platformDir.isValid()) {
        const QString config = platformDir.filePath(QStringLiteral("screens.json"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly) &&
            file.write(kScreens) == qint64(sizeof kScreens - 1)) {
            file.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
        }
    }
    // The program writes its own configuration into the user's configuration
    // folder: tests write into a folder of their own, never into the real one.
    QTemporaryDir configHome;
    if (configHome.isValid()) qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Spurwerk"));
    return RUN_ALL_TESTS();
}
