#include "ExchangeCommands.h"

#include "BusCommands.h"
#include "ChannelChoiceDialog.h"
#include "RecordingCommands.h"
#include "TMain1.h"
#include "display/TTrazor.h"
#include "persistence/RecordingData.h"
#include "platform/Desktop.h"
#include "sampling/TimeFormat.h"
#include "sigrok/ChannelChoice.h"
#include "sigrok/DigPlanes.h"
#include "sigrok/ExchangeFormat.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokExport.h"
#include "sigrok/SigrokImport.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QScrollBar>
#include <QStringList>

const QString ExchangeCommands::ExportFilter =
    QStringLiteral("VCD-Datei (*.vcd)|*.vcd|CSV-Datei (*.csv)|*.csv|sigrok-Sitzung (*.sr)|*.sr");
const QString ExchangeCommands::ImportFilter =
    QStringLiteral("Aufzeichnungen anderer Programme (*.sr;*.vcd;*.csv)|*.sr;*.vcd;*.csv|"
                   "sigrok-Sitzung (*.sr)|*.sr|VCD-Datei (*.vcd)|*.vcd|CSV-Datei (*.csv)|*.csv");

namespace {

// What the import read in a way of its own or had to assume, in one message.
void ShowRemarks(Desktop& desktop, const QString& name, const sigrok::ImportResult& result) {
    QStringList remarks;
    for (const std::string& note : result.notes)
        remarks << QString::fromStdString(note);
    if (!result.frames.timeBase.Known())
        remarks << QStringLiteral("Die Datei gibt keine Abtastrate an; angenommen werden "
                                  "10 µs je Wert (100 kHz).");
    if (remarks.isEmpty()) return;
    desktop.MessageBox({recording::ApplicationTitle,
                        QStringLiteral("Importiert aus %1:\r").arg(name) + remarks.join('\r'),
                        Desktop::Icon::Information, Desktop::Ok});
}

const char* FormatName(sigrok::ExchangeFormat format) {
    switch (format) {
    case sigrok::ExchangeFormat::Session:
        return "sigrok-Sitzung";
    case sigrok::ExchangeFormat::Vcd:
        return "VCD";
    case sigrok::ExchangeFormat::Csv:
        return "CSV";
    }
    return "";
}

QString Count(std::size_t n) {
    return QLocale(QLocale::German).toString(static_cast<qulonglong>(n));
}

const QString UnknownFormat =
    QStringLiteral("Das Format der Datei %1 ist unbekannt.\rSpurwerk tauscht Daten als VCD (.vcd), "
                   "CSV (.csv) und sigrok-Sitzung (.sr) aus.");

} // namespace

ExchangeCommands::ExchangeCommands(TMain1& main) : QObject(&main), main_(main) {}

void ExchangeCommands::Connect() {
    main_.OnAction(main_.Actions().Exportieren1, [this] { Exportieren1Click(); });
    main_.OnAction(main_.Actions().Importieren1, [this] { Importieren1Click(); });
    // Export goes with "Speichern unter", import with "Öffnen": they follow
    // those items wherever the enable rules switch them.
    const auto follow = [this](QAction* lead, QAction* follows) {
        follows->setEnabled(lead->isEnabled());
        connect(lead, &QAction::changed, follows,
                [lead, follows] { follows->setEnabled(lead->isEnabled()); });
    };
    const MainActions& a = main_.Actions();
    follow(a.Speichernunter1, a.Exportieren1);
    follow(a.ffnen1, a.Importieren1);
}

void ExchangeCommands::showError(const QString& text) {
    main_.desktop().MessageBox({QStringLiteral("Fehler"), text, Desktop::Icon::Error, Desktop::Ok});
}

void ExchangeCommands::Exportieren1Click() {
    if (main_.Recording().RefusedForLongCapture(QStringLiteral("Exportieren"))) return;
    main_.SetDigiStatus(4, QStringLiteral("Daten exportieren"), true);
    const QString current = main_.State().CurrentFileName.isEmpty() ? recording::DefaultFileName
                                                                    : main_.State().CurrentFileName;
    Desktop::FileDialogRequest request;
    request.title = QStringLiteral("Spurwerk - Daten exportieren");
    request.filter = ExportFilter;
    request.defaultExt = QStringLiteral("vcd");
    request.initialDir = recording::SaveDirectory();
    request.fileName = QFileInfo(current).completeBaseName() + QStringLiteral(".vcd");
    request.overwritePrompt = true;
    const std::optional<QString> chosen = main_.desktop().SaveFileDialog(request);
    if (!chosen) return;
    ExportTo(*chosen);
}

bool ExchangeCommands::ExportTo(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const auto format = sigrok::FormatFromPath(path.toStdString());
    if (!format) {
        showError(UnknownFormat.arg(name));
        return false;
    }
    const TTrazor& t = main_.Trazor1();
    const int lines = t.Option().Digits();
    sigrok::LogicFrames frames;
    frames.timeBase = t.GetTimeBase();
    frames.samples = sigrok::SamplesFromPlanes(t.Stream());
    const auto mask = static_cast<std::uint16_t>((1u << lines) - 1);
    for (std::uint16_t& sample : frames.samples)
        sample &= mask;
    for (int line = 0; line < lines; ++line)
        frames.names.push_back(t.Option().DigiName().Get(line).toStdString());

    main_.SetDigiStatus(4, QStringLiteral("Daten werden exportiert. Bitte warten !!!"), false);
    try {
        sigrok::Context context;
        sigrok::ExportFile(context, frames, *format, QDir::toNativeSeparators(path).toStdString());
    } catch (const sigrok::Error& error) {
        main_.SetDigiStatus(4, QStringLiteral("Fehler beim Exportieren."), true);
        showError(QString::fromStdString(error.what()));
        return false;
    }
    main_.SetDigiStatus(4,
                        QStringLiteral("Daten wurden exportiert: %1 (%2, %3 Leitungen, %4)")
                            .arg(name, QString::fromLatin1(FormatName(*format)))
                            .arg(lines)
                            .arg(QString::fromStdString(sampling::FormatFrequency(
                                double(sigrok::ExportRateHz(frames.timeBase))))),
                        true);
    return true;
}

void ExchangeCommands::Importieren1Click() {
    // An import replaces the buffer as "Öffnen" does.
    if (!main_.ConfirmDiscardRecording()) return;
    main_.SetDigiStatus(4, QStringLiteral("Daten importieren"), true);
    Desktop::FileDialogRequest request;
    request.title = QStringLiteral("Spurwerk - Daten importieren");
    request.filter = ImportFilter;
    request.initialDir = recording::DataDirectory();
    request.fileMustExist = true;
    const std::optional<QString> chosen = main_.desktop().OpenFileDialog(request);
    if (!chosen) return;
    ImportFrom(*chosen);
}

bool ExchangeCommands::ImportFrom(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const auto format = sigrok::FormatFromPath(path.toStdString());
    if (!format) {
        showError(UnknownFormat.arg(name));
        return false;
    }
    TTrazor& t = main_.Trazor1();
    // A file longer than the current length comes in whole, up to the longest
    // buffer; the view then reaches all of it.
    const auto room = static_cast<std::size_t>(recording::MaxRecordingCells);
    main_.SetDigiStatus(4, QStringLiteral("Daten werden importiert. Bitte warten !!!"), false);
    sigrok::ImportResult result;
    try {
        sigrok::Context context;
        sigrok::ImportOptions options;
        options.maxSamples = room;
        result = sigrok::ImportFile(context, *format, path.toStdString(), options);
        if (result.fileChannels.size() > std::size_t(sigrok::MaxImportLines)) {
            ChannelChoiceDialog dialog(name, result.fileChannels, &main_);
            if (dialog.exec() != QDialog::Accepted) {
                main_.SetDigiStatus(
                    4, QStringLiteral("Import abgebrochen, die Daten sind unverändert."), true);
                return false;
            }
            if (dialog.Chosen() != result.frames.names) {
                options.channels = dialog.Chosen();
                result = sigrok::ImportFile(context, *format, path.toStdString(), options);
            }
        }
    } catch (const sigrok::Error& error) {
        main_.SetDigiStatus(
            4, QStringLiteral("Fehler beim Importieren, die Daten sind unverändert."), true);
        showError(QString::fromStdString(error.what()));
        return false;
    }

    const sigrok::LogicFrames& frames = result.frames;
    t.LoadStream(sigrok::PlanesFromSamples(frames.samples));
    t.SetTimeBase(frames.timeBase);
    {
        const TTrazor::DeferredDrawing once(t); // each name would draw the diagram
        for (int line = 0; line < frames.Lines(); ++line)
            t.Option().DigiName().Set(line,
                                      QString::fromStdString(frames.names[std::size_t(line)]));
    }
    main_.SetMultiBit(frames.Lines());
    main_.Buses().AdoptImported(result.buses);
    // The data is in no recording file yet: it counts as unsaved, and saving
    // proposes a .DIG file beside the imported one.
    MainState& s = main_.State();
    main_.SetUnsavedRecording(true);
    s.CurrentFileName =
        QFileInfo(path).dir().filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".DIG"));
    main_.SetCaption(recording::ApplicationTitle + " Version " + recording::VersionText + " - " +
                     QDir::toNativeSeparators(path));
    main_.EnableFileItems();
    t.Option().SetCellsPos(0);
    main_.Ui().ScrollBar1->setValue(0);
    t.Redraw();
    t.DrawSignals();

    main_.SetDigiStatus(
        4,
        QStringLiteral("Daten wurden importiert: %1 (%2 Leitungen)").arg(name).arg(frames.Lines()),
        true);
    main_.SetInfo(QString::fromStdString(sampling::DescribeTimeBase(frames.timeBase)));
    ShowRemarks(main_.desktop(), name, result);
    if (result.cut) {
        const double seconds = frames.timeBase.SecondsAt(std::int64_t(frames.samples.size()));
        main_.desktop().MessageBox(
            {recording::ApplicationTitle,
             QStringLiteral("Die Datei %1 ist länger als der Puffer.\rÜbernommen wurden die "
                            "ersten %2 Abtastwerte (%3), der Rest wurde verworfen.")
                 .arg(name, Count(frames.samples.size()),
                      QString::fromStdString(sampling::FormatDuration(seconds))),
             Desktop::Icon::Warning, Desktop::Ok});
    }
    return true;
}
