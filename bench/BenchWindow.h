#pragma once

#include "BenchDesktop.h"
#include "app/RecordingCommands.h"
#include "app/TMain1.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>

// Peak resident memory of the process so far, in MiB (VmHWM).
inline double PeakMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

// The program's own main window on the simulated hardware, shown, with a
// desktop that prints its boxes: what the window benchmarks drive.
class BenchWindow {
  public:
    BenchWindow() : window_(desktop_, Options()) {
        window_.show();
        QCoreApplication::processEvents();
    }
    TMain1& Window() { return window_; }
    // Starts a timed recording and runs the event loop until it has ended,
    // as the program does while a device records.
    void Record() {
        QEventLoop loop;
        QObject::connect(&window_.Recording(), &RecordingCommands::Ended, &loop, &QEventLoop::quit);
        window_.Actions().MenuRecord_Signal->trigger();
        if (window_.Recording().Running()) loop.exec();
    }

  private:
    static StartOptions Options() {
        StartOptions options;
        options.simulate = true;
        options.programDir = QCoreApplication::applicationDirPath();
        return options;
    }

    BenchDesktop desktop_{/*echoMessages=*/true};
    TMain1 window_;
};
