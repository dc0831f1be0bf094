#pragma once

#include "sampling/RunTiming.h"
#include "sampling/TimeBase.h"
#include "sampling/Trigger.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace acquire {

// Where a run's samples go: the window's buffer, a vector, later a file.
// Words carry line n in bit n.
class SampleSink {
  public:
    virtual ~SampleSink() = default;
    // Stores words[0..count) as cells first, first + 1, ...; answers how many
    // it kept (fewer once it is full).
    virtual std::size_t Write(std::uint64_t first, const std::uint16_t* words,
                              std::size_t count) = 0;
    // The run ended with `cells` cells: nothing from there on belongs to it
    // (a buffer of fixed length zeroes the rest, a growing one drops it).
    virtual void EndAt(std::uint64_t cells) = 0;
};

// Recording from a source that may end a run of its own, and live bursts:
// the source prepares differently for each.
enum class RunKind { Recording, Live };

// What a run is asked for. Further wishes join here, so that no caller has
// to change.
struct RunRequest {
    std::uint64_t cells = 0;
    // A source the program paces keeps this period instead of its own (a
    // benchmark measures the loop's own cost with one it can never keep); 0:
    // its own.
    std::int64_t pacePeriodNs = 0;
    // The lines to record (bit n: line n); the others stay low. A sigrok
    // device switches them off; the port and the board always read all theirs.
    std::uint16_t lines = 0xFFFF;
    // Empty: the run takes its cells from the start. Otherwise the cells begin
    // `preTriggerPercent` of them before the point where the trigger fired;
    // only a sigrok device takes a trigger.
    sampling::Trigger trigger{};
    int preTriggerPercent = 0;
};

// How the caller follows and ends a run.
struct RunControl {
    // Set from anywhere (a stop button, Ctrl+C): the run ends after the sample
    // or block at hand, keeping what it took.
    const std::atomic<bool>* stop = nullptr;
    // Runs on the recording thread between samples or blocks, at least every
    // millisecond or so while samples arrive, with the cells stored so far (all
    // of them are in the sink by then). The caller pumps events, moves a
    // progress bar or prints a line from here; it may set `stop`.
    std::function<void(std::uint64_t cells)> progress;

    bool Stopped() const { return stop && stop->load(std::memory_order_relaxed); }
};

// How a run ended. The cells taken stay in the sink in every case.
struct RunResult {
    std::uint64_t cells = 0;
    bool stopped = false; // the stop request ended it early
    int lines = 0;        // lines the source delivers (D00 up)
    // The source's own names of those lines ("D0"), where it has them.
    std::vector<std::string> names;
    sampling::TimeBase timeBase = sampling::TimeBase::Nominal();
    std::optional<sampling::RunTiming> timing; // sources paced by the program
    std::string error;                         // German; empty when the source delivered all
    // The cell where the trigger fired; nullopt without a trigger.
    std::optional<std::uint64_t> triggerCell;
    // A trigger was asked for and never fired: the run kept nothing.
    bool triggerMissed = false;
};

// A run its caller drives in slices from its own timer, for a source whose
// samples arrive on a thread of their own: the caller never blocks and never
// pumps events while waiting for them.
class SteppedRun {
  public:
    virtual ~SteppedRun() = default;
    // Moves what has arrived into the sink, at most one round of samples,
    // without waiting; answers false once the run has ended and all it took
    // is in the sink.
    virtual bool Step(SampleSink& sink) = 0;
    // Waits until samples (or the end) are there for a step, or the timeout
    // has passed: for a caller with nothing else to do meanwhile.
    virtual void WaitReady(std::chrono::milliseconds timeout) = 0;
    // Ends the run soon; what arrived stays. Any thread.
    virtual void Stop() = 0;
    // The cells stored so far.
    virtual std::uint64_t Cells() const = 0;
    // Once Step() has answered false: how the run ended.
    virtual RunResult Result() = 0;
};

// One source of samples: the parallel port, a K8055 board, a sigrok device.
class SampleSource {
  public:
    virtual ~SampleSource() = default;
    // For messages: "LPT1", "USB1", the device's title.
    virtual std::string Name() const = 0;
    // Lines a sample carries (12 from the port, 5 from the board).
    virtual int Lines() const = 0;
    // The time between two samples, in nanoseconds; 0 when only the device knows.
    virtual std::int64_t NominalPeriodNs() const = 0;
    // The cells of " 5 Sek." or "10 Sek." from this source.
    virtual std::uint64_t RecordLengthCells(bool fiveSeconds) const = 0;
    // The most cells one run may take.
    virtual std::uint64_t MaxCells() const = 0;
    // Sets the source up before a run of this kind (and lets it settle), and
    // back afterwards. Live mode prepares once for all of its bursts.
    virtual void Prepare(RunKind) {}
    virtual void Finish(RunKind) {}
    // Takes up to request.cells samples into the sink.
    virtual RunResult Run(const RunRequest& request, SampleSink& sink,
                          const RunControl& control) = 0;
    // Starts a run to be driven in slices (see SteppedRun); null for a source
    // the program paces itself, which runs only through Run().
    virtual std::unique_ptr<SteppedRun> Start(const RunRequest&) { return nullptr; }
};

} // namespace acquire
