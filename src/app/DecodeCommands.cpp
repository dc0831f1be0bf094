#include "DecodeCommands.h"

#include "RecordingCommands.h"
#include "ScreenFit.h"
#include "TMain1.h"
#include "ViewCommands.h"
#include "decodeview/AnnotationRowsView.h"
#include "decodeview/DecodeWindow.h"
#include "decodeview/DecoderSetupDialog.h"
#include "display/BusRows.h"
#include "display/TTrazor.h"
#include "display/TrazorGeometry.h"
#include "persistence/ProgramConfig.h"
#include "platform/Desktop.h"
#include "sigrok/decode/BackgroundDecode.h"
#include "sigrok/decode/DecodeError.h"
#include "sigrok/decode/Library.h"

#include <QAction>
#include <QFileInfo>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <stdexcept>

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
    // The rows lie over the diagram's empty lower part, in its parent, so they
    // share its x: the diagram's pixel column x is the rows' pixel column x.
    TTrazor& trazor = main_.Trazor1();
    rowsPanel_ = new QScrollArea(trazor.parentWidget());
    rowsPanel_->setObjectName(QStringLiteral("AnnotationRowsPanel"));
    rowsPanel_->setFrameShape(QFrame::NoFrame);
    rowsPanel_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rowsPanel_->setWidgetResizable(true);
    rows_ = new AnnotationRowsView;
    rowsPanel_->setWidget(rows_);
    rowsPanel_->hide();
}

DecodeCommands::~DecodeCommands() {
    run_.reset(); // stops the thread before the library may go
    delete window_;
}

void DecodeCommands::Connect() {
    main_.OnAction(main_.Actions().ProtokollDekodieren1, [this] { ProtokollDekodieren1Click(); });
    main_.OnAction(main_.Actions().AnnotationenExportieren1,
                   [this] { AnnotationenExportieren1Click(); });
    main_.OnAction(main_.Actions().DekodierungAbbrechen1, [this] { CancelDecoding(); });
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
    // Every picture of the diagram may show another view or another layout
    // (zoom, scroll, line count, window size): the rows follow at once.
    const auto follow = [this] { main_.RunGuarded([this] { FollowDiagram(); }); };
    connect(&main_.Trazor1(), &TTrazor::viewChanged, this, follow);
    connect(&main_.Trazor1(), &TTrazor::pictureChanged, this, follow);
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
    if (main_.Recording().RefusedForLongCapture(QStringLiteral("Dekodieren"))) return;
    Library& lib = library();
    if (auto chosen = editor_(lib.Decoders(), lineNames(), stacks_)) ApplySetup(std::move(*chosen));
}

void DecodeCommands::ApplySetup(Stacks stacks) {
    for (const auto& s : stacks) Resolve(s, library().Decoders(), lineNames());
    stacks_ = std::move(stacks);
    setupChanged_ = true;
    reportErrors_ = true;
    if (run_) run_->Cancel();
    dropCopy();
    if (stacks_.empty()) replaceAnnotations({});
    showWindow();
    Poll();
    // Last: a configuration that cannot be written costs the memory of the
    // set-up, not the decoding.
    WriteSetup(main_.Config(), stacks_);
}

void DecodeCommands::CancelDecoding() {
    dropCopy();
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
        window_ = new DecodeWindow(std::move(actions), &main_);
        window_->ShowSource(&annotations_, main_.Trazor1().GetTimeBase());
    }
    if (!window_->isVisible()) {
        // Beside the main window where the screen has room, else over its
        // lower right corner: all of it on the screen.
        const QScreen* screen = main_.screen();
        const QRect available = screen ? screen->availableGeometry() : QRect();
        const QMargins frame = main_.FrameMargins();
        const QRect mainFrame = main_.geometry().marginsAdded(frame);
        window_->setGeometry(available.isEmpty()
                                 ? QRect(mainFrame.right() + 1, mainFrame.top(), 480, 360)
                                 : screenfit::BesideMainWindow(mainFrame, QSize(480, 360), available,
                                                               frame));
        window_->show();
    }
}

void DecodeCommands::showAnnotations() {
    if (window_) window_->ShowSource(&annotations_, main_.Trazor1().GetTimeBase());
    rows_->SetSource(&annotations_);
    FollowDiagram();
}

void DecodeCommands::FollowDiagram() {
    const TTrazor& t = main_.Trazor1();
    const bool any = !rows_->ShownRows().empty();
    if (!any) {
        rowsPanel_->hide();
        return;
    }
    const TLineVariable& lines = t.LineOption();
    // Below the axis, its rotated labels and the legend under the "t", and
    // below the bus rows where there are some.
    const QWidget* buses = main_.Ui().BusRows1;
    const int axisBottom =
        buses && buses->isVisibleTo(t.parentWidget())
            ? buses->geometry().bottom() + 1 - t.y()
            : trazor::axisY(lines.Line_distance(), t.Option().Digits(), lines.Line_Maxhigh()) + 46;
    const QRect panel = screenfit::RowsUnderAxis(t.geometry(), axisBottom, rows_->RowsHeight(),
                                                 2 * AnnotationRowsView::kRowHeight);
    if (rowsPanel_->geometry() != panel) rowsPanel_->setGeometry(panel);
    decodeview::RowView view;
    view.firstCell = t.Option().CellsPos();
    view.scale = t.Scale();
    view.originX = lines.Global_Xpos();
    view.width = t.width();
    rows_->SetView(view);
    if (rowsPanel_->isHidden()) {
        rowsPanel_->show();
        rowsPanel_->raise();
    }
}

void DecodeCommands::Poll() {
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
    // The buffer changed under the copy: begin again.
    if (copy_ && copy_->print != print) dropCopy();
    if (!copy_) {
        if (!setupChanged_ && print == decodedPrint_) return;
        if (!startCopy(print)) return;
    }
    // Not yet whole: the next piece from a timer, after the window has
    // answered its events. A chain of zero-delay calls would keep every timer
    // of the window (drawing, a running capture) waiting until the copy ends.
    if (!continueCopy())
        QTimer::singleShot(1, this, [this] { main_.RunGuarded([this] { Poll(); }); });
}

bool DecodeCommands::startCopy(std::uint64_t print) {
    setupChanged_ = false;
    decodedPrint_ = print;
    std::vector<ResolvedStack> stacks;
    try {
        Library& lib = library();
        for (const auto& s : stacks_) stacks.push_back(Resolve(s, lib.Decoders(), lineNames()));
    } catch (const DecodeError& e) {
        if (!library_) libraryFailed_ = true;
        showWindow();
        window_->ShowStatus(QString::fromUtf8(e.what()));
        if (std::exchange(reportErrors_, false)) throw;
        return false;
    }
    copy_.emplace();
    copy_->print = print;
    copy_->stacks = std::move(stacks);
    // Reserved, not filled: the pages come with the pieces.
    copy_->planes.reserve(main_.Trazor1().Stream().size());
    showWindow();
    window_->ShowStatus(QStringLiteral("Dekodierung läuft ..."));
    window_->ShowProgress(0);
    return true;
}

bool DecodeCommands::continueCopy() {
    // Small pieces, the clock read after each: the copy lands in fresh pages,
    // and where faulting them in is slow (a loaded or virtual machine) a
    // piece of 4 MiB alone took 70 ms.
    constexpr std::size_t kPiece = std::size_t(256) << 10;
    const std::vector<std::uint8_t>& stream = main_.Trazor1().Stream();
    std::vector<std::uint8_t>& planes = copy_->planes;
    const auto began = std::chrono::steady_clock::now();
    while (planes.size() < stream.size()) {
        const std::size_t n = std::min(kPiece, stream.size() - planes.size());
        const auto from = stream.begin() + std::ptrdiff_t(planes.size());
        planes.insert(planes.end(), from, from + std::ptrdiff_t(n));
        if (std::chrono::steady_clock::now() - began > std::chrono::milliseconds(6)) break;
    }
    if (planes.size() < stream.size()) return false;
    DecodeJob job;
    job.stacks = std::move(copy_->stacks);
    job.planes = std::move(planes);
    job.sampleRateHz = RateOf(main_.Trazor1().GetTimeBase());
    copy_.reset();
    run_ = std::make_unique<BackgroundDecode>(*library_, std::move(job));
    return true;
}

void DecodeCommands::takeResult() {
    auto run = std::move(run_);
    if (window_) window_->ShowProgress(-1);
    try {
        AnnotationStore r = run->TakeResult();
        if (r.cancelled && !setupChanged_) {
            // A cancel by the user keeps what was decoded so far; the next
            // change of the buffer decodes again.
            window_->ShowStatus(QStringLiteral("Dekodierung abgebrochen: %1 Annotationen bis dahin").arg(r.Count()));
        } else if (!r.cancelled) {
            window_->ShowStatus(QStringLiteral("%1 Annotationen").arg(r.Count()));
        }
        if (!(r.cancelled && setupChanged_)) replaceAnnotations(std::move(r));
        reportErrors_ = false;
    } catch (const DecodeError& e) {
        const QString text = QStringLiteral("Dekodierung fehlgeschlagen: ") + QString::fromUtf8(e.what());
        replaceAnnotations({});
        window_->ShowStatus(text);
        main_.SetDigiStatus(4, text, true);
        if (std::exchange(reportErrors_, false))
            main_.desktop().ShowMessage(text, QStringLiteral("Protokoll dekodieren"), Desktop::Icon::Error);
    }
    if (setupChanged_) Poll();
}

void DecodeCommands::replaceAnnotations(AnnotationStore store) {
    release_.Release(std::exchange(annotations_, std::move(store)));
    showAnnotations();
}

void DecodeCommands::dropCopy() {
    if (copy_) release_.Release(std::move(copy_->planes));
    copy_.reset();
}

void DecodeCommands::WaitForRun() {
    while (Running()) {
        if (run_) run_->Wait();
        Poll();
    }
}

void DecodeCommands::AnnotationenExportieren1Click() {
    if (annotations_.Count() == 0) {
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
    const std::string text = csv ? ExportCsv(annotations_, tb) : ExportText(annotations_, tb);
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
