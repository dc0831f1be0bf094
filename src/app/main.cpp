#include "platform/GuardedApplication.h"
#include "platform/QtDesktop.h"

#include <QMainWindow>

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Spurwerk"));
    QtDesktop desktop;
    app.SetErrorDesktop(&desktop);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Spurwerk Version 1.0.40.36"));
    w.show();
    return app.exec();
}
