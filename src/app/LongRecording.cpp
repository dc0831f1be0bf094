// Captures longer than the buffer: recorded from a sigrok device straight into
// a session file, shown in the diagram from that file.
#include "LongCaptureFile.h"
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
#include <atomic>
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
    const std::unique_ptr<acquire::SampleSource> source = MakeSampleSource(main_);
    std::unique_ptr<LongCaptureFile> capture;
    try {
        // Made before the device runs: a folder that cannot take the file is
        // named before anything is recorded.
        capture = std::make_unique<LongCaptureFile>(path.toStdString(), source->Lines());
    } catch (const std::exception& e) {
        d.MessageBox(
            {kCaption, QString::fromStdString(e.what()), Desktop::Icon::Error, Desktop::Ok});
        return false;
    }
    // The buffer gives up its memory; what it held is gone (the question above).
    t.ShowLongCapture(&capture->Capture());
    longCapture_ = std::move(capture);
    LongCaptureFile& file = *longCapture_;
    main_.SetUnsavedRecording(false);
    const CommandStates commands = beginRun();
    main_.SetDigiStatus(4, QStringLiteral("Lange Aufnahme"), false);
    QProgressBar* progress = main_.Ui().ProgressBar1;
    progress->setMaximum(0); // no end known: the bar shows that it runs
    running_ = true;
    stopRequested_ = false;
    std::atomic<bool> stop{false};
    auto shown = std::chrono::steady_clock::now();
    acquire::RunControl control;
    control.stop = &stop;
    control.progress = [&](std::uint64_t) {
        const auto now = std::chrono::steady_clock::now();
        if (now - shown >= kRedrawEvery) {
            shown = now;
            file.Update();
            t.ShowLongCapture(&file.Capture());
            main_.Navigation().ShowAll();
        }
        d.PumpEvents();
        if (stopRequested_) stop = true;
    };
    acquire::RunRequest request;
    request.cells = cells;
    acquire::Recording result;
    QString failure;
    bool written = false;
    try {
        result = acquire::Recorder(*source).Record(acquire::RunKind::Recording, request,
                                                   file.Sink(), control);
        std::vector<std::string> names = result.names;
        names.resize(std::size_t(std::max(result.lines, 1)));
        for (std::size_t line = 0; line < names.size(); ++line)
            if (names[line].empty()) names[line] = sigrok::DefaultLineName(int(line));
        if (file.Samples() > 0) {
            file.Finish(names, result.timeBase);
            written = true;
        }
    } catch (const std::exception& e) {
        failure = QString::fromStdString(e.what());
    }
    running_ = false;
    stopRequested_ = false;
    progress->setMaximum(1);
    t.SetTimeBase(result.timeBase);
    if (failure.isEmpty()) failure = QString::fromStdString(result.error);
    if (!failure.isEmpty()) d.MessageBox({kCaption, failure, Desktop::Icon::Warning, Desktop::Ok});
    if (written) {
        const QString summary = QString::fromStdString(result.summary);
        main_.SetInfo((result.stopped ? QStringLiteral("Abgebrochen: ") : QString()) + summary +
                      QStringLiteral(", in ") + path);
    } else {
        main_.SetInfo(QStringLiteral("Nichts gespeichert: %1 wurde nicht geschrieben.").arg(path));
    }
    t.ShowLongCapture(&file.Capture());
    endRun(commands);
    main_.Navigation().ShowAll();
    return written;
}
