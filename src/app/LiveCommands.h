#pragma once

#include "CommandSwitch.h"
#include "acquire/SampleSource.h"

#include <atomic>

#include <QObject>

class TMain1;

// Live mode: a timer takes bursts of 80 samples into the first cells and
// redraws, optionally waiting for a trigger condition.
class LiveCommands : public QObject {
    Q_OBJECT
  public:
    explicit LiveCommands(TMain1& main);
    void Connect();

    void Hauptsimultan();
    void Hauptsimultanstop();
    // "Simultanstop" (button and menu item): ends a running timed recording,
    // or stops live mode; outside live mode it asks before emptying an unsaved
    // recording.
    void StopClick();
    void SimultanTimer1Timer();
    void Synchronisieren1Click();

    // Whether a tick is running at the moment (it pumps events in its burst).
    bool TickRunning() const { return tickRunning_; }

  private:
    // A tick of the sigrok source: a short acquisition, searched for the trigger.
    void SigrokTick();

    // How a burst is followed: events pumped, a stop from them ends it.
    acquire::RunControl PumpingControl();

    TMain1& main_;
    std::atomic<bool> stop_{false};
    bool tickRunning_ = false;
    // The commands that load or replace the buffer, off while live mode runs.
    CommandStates loadCommands_;
};
