// Captures longer than the buffer: recorded from a sigrok device straight into
// a session file, shown in the diagram from that file. The run is driven in
// slices from the event loop, and the file is made durable on a thread of its
// own, so the window never waits for the device or the disk.
#include "LongCaptureFile.h"
#include "LongCaptureRun.h"
#include "NavigationCommands.h"
#include "RecordingCommands.h"
#include "SigrokSource.h"
#include "SourceChoice.h"
#include "TMain1.h"
#include "acquire/Recorder.h"
#include "display/TTrazor.h"
#include "persistence/RecordingData.h"
#include "platform/Desktop.h"
#include "sigrok/LogicFrames.h"

#include <QFileInfo>
#include <QProgressBar>
#include <QTimer>
#include <chrono>
#include <exception>
#include <filesystem>
#include <memory>

namespace {
const QString kCaption = QStringLiteral("Lange Aufnahme");
// Room left on the disk when a capture runs until it is stopped.
constexpr std::uint64_t kDiskReserve = std::uint64_t{1} << 30;
// The diagram follows a running capture this often.
constexpr std::chrono::milliseconds kRedrawEvery{250};
// How often the window looks whether the file is in place.
constexpr std::chrono::milliseconds kCommitPollEvery{20};

QString What(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    } catch (...) {
        return QStringLiteral("Unbekannter Fehler.");
    }
}
} // namespace

bool RecordingCommands::RefusedForLongCapture(const QString& command) {
    const trazor::LongCapture* shown = main_.Trazor1().LongCaptureShown();
    if (!shown) return false;
    main_.desktop().MessageBox(
        {kCaption,
         QStringLiteral("%1 geht nur mit einer Aufnahme im Speicher. Die lange Aufnahme steht "
                        "in %2 und wird aus der Datei gezeigt.")
             .arg(command, QString::fromStdString(shown->Path())),
         Desktop::Icon::Information, Desktop::Ok});
    return true;
}

void RecordingCommands::RecordToFileClick() {
    if (running_) return;
    Desktop& d = main_.desktop();
    if (ChosenSourceKind(main_.State()) != SourceKind::SigrokDevice ||
        !main_.Sigrok().HasDevice()) {
        d.MessageBox({kCaption,
                      QStringLiteral("Eine lange Aufnahme in eine Datei geht nur von einem "
                                     "sigrok-Gerät (Quelle „sigrok-Gerät ...“)."),
                      Desktop::Icon::Information, Desktop::Ok});
        return;
    }
    Desktop::FileDialogRequest request;
    request.title = QStringLiteral("Spurwerk - Lange Aufnahme in Datei");
    request.filter = QStringLiteral("sigrok-Sitzung (*.sr)|*.sr");
    request.defaultExt = QStringLiteral("sr");
    request.initialDir = recording::SaveDirectory();
    request.fileName = QStringLiteral("aufnahme.sr");
    request.overwritePrompt = true;
    request.pathMustExist = true;
    const std::optional<QString> path = d.SaveFileDialog(request);
    if (!path) return;
    // Until it is stopped, at most as long as the disk keeps a reserve.
    std::error_code error;
    const std::filesystem::space_info space =
        std::filesystem::space(QFileInfo(*path).absolutePath().toStdString(), error);
    const std::uint64_t cells =
        !error && space.available > kDiskReserve ? (space.available - kDiskReserve) / 2 : 0;
    if (cells < 256) {
        d.MessageBox({kCaption,
                      QStringLiteral("Auf dem Datenträger von %1 ist kein Platz für eine lange "
                                     "Aufnahme.")
                          .arg(*path),
                      Desktop::Icon::Warning, Desktop::Ok});
        return;
    }
    RecordToFile(*path, cells);
}

bool RecordingCommands::RecordToFile(const QString& path, std::uint64_t cells) {
    if (running_ || !main_.ConfirmDiscardRecording()) return false;
    TTrazor& t = main_.Trazor1();
    Desktop& d = main_.desktop();
    auto run = std::make_unique<LongCaptureRun>();
    run->source = MakeSampleSource(main_);
    run->path = path;
    std::unique_ptr<LongCaptureFile> capture;
    try {
        // Made before the device runs: a folder that cannot take the file is
        // named before anything is recorded. Its time axis counts at the
        // device's rate while it runs, not at the nominal period of a buffer
        // without a recording.
        capture = std::make_unique<LongCaptureFile>(
            path.toStdString(), run->source->Lines(),
            sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(main_.Sigrok().RateHz())));
    } catch (const std::exception& e) {
        d.MessageBox(
            {kCaption, QString::fromStdString(e.what()), Desktop::Icon::Error, Desktop::Ok});
        return false;
    }
    // The buffer gives up its memory; what it held is gone (the question above).
    t.ShowLongCapture(&capture->Capture());
    longCapture_ = std::move(capture);
    main_.SetUnsavedRecording(false);
    run->fileCommands = beginRun();
    main_.SetDigiStatus(4, QStringLiteral("Lange Aufnahme"), false);
    main_.Ui().ProgressBar1->setMaximum(0); // no end known: the bar shows that it runs
    running_ = true;
    stopRequested_ = false;
    acquire::RunRequest request;
    request.cells = cells;
    std::unique_ptr<acquire::SteppedRun> stepped;
    try {
        stepped = acquire::Recorder(*run->source).Start(request);
        if (!stepped) throw std::logic_error("Das Gerät lässt sich nicht schrittweise lesen.");
    } catch (...) {
        // Nothing runs: the window leaves its recording state, and the file
        // that was begun goes.
        running_ = false;
        t.ShowLongCapture(nullptr);
        longCapture_.reset();
        main_.Ui().ProgressBar1->setMaximum(1);
        endRun(run->fileCommands);
        throw;
    }
    longRun_ = std::move(run);
    SteppedDriver::Hooks hooks;
    hooks.slice = [this](std::uint64_t) { followLongCapture(); };
    hooks.ended = [this](acquire::SteppedRun& ended, std::exception_ptr error) {
        longRunEnded(ended, error);
    };
    driver_.Start(std::move(stepped), longCapture_->Sink(), std::move(hooks));
    return true;
}

void RecordingCommands::followLongCapture() {
    const auto now = std::chrono::steady_clock::now();
    if (now - longRun_->shown < kRedrawEvery) return;
    longRun_->shown = now;
    // Drawn in a turn of the event loop of its own: after a tick's rounds
    // the two together would hold the window up for too long.
    QTimer::singleShot(0, this, [this] {
        main_.RunGuarded([this] {
            // The end of the run shows the capture itself.
            if (!driver_.Running() || !longCapture_) return;
            longCapture_->Update();
            main_.Trazor1().ShowLongCapture(&longCapture_->Capture());
            main_.Navigation().ShowAll();
        });
    });
}

void RecordingCommands::longRunEnded(acquire::SteppedRun& ended, std::exception_ptr error) {
    LongCaptureRun& run = *longRun_;
    LongCaptureFile& file = *longCapture_;
    run.result = acquire::Recorder(*run.source).Conclude(ended, file.Sink());
    if (error) {
        // The file is incomplete (a full disk): it goes, the target stays.
        finishLongRun(What(error), false);
        return;
    }
    std::vector<std::string> names = run.result.names;
    names.resize(std::size_t(std::max(run.result.lines, 1)));
    for (std::size_t line = 0; line < names.size(); ++line)
        if (names[line].empty()) names[line] = sigrok::DefaultLineName(int(line));
    if (file.Samples() == 0) {
        finishLongRun(QString::fromStdString(run.result.error), false);
        return;
    }
    try {
        file.Close(names, run.result.timeBase);
    } catch (const std::exception& e) {
        finishLongRun(QString::fromStdString(e.what()), false);
        return;
    }
    main_.Trazor1().ShowLongCapture(&file.Capture());
    main_.Navigation().ShowAll();
    // The disk may hold gigabytes not yet written: the window stays free
    // while it takes them, and the capture counts as written once in place.
    // Until then it says so, since that may take seconds; a close meanwhile
    // waits for it (see TMain1::closeEvent).
    file.StartCommit();
    main_.SetInfo(QStringLiteral("Datei %1 wird gesichert ...").arg(run.path));
    emit FileSaving();
    schedulePollLongCommit();
}

void RecordingCommands::schedulePollLongCommit() {
    QTimer::singleShot(kCommitPollEvery, this,
                       [this] { main_.RunGuarded([this] { pollLongCommit(); }); });
}

void RecordingCommands::pollLongCommit() {
    QString failure;
    try {
        if (!longCapture_->Committed()) {
            schedulePollLongCommit();
            return;
        }
    } catch (const std::exception& e) {
        failure = QString::fromStdString(e.what());
    }
    const bool written = failure.isEmpty();
    if (written) failure = QString::fromStdString(longRun_->result.error);
    finishLongRun(failure, written);
}

void RecordingCommands::finishLongRun(const QString& failure, bool written) {
    const std::unique_ptr<LongCaptureRun> run = std::move(longRun_);
    const acquire::Recording& result = run->result;
    TTrazor& t = main_.Trazor1();
    running_ = false;
    stopRequested_ = false;
    main_.Ui().ProgressBar1->setMaximum(1);
    t.SetTimeBase(result.timeBase);
    if (!failure.isEmpty())
        main_.desktop().MessageBox({kCaption, failure, Desktop::Icon::Warning, Desktop::Ok});
    if (written) {
        const QString summary = QString::fromStdString(result.summary);
        main_.SetInfo((result.stopped ? QStringLiteral("Abgebrochen: ") : QString()) + summary +
                      QStringLiteral(", in ") + run->path);
    } else {
        main_.SetInfo(
            QStringLiteral("Nichts gespeichert: %1 wurde nicht geschrieben.").arg(run->path));
    }
    if (written) {
        // All that reached the file, which the writing thread may have
        // finished only now.
        longCapture_->Update();
        t.ShowLongCapture(&longCapture_->Capture());
    } else {
        // Nothing to show from a file that is not there, and what was begun
        // of it goes now: on a full disk it would hold the room it took.
        t.ShowLongCapture(nullptr);
        longCapture_.reset();
    }
    endRun(run->fileCommands);
    main_.Navigation().ShowAll();
    main_.RecordingEnded();
    emit Ended();
}
