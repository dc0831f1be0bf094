#include "platform/GuardedApplication.h"

#include "platform/Desktop.h"

#include <cstdio>
#include <exception>

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    // The last line of defence: program logic has guards of its own at every
    // entry from Qt.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportError(nullptr, QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError(nullptr, QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}

void GuardedApplication::ReportError(Desktop* desktop, const QString& message) {
    Desktop* shown = reporting_ ? nullptr : (desktop ? desktop : errorDesktop_);
    struct Reporting {
        bool& flag;
        bool before;
        ~Reporting() { flag = before; }
    } scope{reporting_, reporting_};
    reporting_ = true;
    ShowGeneralError(shown, message);
}

void ShowGeneralError(Desktop* desktop, const QString& message) {
    if (desktop) {
        desktop->MessageBox(
            {QStringLiteral("Spurwerk"), message, Desktop::Icon::Error, Desktop::Ok});
    } else {
        std::fprintf(stderr, "Spurwerk: %s\n", message.toLocal8Bit().constData());
    }
}
