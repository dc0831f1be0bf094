#include "MainWindowFixture.h"
#include "../sigrokdecode/SignalSynth.h"

#include "app/DecodeCommands.h"
#include "app/PrintedView.h"
#include "app/ViewCommands.h"
#include "decodeview/AnnotationRowsView.h"
#include "decodeview/AnnotationTableModel.h"
#include "decodeview/DecodeWindow.h"
#include "decodeview/DecoderSetupDialog.h"
#include "display/TrazorGeometry.h"
#include "display/TrazorOptions.h"
#include "persistence/IniRegistry.h"
#include "persistence/ProgramConfig.h"
#include "sigrok/decode/DecodeSetup.h"
#include "sigrok/decode/Library.h"

#include <QApplication>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <gmock/gmock.h>

using ::testing::HasSubstr;
using sigrokdecode::ParseStack;

namespace {

class DecodeCommandsTest : public MainWindowTest {
  protected:
    DecodeCommands& decode() { return window->Decode(); }

    // A UART text on D00 at 9600 baud, sampled at 1 MHz.
    void loadUart(const std::string& text) {
        SignalSynth s;
        s.Hold(100);
        s.Uart(0, text, 1e6, 9600);
        s.Hold(300);
        trazor().LoadStream(s.Planes());
        trazor().SetTimeBase(sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000)));
    }
    std::string decodedText() {
        std::string out;
        const auto& all = decode().Annotations();
        for (std::size_t i = 0; i < all.Count(); ++i)
            if (all.ClassId(all.At(i)) == "rx-data") out += all.Text(all.At(i));
        return out;
    }
    void apply(const std::string& stack) {
        decode().ApplySetup({ParseStack(stack)});
        decode().WaitForRun();
    }
};

} // namespace

TEST_F(DecodeCommandsTest, MenuOpensTheProgramsSetupDialogAndDecodesTheBuffer) {
    loadUart("Spurwerk");
    // The program's own dialog, filled in as a user would.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<DecoderSetupDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->SelectDecoder("uart");
        dialog->SetField("rx", QStringLiteral("D00"));
        dialog->SetField("baudrate", QStringLiteral("9600"));
        dialog->SetField("format", QStringLiteral("ascii"));
        EXPECT_TRUE(dialog->AddAsNew());
        dialog->accept();
    });
    trigger("ProtokollDekodieren1");
    decode().WaitForRun();
    EXPECT_EQ(decodedText(), "Spurwerk");
    ASSERT_EQ(decode().CurrentStacks().size(), 1u);
    EXPECT_EQ(sigrokdecode::StackText(decode().CurrentStacks()[0]), "uart:rx=D00:baudrate=9600:format=ascii");
    // Remembered in the program's configuration, not in the display options' file.
    EXPECT_THAT(ReadTestFile(ProgramConfig::DefaultPath()).toStdString(),
                HasSubstr("uart:rx=D00:baudrate=9600:format=ascii"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("Spurwerk.ini"))));
    ASSERT_NE(decode().Window(), nullptr);
    EXPECT_FALSE(decode().Rows().ShownRows().empty());
    EXPECT_EQ(decode().Window()->ListModel().Total(), decode().Annotations().Count());
}

TEST_F(DecodeCommandsTest, ChangedBufferIsDecodedAgain) {
    loadUart("eins");
    apply("uart:rx=D00:baudrate=9600:format=ascii");
    EXPECT_EQ(decodedText(), "eins");
    loadUart("zwei");
    decode().Poll();
    decode().WaitForRun();
    EXPECT_EQ(decodedText(), "zwei");
}

TEST_F(DecodeCommandsTest, ListClickMovesTheDiagramAndTheRowsFollow) {
    loadUart("abcdefgh");
    apply("uart:rx=D00:baudrate=9600:format=ascii");
    const auto& all = decode().Annotations();
    std::int64_t last = -1;
    for (std::size_t i = 0; i < all.Count(); ++i)
        if (all.ClassId(all.At(i)) == "rx-data") last = std::int64_t(i);
    ASSERT_GE(last, 0);
    const auto start = std::int64_t(all.At(std::size_t(last)).start);
    // Scrolled down to it as a user would, then clicked.
    decode().Window()->ListScroll().setValue(int(last));
    const auto& model = decode().Window()->ListModel();
    const int row = int(last - std::int64_t(model.First()));
    ASSERT_EQ(model.ClassId(row), "rx-data");
    QTableView& list = decode().Window()->List();
    emit list.clicked(model.index(row, 0));
    const int pos = trazor().Option().CellsPos();
    EXPECT_GT(pos, 0);
    EXPECT_LE(pos, start);
    EXPECT_GT(pos + trazor().VisibleCells(), start);
    // The rows moved with the diagram, without waiting for a poll.
    EXPECT_EQ(decode().Rows().View().firstCell, pos);
    EXPECT_EQ(decode().Rows().View().scale, trazor().Scale());
}

// The rows as a user sees them: in the main window under the diagram's time
// axis, at the x of the edges they decode, at a zoom step and fitted whole.
TEST_F(DecodeCommandsTest, UartRowsLieUnderTheTracesAndStayAlignedWhenAllIsShown) {
    window->show();
    loadUart("Spurwerk");
    apply("uart:rx=D00:baudrate=9600:format=ascii");
    QCoreApplication::processEvents();
    const QScrollArea& panel = decode().RowsPanel();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.parentWidget(), trazor().parentWidget());
    EXPECT_EQ(panel.x(), trazor().x());
    EXPECT_EQ(panel.width(), trazor().width());
    const int axis = trazor::axisY(trazor().LineOption().Line_distance(), trazor().Option().Digits(),
                                   trazor().LineOption().Line_Maxhigh());
    EXPECT_GT(panel.y(), trazor().y() + axis);
    EXPECT_LE(panel.geometry().bottom(), trazor().geometry().bottom());
    const AnnotationRowsView& rows = decode().Rows();
    EXPECT_GE(panel.height(), rows.RowsHeight()); // every row shown

    const auto& all = decode().Annotations();
    const auto firstData = [&] {
        for (std::size_t i = 0; i < all.Count(); ++i)
            if (all.ClassId(all.At(i)) == "rx-data") return all.At(i);
        return all.At(0);
    }();
    const int dataRow = int(std::find(rows.ShownRows().begin(), rows.ShownRows().end(), firstData.row) -
                            rows.ShownRows().begin());
    // The full row name, decoder and row.
    EXPECT_EQ(rows.RowNameAt(QPoint(2, rows.RowTop(dataRow) + 2)),
              QStringLiteral("uart-1 RX"));
    const auto itemAt = [&](long long cell) {
        const int x = int(rows.View().XOf(cell));
        return rows.ItemAt(QPoint(x, rows.RowTop(dataRow) + 10));
    };
    for (const char* command : {"", "Alleszeigen1"}) {
        if (*command) trigger(command);
        else window->View().ShowCell(std::int64_t(firstData.start));
        QCoreApplication::processEvents();
        SCOPED_TRACE(command);
        EXPECT_EQ(rows.View().firstCell, trazor().Option().CellsPos());
        EXPECT_EQ(rows.View().scale, trazor().Scale());
        EXPECT_EQ(rows.View().originX, trazor().LineOption().Global_Xpos());
        // The pixel of the first character's start bit holds its annotation
        // (a box at the zoom step, a band or box when everything is shown).
        ASSERT_LT(rows.View().XOf(std::int64_t(firstData.start)), rows.width());
        const auto item = itemAt(std::int64_t(firstData.start));
        ASSERT_TRUE(item.has_value());
        if (!item->band) {
            EXPECT_EQ(all.Text(all.InRow(firstData.row, item->first)), "S");
        }
    }
    // Fitted whole: the last annotation lies in the view, left of the right edge.
    EXPECT_TRUE(trazor().ZoomedOut());
    const auto lastOne = all.At(all.Count() - 1);
    EXPECT_LT(rows.View().XOf(std::int64_t(lastOne.end)), rows.width());
    EXPECT_TRUE(itemAt(std::int64_t(lastOne.start)).has_value());
}

// A print shows the decoder rows as they lie over the diagram's lower part,
// and without rows it is the diagram's own picture.
TEST_F(DecodeCommandsTest, PrintedViewCarriesTheDecoderRows) {
    window->show();
    loadUart("Spurwerk");
    const std::vector<QWidget*> rows = {&decode().RowsPanel()};
    const PrintedView before = ComposePrintedView(trazor(), rows);
    EXPECT_EQ(before.geometry, trazor().geometry());
    EXPECT_EQ(before.picture, trazor().Bitmap());

    apply("uart:rx=D00:baudrate=9600:format=ascii");
    QCoreApplication::processEvents();
    const QScrollArea& panel = decode().RowsPanel();
    ASSERT_TRUE(panel.isVisible());
    const PrintedView view = ComposePrintedView(trazor(), rows);
    const QRect shown = trazor().geometry() | panel.geometry();
    EXPECT_EQ(view.geometry, QRect(trazor().x(), trazor().y(), trazor().width(), shown.height()));
    const QImage printedRows =
        view.picture.copy(QRect(panel.geometry().topLeft() - view.geometry.topLeft(), panel.size()))
            .convertToFormat(QImage::Format_RGB32);
    const QImage screenRows =
        const_cast<QScrollArea&>(panel).grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(printedRows, screenRows);
    // The traces above stay the diagram's own pixels.
    const QRect traces(0, 0, trazor().width(), panel.y() - trazor().y());
    EXPECT_EQ(view.picture.copy(traces).convertToFormat(QImage::Format_RGB32),
              trazor().Bitmap().copy(traces).convertToFormat(QImage::Format_RGB32));
}

TEST_F(DecodeCommandsTest, ExportWritesTextOrCsvByTheChosenName) {
    loadUart("OK");
    apply("uart:rx=D00:baudrate=9600:format=ascii");
    for (const QString& name : {QStringLiteral("ann.csv"), QStringLiteral("ann.txt")}) {
        desktop.fileAnswers.push_back(path(name));
        trigger("AnnotationenExportieren1");
        const std::string text = readFile(name).toStdString();
        if (name.endsWith(QStringLiteral(".csv"))) {
            EXPECT_THAT(text, HasSubstr("start_s,end_s,start_sample,end_sample,decoder,row,text\n"));
            EXPECT_THAT(text, HasSubstr(",\"uart-1\",\"rx-data\",\"O\"\n"));
        } else {
            EXPECT_THAT(text, HasSubstr("\tuart-1\tRX\tO\n"));
        }
    }
}

TEST_F(DecodeCommandsTest, FailingDecoderGivesAGermanMessageAndTheProgramRunsOn) {
    loadUart("x");
    apply("uart:rx=D00:baudrate=0");
    EXPECT_THAT(lastMessage().toStdString(), HasSubstr("Dekodierung fehlgeschlagen"));
    // The decoder's own exception.
    EXPECT_THAT(lastMessage().toStdString(), HasSubstr("Dekodierung (uart-1)"));
    EXPECT_THAT(decode().Window()->Status().text().toStdString(), HasSubstr("fehlgeschlagen"));
    EXPECT_EQ(decode().Annotations().Count(), 0u);
    apply("uart:rx=D00:baudrate=9600:format=ascii");
    EXPECT_EQ(decodedText(), "x");
}

TEST_F(DecodeCommandsTest, SetupNamingNoLineIsRefusedThroughTheGuard) {
    window->RunGuarded([this] { decode().ApplySetup({ParseStack("uart:rx=D42")}); });
    EXPECT_THAT(lastMessage().toStdString(), HasSubstr("die Leitung \"D42\" gibt es nicht"));
    EXPECT_TRUE(decode().CurrentStacks().empty());
}

TEST_F(DecodeCommandsTest, SetupSurvivesTheConfigurationAndABrokenEntryStartsWithout) {
    DecodeCommands::WriteSetup(window->Config(), {ParseStack("i2c:scl=D00:sda=D01,eeprom24xx"),
                                                  ParseStack("uart:rx=D03")});
    const auto back = DecodeCommands::ReadSetup(ProgramConfig(ProgramConfig::DefaultPath()));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(sigrokdecode::StackText(back[0]), "i2c:scl=D00:sda=D01,eeprom24xx");
    EXPECT_EQ(sigrokdecode::StackText(back[1]), "uart:rx=D03");

    // A decoder the library no longer has: the window starts and says so.
    window.reset();
    {
        ProgramConfig config(ProgramConfig::DefaultPath());
        DecodeCommands::WriteSetup(config, {ParseStack("gibtsnicht:rx=D00")});
    }
    SetUp();
    ASSERT_EQ(window->Decode().CurrentStacks().size(), 1u);
    window->Decode().Poll();
    ASSERT_NE(window->Decode().Window(), nullptr);
    EXPECT_THAT(window->Decode().Window()->Status().text().toStdString(), HasSubstr("Unbekannter Dekodierer"));
}

TEST(DecoderSetupDialogTest, StacksADeviceDecoderOnI2cAndRefusesAMissingChannel) {
    auto library = sigrokdecode::Library::Shared();
    DecoderSetupDialog dialog(library->Decoders(), std::vector<std::string>(16), {});
    dialog.SelectDecoder("i2c");
    dialog.SetField("scl", QStringLiteral("D00"));
    EXPECT_FALSE(dialog.AddAsNew());
    EXPECT_THAT(dialog.ErrorText().toStdString(), HasSubstr("SDA"));
    dialog.SetField("sda", QStringLiteral("D01"));
    ASSERT_TRUE(dialog.AddAsNew());
    dialog.SelectDecoder("eeprom24xx");
    ASSERT_TRUE(dialog.StackOnSelected());
    ASSERT_EQ(dialog.Stacks().size(), 1u);
    EXPECT_EQ(sigrokdecode::StackText(dialog.Stacks()[0]), "i2c:scl=D00:sda=D01,eeprom24xx");
    // UART cannot sit on I2C.
    dialog.SelectDecoder("uart");
    EXPECT_FALSE(dialog.StackOnSelected());
}

// An option shows the name the command line takes, with the library's
// description beside it unless that only repeats the name.
TEST(DecoderSetupDialogTest, OptionsShowTheirNameAndTheLibrarysDescription) {
    EXPECT_EQ(OptionLabelText("baudrate", "Baud rate"), QStringLiteral("baudrate (Baud rate)"));
    EXPECT_EQ(OptionLabelText("parity", "Parity"), QStringLiteral("parity"));
    EXPECT_EQ(OptionLabelText("bit_order", "Bit order"), QStringLiteral("bit_order (Bit order)"));
    EXPECT_EQ(OptionLabelText("format", ""), QStringLiteral("format"));

    auto library = sigrokdecode::Library::Shared();
    DecoderSetupDialog dialog(library->Decoders(), std::vector<std::string>(16), {});
    dialog.SelectDecoder("uart");
    auto* field = dialog.findChild<QWidget*>(QStringLiteral("field_baudrate"));
    ASSERT_NE(field, nullptr);
    auto* form = dialog.findChild<QFormLayout*>();
    ASSERT_NE(form, nullptr);
    auto* label = qobject_cast<QLabel*>(form->labelForField(field));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("baudrate (")))
        << label->text().toStdString();
}
