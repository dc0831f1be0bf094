#pragma once

#include "CommandSwitch.h"
#include "SteppedDriver.h"
#include "acquire/SampleSource.h"

#include <atomic>
#include <exception>
#include <memory>

#include <QObject>

class TMain1;

// Live mode: a timer takes bursts of 80 samples into the first cells and
// redraws, optionally waiting for a trigger condition.
class LiveCommands : public QObject {
    Q_OBJECT
  public:
    explicit LiveCommands(TMain1& main);
    ~LiveCommands() override;
    void Connect();

    void Hauptsimultan();
    void Hauptsimultanstop();
    // "Simultanstop" (button and menu item): ends a running timed recording,
    // or stops live mode; outside live mode it asks before emptying an unsaved
    // recording.
    void StopClick();
    void SimultanTimer1Timer();
    void Synchronisieren1Click();

    // Whether a tick is running at the moment: a port's or board's burst
    // pumps events, a device's acquisition runs on from the event loop.
    bool TickRunning() const { return tickRunning_; }
    // Ends a running tick soon without showing its burst (the window closes).
    void StopTick();
    // Ends a device's tick here and now, showing nothing: for a window that
    // goes while the device context still exists.
    void AbandonTick();

  signals:
    // A device's tick has ended (shown its burst, or not after a stop).
    void TickEnded();

  private:
    struct SigrokBurst;
    // A tick of the sigrok source: a short acquisition, searched for the
    // trigger once it has ended.
    void SigrokTick();
    void sigrokTickEnded(acquire::SteppedRun& run, std::exception_ptr error);
    void showSigrokBurst(const SigrokBurst& burst, const acquire::RunResult& result);

    // How a burst is followed: events pumped, a stop from them ends it.
    acquire::RunControl PumpingControl();

    TMain1& main_;
    std::atomic<bool> stop_{false};
    bool tickRunning_ = false;
    // The commands that load or replace the buffer, off while live mode runs.
    CommandStates loadCommands_;
    // A device's tick while its acquisition runs; the driver goes first.
    std::unique_ptr<SigrokBurst> burst_;
    SteppedDriver driver_;
};
