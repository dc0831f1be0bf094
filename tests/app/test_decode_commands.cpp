#include "MainWindowFixture.h"
#include "../sigrokdecode/SignalSynth.h"

#include "app/DecodeCommands.h"
#include "app/ViewCommands.h"
#include "decodeview/AnnotationRowsView.h"
#include "decodeview/AnnotationTableModel.h"
#include "decodeview/DecodeWindow.h"
#include "decodeview/DecoderSetupDialog.h"
#include "display/TrazorOptions.h"
#include "persistence/IniRegistry.h"
#include "persistence/ProgramConfig.h"
#include "sigrok/decode/DecodeSetup.h"
#include "sigrok/decode/Library.h"

#include <QApplication>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
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
        for (const auto& a : decode().Result().annotations)
            if (a.classId == "rx-data") out += a.Text();
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
    EXPECT_FALSE(decode().Window()->Rows().ShownRows().empty());
    EXPECT_EQ(decode().Window()->ListModel().rowCount(), int(decode().Result().annotations.size()));
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
    const auto& model = decode().Window()->ListModel();
    int last = -1;
    for (int r = 0; r < model.rowCount(); ++r)
        if (model.At(r)->classId == "rx-data") last = r;
    ASSERT_GE(last, 0);
    const auto start = std::int64_t(model.At(last)->start);
    QTableView& list = decode().Window()->List();
    emit list.clicked(model.index(last, 0));
    const int pos = trazor().Option().CellsPos();
    EXPECT_LE(pos, start);
    EXPECT_GT(pos + trazor().VisibleCells(), start);
    decode().Poll();
    EXPECT_EQ(decode().Window()->Rows().Mapping().firstCell, pos);
    EXPECT_EQ(decode().Window()->Rows().Mapping().cellWidth,
              trazor().LineOption().Line_length() * trazor().Option().TimeStep());
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
    EXPECT_TRUE(decode().Result().annotations.empty());
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
