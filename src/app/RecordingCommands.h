#pragma once

#include "sampling/RunTiming.h"

#include "CommandSwitch.h"
#include "SteppedDriver.h"

#include <QObject>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace acquire {
class SampleSource;
struct Recording;
struct RunRequest;
} // namespace acquire
class LongCaptureFile;
struct LongCaptureRun;
class QAction;
class QString;
class TMain1;

// The timed recording, the record lengths, the sample periods and clearing.
class RecordingCommands : public QObject {
    Q_OBJECT
  public:
    explicit RecordingCommands(TMain1& main);
    ~RecordingCommands() override;
    void Connect();

    void ButtonRecord_SignalClick();
    // Takes one sample per nominal period of the source (10 us for the
    // parallel port, 10 ms for the board) against absolute deadlines, until
    // the buffer is full or a stop is requested; the samples taken are kept.
    // A sigrok device keeps its own clock: its recording starts here and runs
    // on from the event loop, and Ended() says when it is over (the port's
    // and the board's is over on return).
    // False when nothing was started: one is running, or the user kept an
    // unsaved recording ("Nein").
    bool RecordSignal();
    // Records from the sigrok device into a session file while the capture
    // runs, until it is stopped or the disk keeps only a reserve; the diagram
    // shows the capture from the file, zoomed out to all of it.
    void RecordToFileClick();
    // The same into `path`, `cells` samples at most. The capture runs on from
    // the event loop and Ended() says when its file is in place (the info
    // field says whether it was written). False when nothing was started.
    bool RecordToFile(const QString& path, std::uint64_t cells);
    // True, after saying why, while the diagram shows a long capture from its
    // file: `command` ("Suchen") needs the samples in memory.
    bool RefusedForLongCapture(const QString& command);
    void MenuRecord_5_SekClick();
    void MenuRecord_10_SekClick();
    // Gives the buffer the current source's length for the checked item.
    void ApplyRecordLength();
    void MenuRecord_SignalClearClick();
    // Sample-period items: 0 CPU769s1, 1 N1ms1, 2 N10ms1, 3 N20ms1, 4 N100ms1,
    // 5 N05s1, 6 N10sek1, 7 N50sek1, 8 N10sek2.
    void SamplePeriodClick(int item);
    void ClearSampleRateChecks();

    // A timed recording is running.
    bool Running() const { return running_; }
    // Ends a running recording after the sample being taken; nothing otherwise.
    void RequestStop();
    // The timing of the last recording, if there was one.
    const std::optional<sampling::RunTiming>& LastTiming() const { return lastTiming_; }
    // The nominal period of the current source, in nanoseconds.
    std::int64_t NominalPeriodNs() const;
    // Paces recordings with another period (benchmarks measure the loop's own
    // cost with a period it can never keep); 0 returns to the source's own.
    void SetPeriodOverrideNs(std::int64_t ns) { periodOverrideNs_ = ns; }

  signals:
    // A recording that ran on from the event loop (a device's timed recording
    // or a long capture) has ended and the window shows it.
    void Ended();
    // A long capture has ended and its file is being made durable; Ended()
    // follows once it is in place or has failed.
    void FileSaving();

  private:
    // The long capture's steps: the diagram follows it, its end closes the
    // file, a thread of its own puts the file in place, and then the window
    // shows how it went.
    void followLongCapture();
    void longRunEnded(acquire::SteppedRun& run, std::exception_ptr error);
    void pollLongCommit();
    void schedulePollLongCommit();
    void finishLongRun(const QString& failure, bool written);
    struct SteppedRecording;
    // The progress bar moves every `step` cells.
    struct Progress {
        std::uint64_t step = 1;
        std::uint64_t shownAt = 0;
    };
    void showProgress(std::uint64_t cells, Progress& progress);
    // Starts a recording the driver takes on from the event loop.
    void startStepped(std::unique_ptr<acquire::SampleSource> source,
                      const acquire::RunRequest& request, CommandStates fileCommands,
                      const Progress& progress);
    // Shows how a recording ended and gives the window back.
    void conclude(const acquire::Recording& result, const CommandStates& fileCommands);
    // The cells of " 5 Sek." or "10 Sek." for the current source.
    int RecordLengthCells(bool fiveSeconds) const;
    void CheckRecordLength(bool fiveSeconds);
    void ChooseRecordLength(bool fiveSeconds);
    void SetRecordLength(int cells);
    // Switches off the file commands for the run; answers what they were.
    CommandStates SwitchOffBufferCommands();
    // Switches the menus and buttons off for a run and back on after it.
    CommandStates beginRun();
    void endRun(const CommandStates& fileCommands);

    TMain1& main_;
    // The capture longer than the buffer that the diagram shows from its file.
    std::unique_ptr<LongCaptureFile> longCapture_;
    bool running_ = false;
    bool stopRequested_ = false;
    std::int64_t periodOverrideNs_ = 0;
    std::optional<sampling::RunTiming> lastTiming_;
    // The length the record-length commands (or the start, 10 s of the
    // port) gave the buffer last.
    int appliedLength_ = 0x100000;
    // A long capture from its start until its file is in place.
    std::unique_ptr<LongCaptureRun> longRun_;
    // A device's recording while it runs.
    std::unique_ptr<SteppedRecording> stepped_;
    // Last: it goes first, ending a run before what the run fills.
    SteppedDriver driver_;
};
