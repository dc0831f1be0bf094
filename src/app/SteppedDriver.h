#pragma once

#include "acquire/SampleSource.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

// Drives a stepped run from the window's event loop: a timer takes what has
// arrived into the sink every few milliseconds, so the window neither waits
// for the device nor pumps events in a loop of its own while a run lasts.
// One run at a time.
class SteppedDriver : public QObject {
    Q_OBJECT
  public:
    // Each tick runs through this (the window's exception guard).
    using Guard = std::function<void(const std::function<void()>&)>;
    struct Hooks {
        // After a tick that stored cells, with the cells stored so far.
        std::function<void(std::uint64_t cells)> slice;
        // Once the run has ended and all it took is in the sink, or a step
        // threw (`error` holds what; the run was asked to stop and what was
        // in the sink stays). The run is still there for its result and goes
        // when this returns; the driver is free for the next run meanwhile.
        std::function<void(acquire::SteppedRun& run, std::exception_ptr error)> ended;
    };

    explicit SteppedDriver(Guard guard, QObject* parent = nullptr);
    // A run still going is abandoned (see Abandon).
    ~SteppedDriver() override;

    // Takes over `run`, which fills `sink` from now on; the sink must live
    // until the end is reported.
    void Start(std::unique_ptr<acquire::SteppedRun> run, acquire::SampleSink& sink, Hooks hooks);
    bool Running() const { return run_ != nullptr; }
    // Asks the run to end soon, keeping what arrived; its end is reported
    // from a tick as usual.
    void Stop();
    // Ends the run here and now, for an owner that goes: nothing more reaches
    // the sink and no hook runs.
    void Abandon();

  private:
    void tick();
    void end(std::exception_ptr error);

    Guard guard_;
    QTimer timer_;
    std::unique_ptr<acquire::SteppedRun> run_;
    acquire::SampleSink* sink_ = nullptr;
    Hooks hooks_;
};
