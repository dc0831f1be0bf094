#pragma once

#include "CommandSwitch.h"
#include "acquire/Recorder.h"

#include <QString>
#include <chrono>
#include <memory>

// What a long capture holds from its start until its file is in place.
struct LongCaptureRun {
    std::unique_ptr<acquire::SampleSource> source;
    CommandStates fileCommands;
    QString path;
    // When the diagram last followed the capture.
    std::chrono::steady_clock::time_point shown = std::chrono::steady_clock::now();
    // How the run ended, once it has.
    acquire::Recording result;
};
