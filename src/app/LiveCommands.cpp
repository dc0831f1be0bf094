#include "LiveCommands.h"

#include "BufferSink.h"
#include "RecordingCommands.h"
#include "SigrokSource.h"
#include "SourceChoice.h"
#include "SourceCommands.h"
#include "TMain1.h"
#include "ViewCommands.h"
#include "acquire/Recorder.h"
#include "acquire/VectorSink.h"
#include "display/TTrazor.h"
#include "hardware/PortSample.h"
#include "platform/Desktop.h"
#include "search/LiveTrigger.h"

#include <QAction>
#include <QString>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace {
constexpr int kBurst = 80;
constexpr int kMissesBeforeTimeout = 80;

// How many samples a sigrok tick searches for the trigger before its burst:
// a twentieth of a second at the device's rate, at least a burst's worth and
// at most 64 Ki, so that a tick neither takes long at slow rates nor holds
// much memory at fast ones.
std::uint64_t SigrokSearchSamples(std::uint64_t rateHz) {
    return std::clamp<std::uint64_t>(rateHz / 20, kBurst, 65'536);
}
} // namespace

// What a device's tick holds while its acquisition runs.
struct LiveCommands::SigrokBurst {
    std::unique_ptr<acquire::SampleSource> source;
    // Samples searched for the trigger before the burst (0: no search).
    std::uint64_t search = 0;
    std::vector<std::uint16_t> words;
    acquire::VectorSink sink{words};
};

LiveCommands::LiveCommands(TMain1& main)
    : QObject(&main), main_(main),
      driver_([&main](const std::function<void()>& slice) { main.RunGuarded(slice); }) {}

LiveCommands::~LiveCommands() = default;

void LiveCommands::AbandonTick() {
    driver_.Abandon();
    burst_.reset();
    tickRunning_ = false;
}

void LiveCommands::StopTick() {
    if (!tickRunning_) return;
    main_.State().StopRequested = 1;
    driver_.Stop();
}

acquire::RunControl LiveCommands::PumpingControl() {
    // A stop from the pumped events ends the burst: on the board it lasts 0.8 s.
    stop_ = false;
    acquire::RunControl control;
    control.stop = &stop_;
    control.progress = [this](std::uint64_t) {
        main_.desktop().PumpEvents();
        if (main_.State().StopRequested == 1) stop_ = true;
    };
    return control;
}

void LiveCommands::Connect() {
    main_.OnAction(main_.Actions().MenuPlay_Scan, [this] { Hauptsimultan(); });
    main_.OnAction(main_.Actions().MenuStop_Scan, [this] { StopClick(); });
    main_.OnAction(main_.Actions().Synchronisieren1, [this] { Synchronisieren1Click(); });
    const MainUi& ui = main_.Ui();
    connect(ui.ButtonPlay_Scan, &QToolButton::clicked, this,
            [this] { main_.RunGuarded([this] { Hauptsimultan(); }); });
    connect(ui.ButtonStop_Scan, &QToolButton::clicked, this,
            [this] { main_.RunGuarded([this] { StopClick(); }); });
    connect(ui.SimultanTimer1, &QTimer::timeout, this,
            [this] { main_.RunGuarded([this] { SimultanTimer1Timer(); }); });
}

void LiveCommands::StopClick() {
    // During a timed recording "Simultanstop" ends the recording: stopping
    // live mode would switch the menus on and zero the cells under the loop.
    if (main_.Recording().Running()) {
        main_.Recording().RequestStop();
        return;
    }
    // Outside live mode the stop only empties the buffer.
    if (main_.State().LiveRunning == 0 && !main_.ConfirmDiscardRecording()) return;
    Hauptsimultanstop();
}

void LiveCommands::Hauptsimultan() {
    QTimer* timer = main_.Ui().SimultanTimer1;
    QAction* play = main_.Actions().MenuPlay_Scan;
    if (timer->isActive()) {
        // The menu item toggles its own check mark; live mode is still on.
        play->setChecked(true);
        return;
    }
    // The bursts overwrite the first cells and the stop empties the buffer.
    if (!main_.ConfirmDiscardRecording()) {
        play->setChecked(false);
        return;
    }
    main_.SetUnsavedRecording(false);
    TTrazor& t = main_.Trazor1();
    MainState& s = main_.State();
    auto& opt = t.Option();
    s.SavedCopyMode = opt.CopyMode();
    if (s.SavedCopyMode != 9) opt.SetCopyMode(0);
    s.SavedTimeStep = opt.TimeStep();
    opt.SetTimeStep(9);
    if (!t.Idle()) return;
    // A stop that found no tick to end has nothing left to stop.
    s.StopRequested = 0;
    s.LiveRunning = 1;
    main_.SetDigiStatus(4, QStringLiteral("Trazor im Simultanbetrieb"), false);
    main_.SetAllMainMenu(false);
    main_.SetRecordMenuEntry(false);
    main_.SetAllButtons(false);
    main_.Ui().ButtonStop_Scan->setEnabled(true);
    main_.SetAllMenuEntry(false);
    // The bursts write the buffer: nothing may load or replace it meanwhile,
    // as during a timed recording (the stop empties it anyway).
    loadCommands_ = SwitchOffCommands(
        {main_.Actions().NeueAufzeichnung1, main_.Actions().ffnen1, main_.Actions().Importieren1});
    main_.Actions().MenuPlay_Scan->setChecked(true);
    MakeSampleSource(main_)->Prepare(acquire::RunKind::Live);
    if (ChosenSourceKind(s) == SourceKind::ParallelPort) main_.Source().ReadPinChecks();
    main_.desktop().PumpEvents();
    timer->start();
}

void LiveCommands::SimultanTimer1Timer() {
    QTimer* timer = main_.Ui().SimultanTimer1;
    MainState& s = main_.State();
    Desktop& d = main_.desktop();
    timer->stop();
    if (s.StopRequested == 1) {
        s.StopRequested = 0;
        return;
    }
    if (ChosenSourceKind(s) == SourceKind::SigrokDevice) {
        SigrokTick();
        return;
    }
    tickRunning_ = true;
    bool trigger = false;
    bool timeout = false;
    Sample sample;
    if (s.SyncActive == 1) {
        ReadSample(sample, s.InputSource, s.PortBase, main_.PortIO1(), main_.PortUSB1());
        const TriggerSettings& trig = s.Trigger;
        switch (trig.SyncKind) {
        case 0:
            if (s.BitTriggerArmed == 1 && ((sample.low & trig.SyncBitMask) != 0 ||
                                           ((sample.high >> 4) & trig.SyncBitMask) != 0))
                trigger = true;
            break;
        case 3:
            if (sample.low == trig.SyncByte) {
                trigger = true;
            } else {
                ++s.SyncMissCount;
                // A preset above the limit (100 for the 1 ms period) must time
                // out too, not only after the counter wraps round.
                if (s.SyncMissCount >= kMissesBeforeTimeout) {
                    s.SyncMissCount = 0;
                    timeout = true;
                    d.Beep();
                }
            }
            break;
        default:
            break;
        }
    }
    if (s.SyncActive == 0 || trigger || timeout) {
        TTrazor& t = main_.Trazor1();
        // The burst keeps the source's pace too, so its cells are as far apart
        // as a recording's and the time base tells their real distance.
        const std::unique_ptr<acquire::SampleSource> source = MakeSampleSource(main_);
        BufferSink sink(t, kBurst);
        const acquire::Recording burst = acquire::Recorder(*source).Record(
            acquire::RunKind::Live, {kBurst}, sink, PumpingControl());
        t.SetTimeBase(burst.timeBase);
        d.PumpEvents();
        t.Redraw();
        t.DrawSignals();
    }
    tickRunning_ = false;
    if (s.StopRequested == 1) {
        s.StopRequested = 0;
    } else {
        timer->start();
    }
}

void LiveCommands::SigrokTick() {
    // The tick before still runs (live mode was stopped and started again
    // meanwhile): its end starts the timer again.
    if (tickRunning_) return;
    const MainState& s = main_.State();
    auto burst = std::make_unique<SigrokBurst>();
    burst->source = MakeSampleSource(main_);
    burst->search = s.SyncActive == 1 ? SigrokSearchSamples(main_.Sigrok().RateHz()) : 0;
    std::unique_ptr<acquire::SteppedRun> run =
        acquire::Recorder(*burst->source).Start({burst->search + kBurst}, acquire::RunKind::Live);
    burst_ = std::move(burst);
    tickRunning_ = true;
    SteppedDriver::Hooks hooks;
    hooks.ended = [this](acquire::SteppedRun& ended, std::exception_ptr error) {
        sigrokTickEnded(ended, error);
    };
    driver_.Start(std::move(run), burst_->sink, std::move(hooks));
}

void LiveCommands::sigrokTickEnded(acquire::SteppedRun& run, std::exception_ptr error) {
    const std::unique_ptr<SigrokBurst> burst = std::move(burst_);
    const acquire::Recording result =
        acquire::Recorder(*burst->source).Conclude(run, burst->sink, acquire::RunKind::Live);
    tickRunning_ = false;
    MainState& s = main_.State();
    // A stop during the tick has ended live mode and cleared the cells
    // already: nothing of the burst may appear after it.
    if (s.StopRequested == 1) {
        s.StopRequested = 0;
    } else if (error || !result.error.empty()) {
        Hauptsimultanstop();
        if (!error)
            main_.desktop().MessageBox({QStringLiteral("sigrok-Gerät"),
                                        QStringLiteral("Der Simultanbetrieb ist beendet: ") +
                                            QString::fromStdString(result.error),
                                        Desktop::Icon::Warning, Desktop::Ok});
    } else {
        showSigrokBurst(*burst, result);
        main_.Ui().SimultanTimer1->start();
    }
    emit TickEnded();
    // The guard shows what went wrong; live mode has ended.
    if (error) std::rethrow_exception(error);
}

void LiveCommands::showSigrokBurst(const SigrokBurst& burst, const acquire::RunResult& result) {
    MainState& s = main_.State();
    Desktop& d = main_.desktop();
    const std::vector<std::uint16_t>& words = burst.words;
    std::optional<std::size_t> start = std::size_t(0);
    if (burst.search > 0) {
        start =
            FindLiveTrigger(words, std::size_t(burst.search), s.Trigger, s.BitTriggerArmed == 1);
        if (!start && s.Trigger.SyncKind == 3 && ++s.SyncMissCount >= kMissesBeforeTimeout) {
            // As for the other sources: after 80 ticks without the byte the newest samples show.
            s.SyncMissCount = 0;
            d.Beep();
            start = words.size() > std::size_t(kBurst) ? words.size() - kBurst : 0;
        }
    }
    if (!start || *start >= words.size()) return;
    TTrazor& t = main_.Trazor1();
    const std::size_t end = std::min(words.size(), *start + std::size_t(kBurst));
    for (std::size_t i = *start; i < end; ++i) {
        t.SetCellLow(int(i - *start), std::uint8_t(words[i] & 0xFF));
        t.SetCellHigh(int(i - *start), std::uint8_t(words[i] >> 8));
    }
    t.SetTimeBase(result.timeBase);
    t.Redraw();
    t.DrawSignals();
}

void LiveCommands::Hauptsimultanstop() {
    QTimer* timer = main_.Ui().SimultanTimer1;
    MainState& s = main_.State();
    Desktop& d = main_.desktop();
    // Only a running tick can see the request; between ticks stopping the timer is enough.
    s.StopRequested = tickRunning_ ? 1 : 0;
    // A device's tick ends at once instead of after its whole acquisition.
    if (tickRunning_) driver_.Stop();
    if (timer->isActive()) timer->stop();
    d.PumpEvents();
    if (!timer->isActive()) {
        main_.SetDigiStatus(4, QStringLiteral("Simultanbetrieb gestoppt"), false);
        MakeSampleSource(main_)->Finish(acquire::RunKind::Live);
        if (ChosenSourceKind(s) == SourceKind::ParallelPort) main_.Source().ReadPinChecks();
        if (main_.Actions().Synchronisieren1->isChecked()) Synchronisieren1Click();
        s.LiveRunning = 0;
        RestoreCommands(loadCommands_);
        loadCommands_.clear();
        main_.SetAllMainMenu(true);
        main_.SetRecordMenuEntry(true);
        main_.Actions().MenuPlay_Scan->setChecked(false);
        main_.SetAllMenuEntry(true);
        main_.SetAllButtons(true);
        TTrazor& t = main_.Trazor1();
        t.ClearCells();
        main_.SetUnsavedRecording(false);
        t.Option().SetCopyMode(s.SavedCopyMode);
        t.Option().SetTimeStep(s.SavedTimeStep);
        // The field showed the step of before the start all along; now it holds again.
        main_.View().ShowZoomField();
    }
    d.PumpEvents();
}

void LiveCommands::Synchronisieren1Click() {
    MainState& s = main_.State();
    QAction* item = main_.Actions().Synchronisieren1;
    if (s.SyncActive == 0) {
        main_.SetDigiStatus(4, QStringLiteral("Trazor synchronisieren"), false);
        item->setChecked(true);
        s.SyncActive = 1;
    } else {
        main_.SetDigiStatus(4, QStringLiteral("Synchronisieren aus"), false);
        item->setChecked(false);
        s.SyncActive = 0;
    }
    // Every kind of source arms the bit trigger with synchronisation.
    s.BitTriggerArmed = std::uint8_t(s.SyncActive);
}
