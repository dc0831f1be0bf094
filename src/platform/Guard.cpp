#include "platform/Guard.h"

#include "platform/GuardedApplication.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <exception>

namespace guard {

namespace {

void report(Desktop* desktop, const QString& message) noexcept {
    try {
        if (auto* app = dynamic_cast<GuardedApplication*>(QCoreApplication::instance())) {
            app->ReportError(desktop, message);
            return;
        }
        ShowGeneralError(desktop, message);
    } catch (...) {
        // Showing the error failed too: standard error is the last place left.
        std::fprintf(stderr, "Spurwerk: %s\n", message.toLocal8Bit().constData());
    }
}

} // namespace

void Run(Desktop* desktop, const std::function<void()>& logic) noexcept {
    try {
        logic();
    } catch (const std::exception& e) {
        report(desktop, QString::fromUtf8(e.what()));
    } catch (...) {
        report(desktop, QStringLiteral("Unbekannter Fehler"));
    }
}

} // namespace guard
