#pragma once

#include "search/TriggerSettings.h"

#include <QString>
#include <cstdint>

// The main window's own variables, shared by its command groups. Start values
// are the ones the window has right after it is created.
struct MainState {
    // 0 parallel port, 1 K8055 board, 2 sigrok device; SourceChoice reads it.
    std::uint8_t InputSource = 0;
    std::int32_t PortBase = 0x378;
    std::int32_t Lpt1Base = 0x378;
    std::int32_t Lpt2Base = 0x278;
    QString CurrentFileName = QStringLiteral("NONAME.DIG");
    std::int32_t SyncActive = 0;
    std::uint8_t BitTriggerArmed = 0;
    TriggerSettings Trigger; // written by the search dialog's set-up mode
    std::int16_t SyncMissCount = 0;
    std::int32_t SampleIndex = 0;
    std::int32_t SavedCopyMode = 0;
    std::int32_t SavedTimeStep = 0;
    std::int32_t HintAnchorPos = 0;

    int InputProgrammed = 0;
    int StopRequested = 0;
    int LiveRunning = 0;
    int BlinkPhase = 0;

    // The buffer holds a recording made (or imported) since it was last saved,
    // loaded from its file, or emptied: discarding it asks first.
    bool UnsavedRecording = false;
};
