#pragma once

#include "StallMeter.h"
#include "app/DecodeCommands.h"
#include "app/TMain1.h"
#include "decodeview/AnnotationTableModel.h"
#include "decodeview/DecodeWindow.h"
#include "sigrok/decode/DecodeSetup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <string>

// Applies a decoder set-up in the window as the dialog's OK does and lets the
// window's own timer do the rest, until the annotations are shown (or
// `timeoutMs` passes) and listed. Answers the milliseconds until shown; `stall` measures
// the GUI thread meanwhile, counted from the set-up.
inline qint64 DecodeInWindow(TMain1& window, const std::string& setup, qint64 timeoutMs,
                             StallMeter& stall) {
    QTimer::singleShot(0, [&] {
        window.Decode().ApplySetup({sigrokdecode::ParseStack(setup)});
        stall.Restart();
    });
    QElapsedTimer wall;
    wall.start();
    QCoreApplication::processEvents();
    // Until the list beside the diagram reaches them all.
    const auto listed = [&window] {
        const DecodeWindow* list = window.Decode().Window();
        return list && list->ListModel().Total() == window.Decode().Annotations().Count();
    };
    while ((window.Decode().Running() || window.Decode().Annotations().Count() == 0 || !listed()) &&
           wall.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    // One more poll interval so that showing the result is inside the measurement.
    const qint64 until = wall.elapsed() + 150;
    while (wall.elapsed() < until)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return wall.elapsed();
}
