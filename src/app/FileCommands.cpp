#include "FileCommands.h"

#include "DecodeCommands.h"
#include "ExchangeCommands.h"
#include "PrintedView.h"
#include "RecordingCommands.h"
#include "TMain1.h"
#include "display/BusRows.h"
#include "display/TTrazor.h"
#include "persistence/PrintDiagram.h"
#include "persistence/RecordingFile.h"
#include "platform/Desktop.h"
#include "sampling/TimeFormat.h"

#include <QAction>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>

FileCommands::FileCommands(TMain1& main)
    : QObject(&main), main_(main),
      file_(std::make_unique<TRecordingFile>(
          main.desktop(), main.Trazor1(),
          TRecordingFile::Window{[&main] { main.update(); },
                                 [&main](const QString& caption) { main.SetCaption(caption); },
                                 [&main](const QString&) { main.SetUnsavedRecording(false); }})) {}

FileCommands::~FileCommands() = default;

void FileCommands::Connect() {
    main_.OnAction(main_.Actions().NeueAufzeichnung1, [this] { NeueAufzeichnung1Click(); });
    main_.OnAction(main_.Actions().ffnen1, [this] { ffnen1Click(); });
    main_.OnAction(main_.Actions().Speichern1, [this] { Speichern1Click(); });
    main_.OnAction(main_.Actions().Speichernunter1, [this] { Speichernunter1Click(); });
    main_.OnAction(main_.Actions().Schliessen1, [this] { Schliessen1Click(); });
    main_.OnAction(main_.Actions().Druckeneinrichten1, [this] { Druckeneinrichten1Click(); });
    main_.OnAction(main_.Actions().Drucken1, [this] { Drucken1Click(); });
}

void FileCommands::setFileCommands(bool save, bool saveAs, bool close, bool setup, bool print) {
    main_.Actions().Speichern1->setEnabled(save);
    main_.Actions().Speichernunter1->setEnabled(saveAs);
    main_.Actions().Schliessen1->setEnabled(close);
    main_.Actions().Druckeneinrichten1->setEnabled(setup);
    main_.Actions().Drucken1->setEnabled(print);
}

void FileCommands::NeueAufzeichnung1Click() {
    if (!main_.ConfirmDiscardRecording()) return;
    main_.ClearSampleBuffer();
    main_.desktop().Beep();
    main_.SetDigiStatus(4, QStringLiteral("Daten sind jetzt gelöscht!"), true);
    main_.SetStandardCaption();
    setFileCommands(false, true, false, true, true);
    main_.Trazor1().Redraw();
    main_.Trazor1().DrawBaseLines();
}

void FileCommands::ffnen1Click() {
    if (!main_.ConfirmDiscardRecording()) return;
    main_.SetDigiStatus(4, QStringLiteral("Daten werden geladen. Bitte warten !!!"), false);
    MainState& s = main_.State();
    s.CurrentFileName = file_->OpenRecordingFile(QStringLiteral("Spurwerk-Datei öffnen"));
    showOpened();
}

void FileCommands::OpenFile(const QString& path) {
    if (!main_.ConfirmDiscardRecording()) return;
    main_.SetDigiStatus(4, QStringLiteral("Daten werden geladen. Bitte warten !!!"), false);
    main_.State().CurrentFileName = file_->LoadRecordingFile(path);
    showOpened();
}

void FileCommands::showOpened() {
    if (main_.State().CurrentFileName.isEmpty()) {
        main_.SetDigiStatus(4, QStringLiteral("Fehler, die Datei oder das Verzeichnis fehlt."),
                            true);
        main_.desktop().MessageBox({QString(),
                                    QStringLiteral("Die Datei oder das Verzeichnis fehlt.\r"),
                                    Desktop::Icon::None, Desktop::Yes});
        return;
    }
    main_.SetUnsavedRecording(false);
    main_.desktop().Beep();
    main_.SetDigiStatus(4, QStringLiteral("Daten wurden geladen. !!!"), true);
    // A DIG file stores no timing: say that its times are only assumed.
    main_.SetInfo(
        QString::fromStdString(sampling::DescribeTimeBase(main_.Trazor1().GetTimeBase())));
    setFileCommands(true, true, true, true, true);
    // A new recording is shown from its start: position first, then the
    // picture, so traces and axis agree.
    TTrazor& t = main_.Trazor1();
    t.Option().SetCellsPos(0);
    main_.Ui().ScrollBar1->setValue(0);
    t.Redraw();
    t.DrawSignals();
}

void FileCommands::Speichern1Click() {
    if (main_.Recording().RefusedForLongCapture(QStringLiteral("Speichern"))) return;
    main_.SetDigiStatus(4, QStringLiteral("Daten werden gespeichert"), true);
    file_->SaveRecordingFile(QStringLiteral("Spurwerk - "), 0, main_.State().CurrentFileName);
}

void FileCommands::Speichernunter1Click() {
    if (main_.Recording().RefusedForLongCapture(QStringLiteral("Speichern"))) return;
    main_.SetDigiStatus(4, QStringLiteral("Daten speichern unter"), true);
    if (!KeepsItsTimeBase()) return;
    file_->SaveRecordingFile(QStringLiteral("Spurwerk - "), 3, QString());
}

bool FileCommands::KeepsItsTimeBase() {
    // A .DIG file has no room for a rate: opened again, it is 10 us per sample
    // whatever it was recorded at, and a 1 MHz capture would decode as garbage.
    const sampling::TimeBase timeBase = main_.Trazor1().GetTimeBase();
    if (timeBase.period == sampling::TimeBase::Nominal().period) return true;
    const int answer = main_.desktop().MessageBox(
        {QStringLiteral("Spurwerk"),
         QStringLiteral("Die Aufzeichnung hat die Zeitbasis %1. Eine .DIG-Datei speichert keine "
                        "Abtastrate und keine Leitungsnamen; geöffnet gilt sie als 10 µs je "
                        "Wert.\rSoll die Aufzeichnung stattdessen als sigrok-Sitzung (.sr) "
                        "exportiert werden, die beides behält?")
             .arg(QString::fromStdString(sampling::FormatPerSample(timeBase.period))),
         Desktop::Icon::Question, Desktop::Yes | Desktop::No | Desktop::Cancel});
    if (answer == Desktop::Yes) main_.Exchange().Exportieren1Click();
    return answer == Desktop::No;
}

void FileCommands::Schliessen1Click() {
    main_.SetDigiStatus(4, QStringLiteral("Daten oder Datei schließen"), true);
    // Written back to the current file without a dialog; an existing file is
    // replaced only after the overwrite question, and only once the new one
    // is complete.
    file_->SaveRecordingFile(QStringLiteral("Spurwerk - "), 2, main_.State().CurrentFileName);
    TTrazor& t = main_.Trazor1();
    t.Redraw();
    t.DrawBaseLines();
    main_.SetStandardCaption();
    setFileCommands(false, false, false, false, false);
}

void FileCommands::Druckeneinrichten1Click() {
    main_.SetDigiStatus(4, QStringLiteral("Drucker einrichten."), true);
    if (!setupPrinter_) setupPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    main_.desktop().PrinterSetupDialog(*setupPrinter_);
}

void FileCommands::Drucken1Click() {
    main_.SetDigiStatus(4, QStringLiteral("Daten sollen gedruckt werden."), true);
    // A print job of its own, gone at the end of the command whatever happens.
    // At the printer's own resolution: the picture is placed, not rasterised
    // at screen resolution first.
    std::unique_ptr<QPrinter> printer = printerFactory_
                                            ? printerFactory_()
                                            : std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Still a job of its own, but on the page the user chose in the set-up:
    // otherwise "Drucker einrichten" would have no effect at all.
    if (setupPrinter_) printer->setPageLayout(setupPrinter_->pageLayout());
    if (!main_.desktop().PrintDialog(*printer)) {
        main_.SetDigiStatus(4, QStringLiteral("Fehler, durch Druckabbruch !"), true);
        return;
    }
    const PrintedView view =
        ComposePrintedView(main_.Trazor1(), {main_.Ui().BusRows1, &main_.Decode().RowsPanel()});
    PrintDiagram(*printer, view.picture, view.geometry);
}
