#include "platform/GuardedApplication.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test program runs headless: gtest discovery and ctest may start it
// without a display, and a Qt GUI program without a platform aborts.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program writes its own configuration into the user's configuration
    // folder: tests write into a folder of their own, never into the real one.
    QTemporaryDir configHome;
    if (configHome.isValid()) qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Spurwerk"));
    return RUN_ALL_TESTS();
}
