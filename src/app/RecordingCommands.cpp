#include "RecordingCommands.h"

#include "hardware/PortPreparation.h"
#include "hardware/PortSample.h"
#include "SigrokSource.h"
#include "SourceCommands.h"
#include "TMain1.h"
#include "ViewCommands.h"
#include "display/TTrazor.h"
#include "platform/Desktop.h"
#include "sampling/PacedRecording.h"
#include "sampling/TimeFormat.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <utility>
#include <vector>

namespace {

const char* const kPeriodItems[] = {"CPU769s1", "N1ms1",   "N10ms1",  "N20ms1", "N100ms1",
                                    "N05s1",    "N10sek1", "N50sek1", "N10sek2"};

// Nominal sample periods: 1,048,576 port cells last the 10.5 s that "10 Sek."
// promises, and the board's 10 ms wait becomes its deadline.
constexpr std::int64_t kPortPeriodNs = 10'000;
constexpr std::int64_t kBoardPeriodNs = 10'000'000;
// The progress bar costs microseconds per update; it moves when this much time
// has passed, so that it moves for the slow board as for the fast port.
constexpr std::int64_t kProgressEveryNs = 50'000'000;

} // namespace

RecordingCommands::RecordingCommands(TMain1& main) : QObject(&main), main_(main) {}

void RecordingCommands::Connect() {
    main_.OnAction(QStringLiteral("MenuRecord_Signal"), [this] { ButtonRecord_SignalClick(); });
    main_.OnAction(QStringLiteral("MenuRecord_5_Sek"), [this] { MenuRecord_5_SekClick(); });
    main_.OnAction(QStringLiteral("MenuRecord_10_Sek"), [this] { MenuRecord_10_SekClick(); });
    main_.OnAction(QStringLiteral("MenuRecord_SignalClear"),
                   [this] { MenuRecord_SignalClearClick(); });
    for (int i = 0; i < 9; ++i)
        main_.OnAction(QString::fromLatin1(kPeriodItems[i]), [this, i] { SamplePeriodClick(i); });
    connect(main_.Ui().ButtonRecord_Signal, &QToolButton::clicked, this,
            [this] { main_.RunGuarded([this] { ButtonRecord_SignalClick(); }); });
}

void RecordingCommands::ButtonRecord_SignalClick() {
    if (running_) return; // see RecordSignal
    if (!RecordSignal()) return;
    for (const char* name :
         {"Speichern1", "Speichernunter1", "Schliessen1", "Druckeneinrichten1", "Drucken1"})
        main_.Action(QString::fromLatin1(name))->setEnabled(true);
    main_.Ui().ProgressBar1->setValue(0);
}

std::int64_t RecordingCommands::NominalPeriodNs() const {
    if (periodOverrideNs_ > 0) return periodOverrideNs_;
    return main_.State().InputSource == 1 ? kBoardPeriodNs : kPortPeriodNs;
}

sampling::MonotonicClock& RecordingCommands::clock() const {
    return main_.SampleClock();
}

bool RecordingCommands::RecordSignal() {
    // The record item stays reachable from the pumped events; a second loop
    // inside the first would write the same buffer and outlive its stop.
    if (running_) return false;
    // A recording replaces the whole buffer.
    if (!main_.ConfirmDiscardRecording()) return false;
    TTrazor& t = main_.Trazor1();
    MainState& s = main_.State();
    Desktop& d = main_.desktop();
    QAction* play = main_.Action(QStringLiteral("MenuPlay_Scan"));
    QProgressBar* progress = main_.Ui().ProgressBar1;

    main_.SetAllMainMenu(false);
    play->setChecked(false);
    play->setEnabled(false);
    main_.Action(QStringLiteral("Abtastrate1"))->setEnabled(false);
    main_.SetAllButtons(false);
    // The stop button (and Escape) end a recording early.
    main_.Ui().ButtonStop_Scan->setEnabled(true);
    // Nothing may load, clear, resize or replace the buffer under the loop.
    main_.SetRecordMenuEntry(false);
    const CommandStates fileCommands = SwitchOffBufferCommands();

    // The source or its rate may have changed since the length was set, or a
    // file of another length may have replaced the buffer: only now, when the
    // buffer is replaced anyway, does it get the checked length of its source,
    // in a buffer of exactly that many cells. A shorter one would drop the
    // samples beyond its end, and a longer file's length could keep a slow
    // source busy for hours.
    const bool five = main_.Action(QStringLiteral("MenuRecord_5_Sek"))->isChecked();
    if (t.Buffer().Cells() != t.Option().CellsSize() ||
        t.Option().CellsSize() > RecordLengthCells(false) ||
        RecordLengthCells(five) != appliedLength_) {
        ApplyRecordLength();
        if (t.Buffer().Cells() != t.Option().CellsSize()) t.ResizeBuffer(t.Option().CellsSize());
    }
    s.SampleIndex = 0;
    if (main_.Action(QStringLiteral("MenuRecord_10_Sek"))->isChecked())
        main_.SetDigiStatus(4, QStringLiteral("10 Sek. Aufzeichnung"), false);
    if (main_.Action(QStringLiteral("MenuRecord_5_Sek"))->isChecked())
        main_.SetDigiStatus(4, QStringLiteral("5 Sek. Aufzeichnung"), false);

    progress->setMaximum(t.Option().CellsSize());
    running_ = true;
    stopRequested_ = false;
    d.PumpEvents();

    bool stopped = false;
    QString summary;
    if (s.InputSource == 2) {
        // The device keeps its own clock; this thread only takes its blocks.
        const SigrokSource::Result result = main_.Sigrok().Record(stopRequested_, progress);
        running_ = false;
        stopRequested_ = false;
        stopped = result.stopped;
        s.SampleIndex = result.cells;
        for (int i = s.SampleIndex; i < t.Option().CellsSize(); ++i) {
            t.SetCellLow(i, 0);
            t.SetCellHigh(i, 0);
        }
        lastTiming_.reset();
        summary = QStringLiteral("%1 Werte, %2")
                      .arg(result.cells)
                      .arg(QString::fromStdString(sampling::DescribeTimeBase(t.GetTimeBase())));
        if (!result.error.empty())
            d.MessageBox({QStringLiteral("sigrok-Gerät"), QString::fromStdString(result.error),
                          Desktop::Icon::Warning, Desktop::Ok});
    } else {
        const LptMode mode = main_.Source().CurrentLptMode();
        if (s.InputSource == 0) {
            portprep::RecordingStart(main_.PortIO1(), s.PortBase, mode);
            main_.Source().ReadPinChecks();
        }
        d.Sleep(500);

        const std::int64_t period = NominalPeriodNs();
        const auto wallStart = std::chrono::system_clock::now();
        std::int64_t lastProgress = 0;
        Sample sample;
        // The size is read afresh for every sample: a record-length command run
        // from the pumped events may resize the buffer under the loop.
        const sampling::PacedRun run = sampling::RecordPaced(
            clock(), period,
            [&](std::int64_t i) { return i < t.Option().CellsSize() && !stopRequested_; },
            [&] {
                ReadSample(sample, s.InputSource, s.PortBase, main_.PortIO1(), main_.PortUSB1());
                return sample;
            },
            [&](std::int64_t i, const Sample& taken) {
                t.SetCellLow(int(i), taken.low);
                t.SetCellHigh(int(i), std::uint8_t(taken.high >> 4));
                s.SampleIndex = int(i + 1);
            },
            [&](std::int64_t, std::int64_t now) {
                // The bar moves every 50 ms, whatever the source's speed.
                if (now - lastProgress >= kProgressEveryNs) {
                    lastProgress = now;
                    progress->setValue(s.SampleIndex);
                }
                d.PumpEvents();
            });
        running_ = false;
        stopped = stopRequested_;
        stopRequested_ = false;

        if (s.InputSource == 0) {
            portprep::RunEnd(main_.PortIO1(), s.PortBase, mode);
            main_.Source().ReadPinChecks();
        }
        // Cells after an early stop would still hold the previous recording.
        for (int i = s.SampleIndex; i < t.Option().CellsSize(); ++i) {
            t.SetCellLow(i, 0);
            t.SetCellHigh(i, 0);
        }
        lastTiming_ = run.timing;
        sampling::TimeBase timeBase = lastTiming_->ToTimeBase();
        timeBase.start = wallStart;
        t.SetTimeBase(timeBase);
        summary = QString::fromStdString(lastTiming_->Summary());
    }
    // The message of the start stays; what was measured has a field of its own.
    main_.SetInfo(stopped ? QStringLiteral("Abgebrochen: ") + summary : summary);

    if (s.SampleIndex > 0) main_.SetUnsavedRecording(true);
    RestoreCommands(fileCommands);

    d.Beep();
    main_.SetAllMainMenu(true);
    main_.SetRecordMenuEntry(true);
    main_.SetAllButtons(true);
    main_.SetAllMenuEntry(true);
    play->setChecked(false);
    d.PumpEvents();
    t.Redraw();
    t.DrawSignals();
    main_.RecordingEnded();
    return true;
}

CommandStates RecordingCommands::SwitchOffBufferCommands() {
    // Every command of "&Datei" acts on the buffer, except setting up the
    // printer and quitting (which ends the recording first).
    std::vector<QAction*> commands;
    if (const auto* menu = main_.findChild<QMenu*>(QStringLiteral("Datei1Menu")))
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a->objectName() != QLatin1String("E1") &&
                a->objectName() != QLatin1String("Druckeneinrichten1"))
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
    if (main_.State().InputSource == 2) return main_.Sigrok().RecordLengthCells(fiveSeconds);
    const bool board = main_.State().InputSource == 1;
    if (fiveSeconds) return board ? 8192 : 0x80000;
    return board ? 0x4000 : 0x100000;
}

void RecordingCommands::CheckRecordLength(bool fiveSeconds) {
    main_.Action(QStringLiteral("MenuRecord_5_Sek"))->setChecked(fiveSeconds);
    main_.Action(QStringLiteral("MenuRecord_10_Sek"))->setChecked(!fiveSeconds);
}

void RecordingCommands::ChooseRecordLength(bool fiveSeconds) {
    const int cells = RecordLengthCells(fiveSeconds);
    // Another length empties the buffer; "Nein" keeps the length and the recording.
    if (cells != main_.Trazor1().Option().CellsSize() && !main_.ConfirmDiscardRecording()) {
        // The click toggled only its own item; the other still shows whether
        // it was the checked one.
        QAction* five = main_.Action(QStringLiteral("MenuRecord_5_Sek"));
        QAction* ten = main_.Action(QStringLiteral("MenuRecord_10_Sek"));
        if (fiveSeconds)
            five->setChecked(!ten->isChecked());
        else
            ten->setChecked(!five->isChecked());
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
    const bool five = main_.Action(QStringLiteral("MenuRecord_5_Sek"))->isChecked();
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
    for (const char* name : kPeriodItems)
        main_.Action(QString::fromLatin1(name))->setChecked(false);
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
    main_.Action(QString::fromLatin1(kPeriodItems[item]))->setChecked(true);
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
