#include "platform/GuardedApplication.h"

#include "platform/Desktop.h"

#include <cstdio>
#include <exception>

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowGeneralError(errorDesktop_, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowGeneralError(errorDesktop_, QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}

void ShowGeneralError(Desktop* desktop, const QString& message) {
    if (desktop) {
        desktop->MessageBox(
            {QStringLiteral("Spurwerk"), message, Desktop::Icon::Error, Desktop::Ok});
    } else {
        std::fprintf(stderr, "Spurwerk: %s\n", message.toLocal8Bit().constData());
    }
}
