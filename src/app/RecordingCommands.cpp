#include "RecordingCommands.h"

#include "BufferSink.h"
#include "LongCaptureFile.h"
#include "LongCaptureRun.h"
#include "SigrokSource.h"
#include "SourceChoice.h"
#include "SourceCommands.h"
#include "TMain1.h"
#include "acquire/Recorder.h"
#include "display/TTrazor.h"
#include "platform/Desktop.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>
#include <vector>

namespace {

QAction* MainActions::*const kPeriodItems[] = {
    &MainActions::CPU769s1, &MainActions::N1ms1,   &MainActions::N10ms1,
    &MainActions::N20ms1,   &MainActions::N100ms1, &MainActions::N05s1,
    &MainActions::N10sek1,  &MainActions::N50sek1, &MainActions::N10sek2};

// The progress bar costs microseconds per update; it moves when this much time
// of samples has passed, so that it moves for the slow board as for the fast port.
constexpr std::int64_t kProgressEveryNs = 50'000'000;

} // namespace

// What a recording driven in slices holds until it ends.
struct RecordingCommands::SteppedRecording {
    std::unique_ptr<acquire::SampleSource> source;
    BufferSink sink;
    CommandStates fileCommands;
    Progress progress;
};

RecordingCommands::RecordingCommands(TMain1& main)
    : QObject(&main), main_(main),
      driver_([&main](const std::function<void()>& slice) { main.RunGuarded(slice); }) {}

RecordingCommands::~RecordingCommands() = default;

void RecordingCommands::RequestStop() {
    stopRequested_ = running_;
    if (stopRequested_) driver_.Stop();
}

void RecordingCommands::Connect() {
    main_.OnAction(main_.Actions().MenuRecord_Signal, [this] { ButtonRecord_SignalClick(); });
    main_.OnAction(main_.Actions().MenuRecord_5_Sek, [this] { MenuRecord_5_SekClick(); });
    main_.OnAction(main_.Actions().MenuRecord_10_Sek, [this] { MenuRecord_10_SekClick(); });
    main_.OnAction(main_.Actions().MenuRecord_SignalClear,
                   [this] { MenuRecord_SignalClearClick(); });
    main_.OnAction(main_.Actions().MenuRecord_ToFile, [this] { RecordToFileClick(); });
    for (int i = 0; i < 9; ++i)
        main_.OnAction(main_.Actions().*kPeriodItems[i], [this, i] { SamplePeriodClick(i); });
    connect(main_.Ui().ButtonRecord_Signal, &QToolButton::clicked, this,
            [this] { main_.RunGuarded([this] { ButtonRecord_SignalClick(); }); });
}

void RecordingCommands::ButtonRecord_SignalClick() {
    if (running_) return; // see RecordSignal
    RecordSignal();
}

std::int64_t RecordingCommands::NominalPeriodNs() const {
    if (periodOverrideNs_ > 0) return periodOverrideNs_;
    return MakeSampleSource(main_)->NominalPeriodNs();
}

bool RecordingCommands::RecordSignal() {
    // The record item stays reachable while a recording runs; a second one
    // would write the same buffer and outlive the first one's stop.
    if (running_) return false;
    // A recording replaces the whole buffer.
    if (!main_.ConfirmDiscardRecording()) return false;
    TTrazor& t = main_.Trazor1();
    MainState& s = main_.State();
    Desktop& d = main_.desktop();
    // A long capture shown from its file gives way to the buffer.
    t.ShowLongCapture(nullptr);
    longCapture_.reset();
    CommandStates fileCommands = beginRun();
    // The source or its rate may have changed since the length was set, or a
    // file of another length may have replaced the buffer: only now, when the
    // buffer is replaced anyway, does it get the checked length of its source,
    // in a buffer of exactly that many cells. A shorter one would drop the
    // samples beyond its end, and a longer file's length could keep a slow
    // source busy for hours.
    const bool five = main_.Actions().MenuRecord_5_Sek->isChecked();
    if (t.Buffer().Cells() != t.Option().CellsSize() ||
        t.Option().CellsSize() > RecordLengthCells(false) ||
        RecordLengthCells(five) != appliedLength_) {
        ApplyRecordLength();
        if (t.Buffer().Cells() != t.Option().CellsSize()) t.ResizeBuffer(t.Option().CellsSize());
    }
    s.SampleIndex = 0;
    if (main_.Actions().MenuRecord_10_Sek->isChecked())
        main_.SetDigiStatus(4, QStringLiteral("10 Sek. Aufzeichnung"), false);
    if (main_.Actions().MenuRecord_5_Sek->isChecked())
        main_.SetDigiStatus(4, QStringLiteral("5 Sek. Aufzeichnung"), false);

    main_.Ui().ProgressBar1->setMaximum(t.Option().CellsSize());
    running_ = true;
    stopRequested_ = false;
    d.PumpEvents();

    std::unique_ptr<acquire::SampleSource> source = MakeSampleSource(main_);
    // The bar moves every 50 ms of samples, whatever the source's speed.
    const Progress progress{std::max<std::uint64_t>(
        1, std::uint64_t(kProgressEveryNs / std::max<std::int64_t>(1, source->NominalPeriodNs())))};
    acquire::RunRequest request;
    request.cells = std::uint64_t(t.Option().CellsSize());
    request.pacePeriodNs = periodOverrideNs_;
    ShapeRequest(main_, request);
    // Until the trigger fires the bar stands still; the info field says why.
    if (!request.trigger.Empty()) main_.SetInfo(QStringLiteral("Warte auf den Trigger ..."));
    // A device keeps its own clock: its samples are taken from the event
    // loop as they arrive. The port and the board are paced here, sample by sample.
    if (ChosenSourceKind(s) == SourceKind::SigrokDevice) {
        startStepped(std::move(source), request, std::move(fileCommands), progress);
        return true;
    }
    const bool port = ChosenSourceKind(s) == SourceKind::ParallelPort;
    BufferSink sink(t, request.cells);
    std::atomic<bool> stop{false};
    Progress shown = progress;
    acquire::RunControl control;
    control.stop = &stop;
    control.progress = [&](std::uint64_t cells) {
        showProgress(cells, shown);
        d.PumpEvents();
        if (stopRequested_) stop = true;
    };
    const acquire::Recording result =
        acquire::Recorder(*source).Record(acquire::RunKind::Recording, request, sink, control, [&] {
            if (port) main_.Source().ReadPinChecks();
        });
    if (port) main_.Source().ReadPinChecks();
    conclude(result, fileCommands);
    return true;
}

void RecordingCommands::showProgress(std::uint64_t cells, Progress& progress) {
    main_.State().SampleIndex = int(cells);
    if (cells >= progress.shownAt + progress.step) {
        progress.shownAt = cells;
        main_.Ui().ProgressBar1->setValue(int(cells));
    }
    main_.Trazor1().Pyramid();
}

void RecordingCommands::startStepped(std::unique_ptr<acquire::SampleSource> source,
                                     const acquire::RunRequest& request, CommandStates fileCommands,
                                     const Progress& progress) {
    TTrazor& t = main_.Trazor1();
    stepped_ = std::make_unique<SteppedRecording>(SteppedRecording{
        std::move(source), BufferSink(t, request.cells), std::move(fileCommands), progress});
    std::unique_ptr<acquire::SteppedRun> run;
    try {
        run = acquire::Recorder(*stepped_->source).Start(request);
    } catch (...) {
        // Nothing runs: the window must not stay in its recording state.
        const std::unique_ptr<SteppedRecording> failed = std::move(stepped_);
        running_ = false;
        stopRequested_ = false;
        endRun(failed->fileCommands);
        throw;
    }
    SteppedDriver::Hooks hooks;
    hooks.slice = [this](std::uint64_t cells) { showProgress(cells, stepped_->progress); };
    hooks.ended = [this](acquire::SteppedRun& ended, std::exception_ptr error) {
        const std::unique_ptr<SteppedRecording> done = std::move(stepped_);
        conclude(acquire::Recorder(*done->source).Conclude(ended, done->sink), done->fileCommands);
        if (error) std::rethrow_exception(error);
    };
    driver_.Start(std::move(run), stepped_->sink, std::move(hooks));
    // A stop may have come while the window showed the start.
    if (stopRequested_) driver_.Stop();
}

void RecordingCommands::conclude(const acquire::Recording& result,
                                 const CommandStates& fileCommands) {
    TTrazor& t = main_.Trazor1();
    MainState& s = main_.State();
    Desktop& d = main_.desktop();
    running_ = false;
    stopRequested_ = false;
    s.SampleIndex = int(result.cells);
    lastTiming_ = result.timing;
    t.SetTimeBase(result.timeBase, result.triggerCell
                                       ? std::optional<long long>(*result.triggerCell)
                                       : std::nullopt);
    const QString summary = QString::fromStdString(result.summary);
    if (!result.error.empty())
        d.MessageBox({QStringLiteral("sigrok-Gerät"), QString::fromStdString(result.error),
                      Desktop::Icon::Warning, Desktop::Ok});
    // The message of the start stays; what was measured has a field of its own.
    main_.SetInfo(result.stopped ? QStringLiteral("Abgebrochen: ") + summary : summary);

    if (s.SampleIndex > 0) main_.SetUnsavedRecording(true);
    endRun(fileCommands);
    t.Redraw();
    t.DrawSignals();
    main_.EnableFileItems();
    main_.Ui().ProgressBar1->setValue(0);
    main_.RecordingEnded();
    emit Ended();
}

CommandStates RecordingCommands::beginRun() {
    QAction* play = main_.Actions().MenuPlay_Scan;
    main_.SetAllMainMenu(false);
    play->setChecked(false);
    play->setEnabled(false);
    main_.Actions().Abtastrate1->setEnabled(false);
    main_.SetAllButtons(false);
    // The stop button (and Escape) end a recording early.
    main_.Ui().ButtonStop_Scan->setEnabled(true);
    // Nothing may load, clear, resize or replace the buffer under the loop.
    main_.SetRecordMenuEntry(false);
    return SwitchOffBufferCommands();
}

void RecordingCommands::endRun(const CommandStates& fileCommands) {
    RestoreCommands(fileCommands);
    main_.desktop().Beep();
    main_.SetAllMainMenu(true);
    main_.SetRecordMenuEntry(true);
    main_.SetAllButtons(true);
    main_.SetAllMenuEntry(true);
    main_.Actions().MenuPlay_Scan->setChecked(false);
    main_.desktop().PumpEvents();
}

CommandStates RecordingCommands::SwitchOffBufferCommands() {
    // Every command of "&Datei" acts on the buffer, except setting up the
    // printer and quitting (which ends the recording first).
    const MainActions& items = main_.Actions();
    std::vector<QAction*> commands;
    for (QAction* a : items.Datei1->menu()->actions())
        if (!a->isSeparator() && a != items.E1 && a != items.Druckeneinrichten1)
            commands.push_back(a);
    return SwitchOffCommands(commands);
}

void RecordingCommands::MenuRecord_5_SekClick() {
    ChooseRecordLength(true);
}

void RecordingCommands::MenuRecord_10_SekClick() {
    ChooseRecordLength(false);
}

int RecordingCommands::RecordLengthCells(bool fiveSeconds) const {
    return int(MakeSampleSource(main_)->RecordLengthCells(fiveSeconds));
}

void RecordingCommands::CheckRecordLength(bool fiveSeconds) {
    main_.Actions().MenuRecord_5_Sek->setChecked(fiveSeconds);
    main_.Actions().MenuRecord_10_Sek->setChecked(!fiveSeconds);
}

void RecordingCommands::ChooseRecordLength(bool fiveSeconds) {
    // The menu's lengths take over from a length of the capture set-up.
    const CaptureSetup setUp = main_.Sigrok().Setup();
    main_.Sigrok().UseMenuLength();
    const int cells = RecordLengthCells(fiveSeconds);
    // Another length empties the buffer; "Nein" keeps the length and the recording.
    if (cells != main_.Trazor1().Option().CellsSize() && !main_.ConfirmDiscardRecording()) {
        // The click toggled only its own item; the other still shows whether
        // it was the checked one.
        QAction* five = main_.Actions().MenuRecord_5_Sek;
        QAction* ten = main_.Actions().MenuRecord_10_Sek;
        if (fiveSeconds)
            five->setChecked(!ten->isChecked());
        else
            ten->setChecked(!five->isChecked());
        if (!(setUp == main_.Sigrok().Setup())) main_.Sigrok().TakeSetup(setUp);
        return;
    }
    CheckRecordLength(fiveSeconds);
    SetRecordLength(cells);
}

void RecordingCommands::SetRecordLength(int cells) {
    appliedLength_ = cells;
    auto& opt = main_.Trazor1().Option();
    // Another length empties the buffer: nothing is left unsaved then.
    if (opt.CellsSize() != cells) main_.SetUnsavedRecording(false);
    opt.SetCellsSize(cells);
}

void RecordingCommands::ApplyRecordLength() {
    const bool five = main_.Actions().MenuRecord_5_Sek->isChecked();
    CheckRecordLength(five);
    SetRecordLength(RecordLengthCells(five));
}

void RecordingCommands::MenuRecord_SignalClearClick() {
    if (!main_.ConfirmDiscardRecording()) return;
    main_.ClearSampleBuffer();
    main_.SetDigiStatus(4, QStringLiteral("Daten sind jetzt gelöscht!"), true);
    main_.desktop().Beep();
    main_.desktop().PumpEvents();
}

void RecordingCommands::ClearSampleRateChecks() {
    for (QAction* MainActions::*item : kPeriodItems)
        (main_.Actions().*item)->setChecked(false);
}

void RecordingCommands::SamplePeriodClick(int item) {
    struct Period {
        int missCount; // -1: unchanged
        int interval;
        const char* unit; // nullptr: unchanged
        int scale;
    };
    static const Period periods[] = {
        {-1, 1, nullptr, 0}, {100, 10, "1 ms", 1},     {50, 10, "10 ms", 10},
        {50, 20, "ms", 10},  {25, 100, "100 ms", 100}, {12, 500, "500 ms", 500},
        {7, 1000, " s", 1},  {-1, 5000, " s", 1},      {-1, 10000, " s", 1},
    };
    if (item < 0 || item > 8) return;
    const Period& p = periods[item];
    MainState& s = main_.State();
    if (p.missCount >= 0) s.SyncMissCount = std::int16_t(p.missCount);
    ClearSampleRateChecks();
    (main_.Actions().*kPeriodItems[item])->setChecked(true);
    QTimer* timer = main_.Ui().SimultanTimer1;
    if (item == 1) timer->setInterval(1);
    if (p.unit) {
        auto& opt = main_.Trazor1().Option();
        opt.SetTimefactor(10); // a device may have set a factor for its own period
        opt.SetTimeUnit(QString::fromUtf8(p.unit));
        opt.SetTimeScale(p.scale);
        // The new axis comes with the waveforms, not with an empty frame.
        main_.Trazor1().DrawSignals();
    }
    timer->setInterval(p.interval);
}
