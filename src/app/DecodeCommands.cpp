#include "DecodeCommands.h"

#include "RecordingCommands.h"
#include "TMain1.h"
#include "ViewCommands.h"
#include "decodeview/AnnotationRowsView.h"
#include "decodeview/CellMapping.h"
#include "decodeview/DecodeWindow.h"
#include "decodeview/DecoderSetupDialog.h"
#include "display/TTrazor.h"
#include "persistence/ProgramConfig.h"
#include "platform/Desktop.h"
#include "sigrok/decode/BackgroundDecode.h"
#include "sigrok/decode/DecodeError.h"
#include "sigrok/decode/Library.h"

#include <QAction>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

using namespace sigrokdecode;

namespace {

// A fingerprint of the samples and their rate. The buffer has many writers
// (recording, loading, importing, live ticks); its summary counts every change
// they make, so comparing prints catches them all without reading the cells:
// hashing a long recording every poll would stall the window.
std::uint64_t Fingerprint(TTrazor& trazor) {
    trazor.Pyramid();
    const std::uint64_t version = trazor.PyramidVersion();
    return (version * 0x9E3779B97F4A7C15ull) ^
           std::uint64_t(trazor.GetTimeBase().period.Picoseconds());
}

std::uint64_t RateOf(const sampling::TimeBase& tb) {
    return std::uint64_t(std::max<long long>(1, std::llround(tb.period.RateHz())));
}

} // namespace

DecodeCommands::DecodeCommands(TMain1& main) : QObject(&main), main_(main) {
    editor_ = [this](const Catalogue& catalogue, const std::vector<std::string>& names,
                     const Stacks& current) -> std::optional<Stacks> {
        DecoderSetupDialog dialog(catalogue, names, current, &main_);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Stacks();
    };
}

DecodeCommands::~DecodeCommands() {
    run_.reset(); // stops the thread before the library may go
    delete window_;
}

void DecodeCommands::Connect() {
    main_.OnAction(QStringLiteral("ProtokollDekodieren1"), [this] { ProtokollDekodieren1Click(); });
    main_.OnAction(QStringLiteral("AnnotationenExportieren1"), [this] { AnnotationenExportieren1Click(); });
    main_.OnAction(QStringLiteral("DekodierungAbbrechen1"), [this] { CancelDecoding(); });
    try {
        stacks_ = ReadSetup(main_.Config());
    } catch (const std::exception&) {
        stacks_.clear(); // a damaged entry leaves decoding off, the program starts
    }
    setupChanged_ = !stacks_.empty();
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("DecodeTimer"));
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] { main_.RunGuarded([this] { Poll(); }); });
    timer_->start();
}

Library& DecodeCommands::library() {
    if (!library_) library_ = Library::Shared();
    return *library_;
}

std::vector<std::string> DecodeCommands::lineNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < 16; ++i) names.push_back(main_.Trazor1().Option().DigiName().Get(i).toStdString());
    return names;
}

void DecodeCommands::ProtokollDekodieren1Click() {
    Library& lib = library();
    if (auto chosen = editor_(lib.Decoders(), lineNames(), stacks_)) ApplySetup(std::move(*chosen));
}

void DecodeCommands::ApplySetup(Stacks stacks) {
    for (const auto& s : stacks) Resolve(s, library().Decoders(), lineNames());
    stacks_ = std::move(stacks);
    setupChanged_ = true;
    reportErrors_ = true;
    if (run_) run_->Cancel();
    if (stacks_.empty()) {
        result_ = {};
        if (window_) window_->ShowResult(&result_, main_.Trazor1().GetTimeBase());
    }
    showWindow();
    Poll();
    // Last: a configuration that cannot be written costs the memory of the
    // set-up, not the decoding.
    WriteSetup(main_.Config(), stacks_);
}

void DecodeCommands::CancelDecoding() {
    if (!run_) return;
    run_->Cancel();
    if (window_) window_->ShowStatus(QStringLiteral("Dekodierung wird abgebrochen ..."));
}

void DecodeCommands::showWindow() {
    if (!window_) {
        DecodeWindow::Actions actions;
        actions.guard = [this](const std::function<void()>& f) { main_.RunGuarded(f); };
        actions.jumpTo = [this](std::int64_t cell) { main_.View().ShowCell(cell); };
        actions.cancel = [this] { CancelDecoding(); };
        actions.setup = [this] { ProtokollDekodieren1Click(); };
        actions.exportAnnotations = [this] { AnnotationenExportieren1Click(); };
        window_ = new DecodeWindow(std::move(actions));
        window_->ShowResult(&result_, main_.Trazor1().GetTimeBase());
    }
    if (!window_->isVisible()) {
        // Directly below the main window and as wide, so the rows sit under the diagram's cells.
        const QRect frame = main_.frameGeometry();
        window_->setGeometry(main_.geometry().x(), frame.bottom() + 1 + (main_.geometry().y() - frame.y()),
                             main_.geometry().width(), 380);
        window_->show();
    }
    updateMapping();
}

void DecodeCommands::updateMapping() {
    if (!window_) return;
    const TTrazor& t = main_.Trazor1();
    decodeview::CellMapping m;
    // The rows start where the diagram starts on screen.
    const int offset = t.mapToGlobal(QPoint(0, 0)).x() - window_->Rows().mapToGlobal(QPoint(0, 0)).x();
    m.originX = t.LineOption().Global_Xpos() + (std::abs(offset) < 200 ? offset : 0);
    m.cellWidth = t.LineOption().Line_length() * t.Option().TimeStep();
    m.firstCell = t.Option().CellsPos();
    m.visibleCells = t.VisibleCells();
    window_->SetMapping(m);
}

void DecodeCommands::Poll() {
    updateMapping();
    if (run_) {
        if (window_) window_->ShowProgress(run_->Progress());
        if (setupChanged_) run_->Cancel();
        if (run_->Finished()) takeResult();
        return;
    }
    if (stacks_.empty() || libraryFailed_) return;
    // A recording pumps events from its sample loop; hashing there would cost it its pace.
    if (main_.Recording().Running()) return;
    const std::uint64_t print = Fingerprint(main_.Trazor1());
    if (!setupChanged_ && print == decodedPrint_) return;
    runPrint_ = print;
    startRun();
}

void DecodeCommands::startRun() {
    setupChanged_ = false;
    decodedPrint_ = runPrint_;
    DecodeJob job;
    try {
        Library& lib = library();
        for (const auto& s : stacks_) job.stacks.push_back(Resolve(s, lib.Decoders(), lineNames()));
    } catch (const DecodeError& e) {
        if (!library_) libraryFailed_ = true;
        showWindow();
        window_->ShowStatus(QString::fromUtf8(e.what()));
        if (std::exchange(reportErrors_, false)) throw;
        return;
    }
    const TTrazor& t = main_.Trazor1();
    job.planes = t.Stream();
    job.sampleRateHz = RateOf(t.GetTimeBase());
    showWindow();
    window_->ShowStatus(QStringLiteral("Dekodierung läuft ..."));
    window_->ShowProgress(0);
    run_ = std::make_unique<BackgroundDecode>(*library_, std::move(job));
}

void DecodeCommands::takeResult() {
    auto run = std::move(run_);
    if (window_) window_->ShowProgress(-1);
    try {
        DecodeResult r = run->TakeResult();
        if (r.cancelled && !setupChanged_) {
            // A cancel by the user keeps what was decoded so far; the next
            // change of the buffer decodes again.
            window_->ShowStatus(QStringLiteral("Dekodierung abgebrochen: %1 Annotationen bis dahin").arg(r.annotations.size()));
        } else if (!r.cancelled) {
            window_->ShowStatus(QStringLiteral("%1 Annotationen").arg(r.annotations.size()));
        }
        if (!(r.cancelled && setupChanged_)) {
            result_ = std::move(r);
            window_->ShowResult(&result_, main_.Trazor1().GetTimeBase());
        }
        reportErrors_ = false;
    } catch (const DecodeError& e) {
        const QString text = QStringLiteral("Dekodierung fehlgeschlagen: ") + QString::fromUtf8(e.what());
        result_ = {};
        window_->ShowResult(&result_, main_.Trazor1().GetTimeBase());
        window_->ShowStatus(text);
        main_.SetDigiStatus(4, text, true);
        if (std::exchange(reportErrors_, false))
            main_.desktop().ShowMessage(text, QStringLiteral("Protokoll dekodieren"), Desktop::Icon::Error);
    }
    if (setupChanged_) Poll();
}

void DecodeCommands::WaitForRun() {
    while (run_) {
        while (!run_->Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Poll();
    }
}

void DecodeCommands::AnnotationenExportieren1Click() {
    if (result_.annotations.empty()) {
        main_.desktop().ShowMessage(QStringLiteral("Es gibt keine Annotationen zum Exportieren."),
                                    QStringLiteral("Annotationen exportieren"), Desktop::Icon::Information);
        return;
    }
    Desktop::FileDialogRequest request;
    request.title = QStringLiteral("Annotationen exportieren");
    request.filter = QStringLiteral("Text (*.txt)|*.txt|CSV-Datei (*.csv)|*.csv");
    request.defaultExt = QStringLiteral("txt");
    request.overwritePrompt = true;
    const auto path = main_.desktop().SaveFileDialog(request);
    if (!path) return;
    const bool csv = QFileInfo(*path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
    const auto& tb = main_.Trazor1().GetTimeBase();
    const std::string text = csv ? ExportCsv(result_, tb) : ExportText(result_, tb);
    // Written beside the target and renamed over it: a failed write keeps the old file.
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size()) ||
        !file.commit())
        throw std::runtime_error(("Die Datei " + path->toStdString() + " lässt sich nicht schreiben: " +
                                  file.errorString().toStdString()));
    main_.SetDigiStatus(4, QStringLiteral("Annotationen exportiert"), true);
}

DecodeCommands::Stacks DecodeCommands::ReadSetup(const ProgramConfig& config) {
    Stacks stacks;
    bool ok = false;
    const int count =
        config.Value(SetupGroup, QStringLiteral("Anzahl")).value_or(QString()).toInt(&ok);
    if (!ok) return stacks;
    for (int i = 1; i <= count && i <= 64; ++i) {
        const std::optional<QString> text =
            config.Value(SetupGroup, QStringLiteral("Stapel%1").arg(i));
        if (!text) throw std::runtime_error("Stapel" + std::to_string(i) + " fehlt");
        stacks.push_back(ParseStack(text->toStdString()));
    }
    return stacks;
}

void DecodeCommands::WriteSetup(ProgramConfig& config, const Stacks& stacks) {
    ProgramConfig::Entries entries{{QStringLiteral("Anzahl"), QString::number(stacks.size())}};
    for (std::size_t i = 0; i < stacks.size(); ++i)
        entries.emplace_back(QStringLiteral("Stapel%1").arg(i + 1),
                             QString::fromStdString(StackText(stacks[i])));
    config.SetGroup(SetupGroup, entries);
}
