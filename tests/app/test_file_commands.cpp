#include "MainWindowFixture.h"
#include "app/FileCommands.h"
#include "persistence/PrintDiagram.h"
#include "persistence/RecordingData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>
#include <array>
#include <functional>
#include <sys/stat.h>

namespace {

const QString kCaption = QStringLiteral("Spurwerk Version 1.0.40.36");
const QString kSimulated = QStringLiteral(" [Simulation]");
const QString kFilter =
    QStringLiteral("Digital-Aufzeichnung (*.DIG)|*.DIG|Alle Dateien              (*.*)|*.*");

// Enabled state of "Speichern", "Speichern unter", "Schließen", "Drucker einrichten", "Drucken".
using FileRow = std::array<bool, 5>;
constexpr FileRow kStartRow{false, false, false, true, false};
constexpr FileRow kAllOn{true, true, true, true, true};
constexpr FileRow kAllOff{false, false, false, false, false};

QString status(const char* text) {
    return QStringLiteral(" Digi-Status: ") + QString::fromUtf8(text);
}

} // namespace

class FileCommandsTest : public MainWindowTest {
  protected:
    FileRow fileRow() const {
        FileRow row{};
        const char* names[] = {"Speichern1", "Speichernunter1", "Schliessen1", "Druckeneinrichten1",
                               "Drucken1"};
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = action(names[i])->isEnabled();
        return row;
    }
    QStringList files() const { return QDir::current().entryList(QDir::Files, QDir::Name); }
    QByteArray buffer() const {
        const auto& s = trazor().Stream();
        return QByteArray(reinterpret_cast<const char*>(s.data()), qsizetype(s.size()));
    }
    // A small buffer in which every cell differs from its neighbours, so a
    // zeroed, shifted or truncated cell shows.
    void fillPattern(int cells = 512) {
        trazor().Option().SetCellsSize(cells);
        for (int i = 0; i < cells; ++i) {
            trazor().SetCellLow(i, std::uint8_t(i * 7 + 1));
            trazor().SetCellHigh(i, std::uint8_t(i * 13 + 5));
        }
    }
    void openFile(const QString& filePath) {
        desktop.fileAnswers = {filePath};
        trigger("ffnen1");
    }
    // Programs LPT 1 for input and runs a 5-second recording.
    void record() {
        if (window->State().InputProgrammed == 0) {
            trigger("PortAuswahl1");
            trigger("Eingabeprogrammieren1");
            trigger("MenuRecord_5_Sek");
        }
        trigger("MenuRecord_Signal");
    }
    std::vector<Desktop::FileDialogRequest> fileRequests(ScriptedDesktop::Call::Kind kind) const {
        std::vector<Desktop::FileDialogRequest> out;
        for (const auto& c : desktop.calls)
            if (c.kind == kind) out.push_back(c.file);
        return out;
    }
    QString caption() const { return window->windowTitle(); }
};

TEST_F(FileCommandsTest, NewRecordingWaitsThenZeroesTheCellsAndKeepsSizeAndFileName) {
    writeFile("alt.DIG", QByteArray("\x01\x02\x03\x04", 4));
    openFile(path("alt.DIG"));
    fillPattern(512);
    desktop.clear();
    QString shownWhileWaiting;
    desktop.onPump = [&] {
        if (shownWhileWaiting.isEmpty()) shownWhileWaiting = panel(4);
    };

    trigger("NeueAufzeichnung1");

    EXPECT_EQ(shownWhileWaiting, status("Daten werden gelöscht. Bitte warten !!"));
    EXPECT_EQ(desktop.totalSleepMs(), 1000);
    EXPECT_EQ(desktop.pumps, 2);
    EXPECT_EQ(desktop.beeps(), 1);
    EXPECT_EQ(panel(4), status("Daten sind jetzt gelöscht!"));
    EXPECT_TRUE(window->Ui().Timer2->isActive()) << "the message clears itself";
    EXPECT_EQ(trazor().Option().CellsSize(), 512);
    EXPECT_EQ(buffer(), QByteArray(1024, '\0'));
    EXPECT_EQ(caption(), kCaption + kSimulated);
    EXPECT_EQ(window->State().CurrentFileName, path("alt.DIG"));
    EXPECT_EQ(fileRow(), (FileRow{false, true, false, true, true}));
    EXPECT_TRUE(desktop.messages().empty());
}

TEST_F(FileCommandsTest, OpenLoadsTheWholeFileOfAnyLengthAndShowsItFromCellZero) {
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"gerade.DIG", QByteArray("\x11\x22\x33\x44\xA1\xB2\xC3\xD4", 8)},
        {"ungerade.DIG", QByteArray("\x01\x02\x03\x04\x05", 5)},
        {"leer.DIG", QByteArray()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(QString::fromLatin1(c.name));
        writeFile(QString::fromLatin1(c.name), c.bytes);
        trazor().Option().SetCellsPos(40);
        window->Ui().ScrollBar1->setValue(3);
        // As a board recording leaves it: the file must not inherit its timing.
        trazor().SetTimeBase(
            sampling::TimeBase::Paced(sampling::SamplePeriod::FromNanoseconds(10'000'000)));
        desktop.clear();

        openFile(file);

        const auto requests = fileRequests(ScriptedDesktop::Call::Kind::OpenFile);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].title, QStringLiteral("Spurwerk-Datei öffnen"));
        EXPECT_EQ(requests[0].filter, kFilter);
        EXPECT_EQ(requests[0].defaultExt, QStringLiteral("DIG"));
        EXPECT_TRUE(requests[0].fileName.isEmpty());
        EXPECT_TRUE(requests[0].pathMustExist);
        EXPECT_TRUE(requests[0].createPrompt);

        EXPECT_EQ(buffer(), c.bytes);
        EXPECT_EQ(trazor().Option().CellsSize(), 0x100000) << "loading keeps the record length";
        EXPECT_EQ(window->State().CurrentFileName, file);
        EXPECT_EQ(caption(), kCaption + QStringLiteral(" - ") + file + kSimulated);
        EXPECT_EQ(trazor().Option().CellsPos(), 0);
        EXPECT_EQ(window->Ui().ScrollBar1->value(), 0);
        EXPECT_EQ(fileRow(), kAllOn);
        EXPECT_EQ(desktop.beeps(), 1);
        EXPECT_EQ(panel(4), status("Daten wurden geladen. !!!")) << "the message stays whole";
        EXPECT_EQ(window->Info(),
                  QStringLiteral("10,00 µs je Wert (angenommen, Zeitbasis unbekannt)"));
        EXPECT_EQ(trazor().GetTimeBase(), sampling::TimeBase::Nominal());
        EXPECT_TRUE(desktop.messages().empty());
    }
}

TEST_F(FileCommandsTest, AShorterFileIsRecordedOverWholeAndALongerOneReachedToItsEnd) {
    record(); // programs the port for 5-second recordings
    desktop.messageAnswers = {Desktop::Yes, Desktop::Yes, Desktop::Yes};
    // Shorter than the record length: the next recording still fills all of it.
    writeFile(QStringLiteral("kurz.DIG"), QByteArray(2000, '\x02'));
    openFile(path(QStringLiteral("kurz.DIG")));
    ASSERT_EQ(trazor().Buffer().Cells(), 1000);
    ASSERT_EQ(trazor().Option().CellsSize(), 0x80000);
    record();
    EXPECT_EQ(trazor().Buffer().Cells(), 0x80000);
    EXPECT_TRUE(window->Info().contains(QStringLiteral("524288 Werte")))
        << window->Info().toStdString();

    // Longer than the record length: the view reaches its last cell.
    const int longCells = 0x100000 + 4096;
    writeFile(QStringLiteral("lang.DIG"), QByteArray(2 * longCells, '\x01'));
    openFile(path(QStringLiteral("lang.DIG")));
    EXPECT_EQ(trazor().Option().CellsSize(), longCells);
    trazor().Option().SetCellsPos(longCells - 10);
    EXPECT_EQ(trazor().Option().CellsPos(), longCells - 10);
    // And a recording after it keeps its source's length, not the file's.
    record();
    EXPECT_EQ(trazor().Buffer().Cells(), 0x80000);
    EXPECT_EQ(trazor().Option().CellsSize(), 0x80000);
}

TEST_F(FileCommandsTest, OpenedRecordingIsDrawnFromItsStartLikeAFullRedraw) {
    // High pulses in the first cells, so traces from another position show.
    QByteArray bytes(2 * 4096, '\0');
    for (int i = 0; i < 64; i += 2)
        bytes[i] = char(0xFF);
    writeFile(QStringLiteral("pulse.DIG"), bytes);
    window->show();
    trazor().Option().SetCellsPos(3000);
    window->Ui().ScrollBar1->setValue(23);
    trigger("DatenneuAnzeigen1");

    openFile(path(QStringLiteral("pulse.DIG")));

    const QImage opened = trazor().Bitmap().copy();
    trigger("DatenneuAnzeigen1");
    EXPECT_EQ(opened, trazor().Bitmap()) << "traces and axis both start at cell 0";
}

TEST_F(FileCommandsTest, CancelledOrMissingOpenEmptiesOnlyTheFileName) {
    const QByteArray loaded("\x10\x20\x30\x40\x50\x60", 6);
    writeFile("da.DIG", loaded);
    openFile(path("da.DIG"));
    const QString loadedCaption = caption();
    trazor().Option().SetCellsPos(2);

    struct Case {
        const char* name;
        std::deque<QString> answers;
        bool missingFileMessage;
    } cases[] = {
        {"cancelled", {}, false},
        {"missing", {path("fehlt.DIG")}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.clear();
        desktop.fileAnswers = c.answers;

        trigger("ffnen1");

        const auto boxes = desktop.messages();
        ASSERT_EQ(boxes.size(), c.missingFileMessage ? 2u : 1u);
        if (c.missingFileMessage) {
            EXPECT_EQ(boxes[0].caption, QStringLiteral("Fehler"));
            EXPECT_EQ(boxes[0].text,
                      QStringLiteral("Die Datei ist nicht vorhanden !!!\rfehlt.DIG"));
            EXPECT_EQ(boxes[0].icon, Desktop::Icon::Error);
            EXPECT_EQ(boxes[0].buttons, int(Desktop::Ok));
        }
        EXPECT_EQ(boxes.back().text, QStringLiteral("Die Datei oder das Verzeichnis fehlt.\r"));
        EXPECT_EQ(boxes.back().icon, Desktop::Icon::None);
        EXPECT_EQ(boxes.back().buttons, int(Desktop::Yes));
        EXPECT_EQ(panel(4), status("Fehler, die Datei oder das Verzeichnis fehlt."));
        EXPECT_EQ(desktop.beeps(), 0);

        EXPECT_TRUE(window->State().CurrentFileName.isEmpty());
        EXPECT_EQ(buffer(), loaded);
        EXPECT_EQ(caption(), loadedCaption);
        EXPECT_EQ(fileRow(), kAllOn);
        EXPECT_EQ(trazor().Option().CellsPos(), 2);
    }

    // Without a current name the save dialog proposes the default name again.
    desktop.clear();
    trigger("Speichern1");
    const auto requests = fileRequests(ScriptedDesktop::Call::Kind::SaveFile);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].fileName, QStringLiteral("NONAME.DIG"));
    EXPECT_TRUE(requests[0].pathMustExist);
    EXPECT_TRUE(requests[0].createPrompt);
}

TEST_F(FileCommandsTest, FileAboveTheLongestBufferIsRefusedAndTheBufferStays) {
    fillPattern();
    const QByteArray before = buffer();
    {
        // Sparse: the size is there, the disk blocks are not.
        QFile big(path("riesig.DIG"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(recording::MaxRecordingFileSize + 1));
    }
    desktop.clear();

    openFile(path("riesig.DIG"));

    const auto boxes = desktop.messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, Desktop::Icon::Error);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("riesig.DIG")))
        << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("zu groß"))) << boxes[0].text.toStdString();
    EXPECT_EQ(buffer(), before);
    EXPECT_EQ(caption(), kCaption + kSimulated);
    EXPECT_EQ(window->State().CurrentFileName, QStringLiteral("NONAME.DIG"));
    EXPECT_EQ(fileRow(), kStartRow);
    EXPECT_EQ(desktop.beeps(), 0);
}

TEST_F(FileCommandsTest, SaveAndSaveAsAskWithTheirTitleAndProposalAndWriteTheBuffer) {
    writeFile("alt.DIG", QByteArray("\x05\x06", 2));
    openFile(path("alt.DIG"));
    fillPattern();
    const QString loadedCaption = caption();

    struct Case {
        const char* command;
        const char* target;
        const char* title;
        QString proposed;
        const char* message;
    } cases[] = {
        {"Speichern1", "neu.DIG", "Spurwerk - Daten speichern", path("alt.DIG"),
         "Daten werden gespeichert"},
        {"Speichernunter1", "unter.DIG", "Spurwerk - Daten speichern unter",
         QStringLiteral("NONAME.DIG"), "Daten speichern unter"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        desktop.clear();
        desktop.fileAnswers = {path(QString::fromLatin1(c.target))};

        trigger(c.command);

        const auto requests = fileRequests(ScriptedDesktop::Call::Kind::SaveFile);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].title, QString::fromUtf8(c.title));
        EXPECT_EQ(requests[0].filter, kFilter);
        EXPECT_EQ(requests[0].defaultExt, QStringLiteral("DIG"));
        EXPECT_EQ(requests[0].fileName, c.proposed);
        EXPECT_EQ(readFile(QString::fromLatin1(c.target)), buffer());
        EXPECT_EQ(panel(4), status(c.message));
        EXPECT_TRUE(desktop.messages().empty()) << "a new file needs no question";
        // Saving changes neither the current file nor the caption.
        EXPECT_EQ(window->State().CurrentFileName, path("alt.DIG"));
        EXPECT_EQ(caption(), loadedCaption);
        EXPECT_EQ(readFile(QStringLiteral("alt.DIG")), QByteArray("\x05\x06", 2));
    }
}

TEST_F(FileCommandsTest, OverwriteQuestionDecidesWhetherAnExistingFileIsReplaced) {
    trigger("NeueAufzeichnung1"); // enables "Speichern unter"
    fillPattern();
    const QByteArray old("alte Daten");
    struct Case {
        int answer;
        bool replaced;
    } cases[] = {{Desktop::No, false}, {Desktop::Yes, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        writeFile("da.DIG", old);
        desktop.clear();
        desktop.fileAnswers = {path("da.DIG")};
        desktop.messageAnswers = {c.answer};

        trigger("Speichernunter1");

        const auto boxes = desktop.messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, QStringLiteral("Spurwerk"));
        EXPECT_EQ(boxes[0].text, QStringLiteral("Die Datei da.DIG ist schon vorhanden !\rSoll "
                                                "diese Datei überschrieben werden ?\r"));
        EXPECT_EQ(boxes[0].icon, Desktop::Icon::None);
        EXPECT_EQ(boxes[0].buttons, int(Desktop::Yes | Desktop::No));
        EXPECT_EQ(readFile(QStringLiteral("da.DIG")), c.replaced ? buffer() : old);
    }
}

TEST_F(FileCommandsTest, CancelledSaveDialogWritesNothing) {
    writeFile("alt.DIG", QByteArray("\x05\x06", 2));
    openFile(path("alt.DIG"));
    fillPattern();
    for (const char* command : {"Speichern1", "Speichernunter1"}) {
        SCOPED_TRACE(command);
        desktop.clear();
        trigger(command);
        EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::SaveFile), 1);
        EXPECT_TRUE(desktop.messages().empty());
        EXPECT_EQ(files(), QStringList{QStringLiteral("alt.DIG")});
        EXPECT_EQ(readFile(QStringLiteral("alt.DIG")), QByteArray("\x05\x06", 2));
    }
}

TEST_F(FileCommandsTest, OpenOnAPipeIsRefusedAtOnceAndTheBufferStays) {
    fillPattern();
    const QByteArray before = buffer();
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.DIG"))).constData(), 0600), 0);
    desktop.messageAnswers = {Desktop::Ok};

    openFile(path(QStringLiteral("pipe.DIG")));

    const auto boxes = desktop.messages();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].icon, Desktop::Icon::Error);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Die Datei ") + path(QStringLiteral("pipe.DIG")) +
                                 QStringLiteral(" ist keine gewöhnliche Datei (etwa eine Pipe "
                                                "oder ein Gerät) und wird nicht verwendet."));
    EXPECT_EQ(buffer(), before);
    EXPECT_EQ(caption(), kCaption + kSimulated);
}

TEST_F(FileCommandsTest, CloseWritesARecordingToNonameInTheCurrentFolderWithoutADialog) {
    record();
    const QByteArray first = buffer();
    desktop.clear();

    trigger("Schliessen1");

    EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::SaveFile), 0);
    EXPECT_TRUE(desktop.messages().empty()) << "no file was there to replace";
    EXPECT_EQ(files(), QStringList{QStringLiteral("NONAME.DIG")});
    EXPECT_EQ(readFile(QStringLiteral("NONAME.DIG")), first);
    EXPECT_EQ(buffer(), first) << "closing does not clear the buffer";
    EXPECT_EQ(panel(4), status("Daten oder Datei schließen"));
    EXPECT_EQ(caption(), kCaption + kSimulated);
    EXPECT_EQ(fileRow(), kAllOff);
    EXPECT_FALSE(window->HasUnsavedRecording());

    // Now the file exists: the next close asks, and "Nein" writes nothing but
    // closes all the same.
    for (const int answer : {Desktop::No, Desktop::Yes}) {
        SCOPED_TRACE(answer);
        record();
        desktop.clear();
        desktop.messageAnswers = {answer};
        trigger("Schliessen1");
        const auto boxes = desktop.messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, QStringLiteral("Die Datei NONAME.DIG ist schon vorhanden !\rSoll "
                                                "diese Datei überschrieben werden ?\r"));
        EXPECT_EQ(readFile(QStringLiteral("NONAME.DIG")),
                  answer == Desktop::Yes ? buffer() : first);
        EXPECT_EQ(fileRow(), kAllOff);
        EXPECT_EQ(window->HasUnsavedRecording(), answer == Desktop::No)
            << "a recording not written stays unsaved, and quitting asks";
        EXPECT_EQ(files(), QStringList{QStringLiteral("NONAME.DIG")})
            << "no temporary file is left";
    }
}

TEST_F(FileCommandsTest, CloseWritesBackIntoTheFileLoadedLastAfterAsking) {
    const QByteArray old("\x10\x20\x30\x40", 4);
    struct Case {
        const char* what;
        bool recordFirst;
        int answer;
    } cases[] = {{"a new recording, Nein", true, Desktop::No},
                 {"a new recording, Ja", true, Desktop::Yes},
                 {"the loaded file itself, Ja", false, Desktop::Yes}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(QStringLiteral("alt.DIG"), old);
        openFile(path(QStringLiteral("alt.DIG")));
        if (c.recordFirst) record();
        desktop.clear();
        desktop.messageAnswers = {c.answer};

        trigger("Schliessen1");

        const auto boxes = desktop.messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, QStringLiteral("Die Datei alt.DIG ist schon vorhanden !\rSoll "
                                                "diese Datei überschrieben werden ?\r"));
        EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::SaveFile), 0);
        EXPECT_EQ(readFile(QStringLiteral("alt.DIG")), c.answer == Desktop::Yes ? buffer() : old);
        EXPECT_EQ(fileRow(), kAllOff);
        EXPECT_EQ(files(), QStringList{QStringLiteral("alt.DIG")});
    }
}

TEST_F(FileCommandsTest, CloseAfterAnOpenThatLoadedNothingWritesNoname) {
    writeFile(QStringLiteral("da.DIG"), QByteArray("\x10\x20\x30\x40", 4));
    openFile(path(QStringLiteral("da.DIG")));
    trigger("ffnen1"); // cancelled: the current name is empty now
    ASSERT_TRUE(window->State().CurrentFileName.isEmpty());
    desktop.clear();

    trigger("Schliessen1");

    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_EQ(files(), (QStringList{QStringLiteral("NONAME.DIG"), QStringLiteral("da.DIG")}));
    EXPECT_EQ(readFile(QStringLiteral("NONAME.DIG")), readFile(QStringLiteral("da.DIG")));
    EXPECT_EQ(fileRow(), kAllOff);
}

TEST_F(FileCommandsTest, CloseThatCannotWriteKeepsTheRecordingSaveable) {
    record();
    const QByteArray recorded = buffer();
    ASSERT_TRUE(QDir::current().mkdir(QStringLiteral("NONAME.DIG"))); // in the way of the file
    desktop.clear();
    desktop.messageAnswers = {Desktop::Yes};

    trigger("Schliessen1");

    const auto boxes = desktop.messages();
    ASSERT_EQ(boxes.size(), 2u) << "the overwrite question, then the error";
    EXPECT_EQ(boxes[1].icon, Desktop::Icon::Error);
    EXPECT_TRUE(boxes[1].text.contains(QStringLiteral("NONAME.DIG")))
        << boxes[1].text.toStdString();
    EXPECT_EQ(buffer(), recorded);
    EXPECT_EQ(fileRow(), kAllOn) << "the recording is stored nowhere yet";
    EXPECT_TRUE(window->HasUnsavedRecording());
}

class PrintCommandsTest : public FileCommandsTest {
  protected:
    void SetUp() override {
        FileCommandsTest::SetUp();
        pdf = path(QStringLiteral("diagramm.pdf"));
        window->File().SetPrinterFactory([this] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return printer;
        });
        trigger("NeueAufzeichnung1"); // enables "Drucken"
        desktop.clear();
    }
    QString pdf;
};

TEST_F(PrintCommandsTest, PrintWritesTheDiagramAndACancelledDialogNothing) {
    trigger("Drucken1");
    EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::Print), 1);
    EXPECT_EQ(panel(4), status("Fehler, durch Druckabbruch !"));
    EXPECT_FALSE(QFile::exists(pdf));

    desktop.clear();
    desktop.printAnswers = {true};
    trigger("Drucken1");

    EXPECT_EQ(panel(4), status("Daten sollen gedruckt werden."));
    EXPECT_TRUE(desktop.messages().empty());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.startsWith("%PDF"));
    EXPECT_TRUE(content.contains("/Subtype /Image")) << "the diagram's picture is on the page";
}

TEST_F(PrintCommandsTest, PrinterThatCannotStartReportsAnErrorAndTheWindowRunsOn) {
    window->File().SetPrinterFactory([this] {
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path(QStringLiteral("fehlt/diagramm.pdf")));
        return printer;
    });
    desktop.printAnswers = {true};

    trigger("Drucken1");

    const auto boxes = desktop.messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, Desktop::Icon::Error);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Der Druckauftrag kann nicht begonnen werden."));
    EXPECT_EQ(fileRow(), (FileRow{false, true, false, true, true}));
}

TEST_F(PrintCommandsTest, PrinterSetupShowsItsDialogAndMessage) {
    trigger("Druckeneinrichten1");
    EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::PrinterSetup), 1);
    EXPECT_EQ(panel(4), status("Drucker einrichten."));
    EXPECT_TRUE(window->Ui().Timer2->isActive());
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintCommandsTest, PrintJobTakesThePageChosenInThePrinterSetUp) {
    std::vector<QPageLayout::Orientation> seen;
    desktop.onPrinterDialog = [&](QPrinter& printer) {
        if (seen.empty()) printer.setPageOrientation(QPageLayout::Landscape); // the user's set-up
        seen.push_back(printer.pageLayout().orientation());
    };
    desktop.printAnswers = {true, true};

    trigger("Druckeneinrichten1");
    trigger("Drucken1");

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], QPageLayout::Landscape) << "the print dialog opens with the set-up page";
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
            .match(QString::fromLatin1(file.readAll()));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_GT(box.captured(1).toDouble(), box.captured(2).toDouble())
        << "the page is printed landscape";
}

namespace {

// The first page of a PDF as poppler draws it, at `dpi`; null when it cannot.
QImage renderPdfPage(const QString& pdf, int dpi) {
    const QString base = pdf + QStringLiteral("-seite");
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                    QStringLiteral("-singlefile"), pdf, base});
    if (!pdftoppm.waitForFinished(20'000) || pdftoppm.exitCode() != 0) return QImage();
    return QImage(base + QStringLiteral(".png"));
}

// The smallest rectangle that holds every pixel of the diagram's yellow background.
QRect yellowArea(const QImage& page) {
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() < 80) box |= QRect(x, y, 1, 1);
        }
    return box;
}

} // namespace

// The print job here is the one the program itself creates; the dialog only
// does what a user does there: choose the page and print into a file.
class OwnPrinterTest : public FileCommandsTest {
  protected:
    void SetUp() override {
        FileCommandsTest::SetUp();
        window->show();
        trigger("NeueAufzeichnung1");
        trazor().Option().SetColorBackground(0x00FFFF); // yellow: red and green
        desktop.clear();
    }
};

TEST_F(OwnPrinterTest, TheWholeDiagramLiesOnThePageWhateverPageWasChosen) {
    struct Case {
        const char* what;
        QPageSize::PageSizeId size;
        QPageLayout::Orientation orientation;
        int windowWidth;
        bool fitsAsItIs; // 300 printer pixels to the inch, nothing shrunk
    } cases[] = {
        {"A4 landscape", QPageSize::A4, QPageLayout::Landscape, 864, true},
        {"A4 portrait", QPageSize::A4, QPageLayout::Portrait, 864, false},
        {"A5 portrait", QPageSize::A5, QPageLayout::Portrait, 864, false},
        {"Letter landscape, wide window", QPageSize::Letter, QPageLayout::Landscape, 1500, false},
    };
    constexpr int kDpi = 60;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window->resize(c.windowWidth, window->height());
        QCoreApplication::processEvents();
        const QString pdf = path(QString::fromLatin1(c.what) + QStringLiteral(".pdf"));
        QMarginsF margins;
        desktop.onPrinterDialog = [&](QPrinter& printer) {
            printer.setPageSize(QPageSize(c.size));
            printer.setPageOrientation(c.orientation);
            printer.setOutputFileName(pdf);
            margins = printer.pageLayout().margins(QPageLayout::Inch);
        };
        desktop.printAnswers = {true};
        trigger("Drucken1");

        const QByteArray bytes = readFile(QFileInfo(pdf).fileName());
        ASSERT_TRUE(bytes.startsWith("%PDF")) << bytes.left(20).constData();
        EXPECT_FALSE(bytes.contains("/DCTDecode")) << "the picture is stored without JPEG";

        const QImage page = renderPdfPage(pdf, kDpi);
        ASSERT_FALSE(page.isNull()) << "pdftoppm (poppler-utils) must be installed";
        const QRect drawn = yellowArea(page);
        ASSERT_TRUE(drawn.isValid());
        const QRect target = PrintTargetRect(trazor().geometry());
        const double expectedAspect = double(target.width()) / target.height();
        EXPECT_NEAR(double(drawn.width()) / drawn.height(), expectedAspect, 0.03)
            << "a cropped diagram would change its proportions";
        const QRectF printable = QRectF(QPointF(0, 0), QSizeF(page.size()))
                                     .adjusted(margins.left() * kDpi, margins.top() * kDpi,
                                               -margins.right() * kDpi, -margins.bottom() * kDpi);
        EXPECT_TRUE(printable.adjusted(-1, -1, 1, 1).contains(QRectF(drawn)))
            << "drawn " << drawn.x() << "," << drawn.y() << " " << drawn.width() << "x"
            << drawn.height() << " on a page of " << page.width() << "x" << page.height();
        if (c.fitsAsItIs) {
            EXPECT_NEAR(drawn.width(), target.width() * kDpi / kPrinterPixelsPerInch, 2);
        }
    }
}

// What a user measured is on the paper: the cursors lie on the printed page
// where they lie on the screen, scaled with the diagram.
TEST_F(OwnPrinterTest, MeasuringCursorsArePrintedWhereTheScreenShowsThem) {
    window->resize(864, window->height());
    QCoreApplication::processEvents();
    trazor().SetCursorCell(0, trazor().VisibleCells() / 4);
    trazor().SetCursorCell(1, trazor().VisibleCells() / 2);
    const QImage plain = trazor().Bitmap().convertToFormat(QImage::Format_RGB32);
    const QImage marked = trazor().PictureWithMarks().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(plain.devicePixelRatio(), 1.0);
    // A row of empty ground on which both dashed lines have a dash.
    int row = -1;
    std::vector<int> screenX;
    for (int y = 0; y < plain.height() && row < 0; ++y) {
        std::vector<int> xs;
        bool ground = true;
        for (int x = 0; x < plain.width(); ++x) {
            ground = ground && plain.pixel(x, y) == plain.pixel(0, y);
            if (marked.pixel(x, y) != plain.pixel(x, y)) xs.push_back(x);
        }
        if (ground && xs.size() == 2) {
            row = y;
            screenX = xs;
        }
    }
    ASSERT_GE(row, 0) << "no row shows both cursors on empty ground";

    const QString pdf = path(QStringLiteral("cursors.pdf"));
    desktop.onPrinterDialog = [&](QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setOutputFileName(pdf);
    };
    desktop.printAnswers = {true};
    trigger("Drucken1");

    constexpr int kDpi = 100;
    const QImage page = renderPdfPage(pdf, kDpi);
    ASSERT_FALSE(page.isNull()) << "pdftoppm (poppler-utils) must be installed";
    const QRect drawn = yellowArea(page);
    ASSERT_TRUE(drawn.isValid());
    const double scaleX = double(drawn.width()) / plain.width();
    const double scaleY = double(drawn.height()) / plain.height();
    const int pageY = drawn.top() + int((row + 0.5) * scaleY);
    for (const int x : screenX) {
        const int expected = drawn.left() + int((x + 0.5) * scaleX);
        bool found = false;
        for (int px = expected - 2; px <= expected + 2 && !found; ++px) {
            const QColor c = page.pixelColor(px, pageY);
            found = c.green() < 200 || c.blue() > 100; // neither yellow ground nor white
        }
        EXPECT_TRUE(found) << "no cursor printed near page x " << expected << " (screen x " << x
                           << ")";
    }
}
