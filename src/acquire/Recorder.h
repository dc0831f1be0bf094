#pragma once

#include "acquire/SampleSource.h"

#include <functional>
#include <memory>
#include <string>

namespace acquire {

// A finished run with what the user is told about it.
struct Recording : RunResult {
    // "524288 Werte in 5,24 s, 10,00 µs je Wert" for a paced source; the
    // count and the time base for a device.
    std::string summary;
};

// Runs a source into a sink the same way for the window's timed recordings,
// its live bursts and the command line: prepares the source (a burst of live
// mode does not, live mode prepared once), runs it, sets it back, ends the
// sink at the last cell taken and sums the run up.
class Recorder {
  public:
    explicit Recorder(SampleSource& source) : source_(source) {}

    // `prepared` runs after the source is prepared and before it is read (the
    // window shows the port's control pins then).
    Recording Record(RunKind kind, const RunRequest& request, SampleSink& sink,
                     const RunControl& control, const std::function<void()>& prepared = {});

    // A run in slices, for a caller that drives it from its own timer: Start
    // prepares the source for a recording (a live burst's source is prepared
    // already) and starts the run (null, the source set back, when the source
    // runs only through Record); once the run's Step() has answered false,
    // Conclude sets the source back after a recording, ends the sink and sums
    // the run up as Record does.
    std::unique_ptr<SteppedRun> Start(const RunRequest& request, RunKind kind = RunKind::Recording);
    Recording Conclude(SteppedRun& run, SampleSink& sink, RunKind kind = RunKind::Recording);

  private:
    SampleSource& source_;
};

} // namespace acquire
