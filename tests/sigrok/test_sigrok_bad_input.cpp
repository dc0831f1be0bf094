#include "ExchangeFixture.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokExport.h"
#include "sigrok/SigrokImport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using sigrok::ExchangeFormat;

class BadInput : public ExchangeTest, public ::testing::Test {
  protected:
    // The message of the error an import raises, or "<no error>".
    std::string ImportError(ExchangeFormat format, const std::string& path) {
        try {
            sigrok::ImportFile(context, format, path, 1 << 20);
        } catch (const sigrok::Error& e) {
            return e.what();
        }
        return "<no error>";
    }
};

TEST_F(BadInput, TruncatedSessionFile) {
    sigrok::ExportFile(context, FramesOf(DigWithEdges(20000)), ExchangeFormat::Session,
                       Path("whole.sr"));
    const QByteArray whole = FileBytes(Path("whole.sr"));
    for (const qsizetype keep :
         {qsizetype(0), qsizetype(30), whole.size() / 2, whole.size() - 10}) {
        WriteBytes(Path("cut.sr"), whole.left(keep));
        const std::string message = ImportError(ExchangeFormat::Session, Path("cut.sr"));
        EXPECT_NE(message, "<no error>") << "kept " << keep << " bytes";
        EXPECT_NE(message.find(Path("cut.sr")), std::string::npos) << message;
    }
}

TEST_F(BadInput, FilesWithoutLogicDataOrWithText) {
    struct Case {
        ExchangeFormat format;
        const char* name;
        const char* content;
    };
    const Case cases[] = {
        {ExchangeFormat::Vcd, "real.vcd",
         "$timescale 1 us $end\n$scope module top $end\n$var real 64 ! voltage $end\n"
         "$upscope $end\n$enddefinitions $end\n#0\nr1.5 !\n#10\nr2.5 !\n"},
        {ExchangeFormat::Vcd, "novars.vcd",
         "$timescale 1 us $end\n$enddefinitions $end\n#0\n#10\n"},
        {ExchangeFormat::Vcd, "garbage.vcd", "this is not a value change dump\n"},
        {ExchangeFormat::Csv, "text.csv", "a,b\nhallo,welt\nnoch,mehr\n"},
        {ExchangeFormat::Csv, "empty.csv", ""},
        {ExchangeFormat::Session, "text.sr", "kein zip"},
    };
    for (const Case& c : cases) {
        WriteBytes(Path(c.name), c.content);
        EXPECT_NE(ImportError(c.format, Path(c.name)), "<no error>") << c.name;
    }
}

TEST_F(BadInput, HugeGapsInAVcdCostOnlyWhatIsTaken) {
    // Picosecond steps with gaps of seconds: read out in full, these would be
    // more than 10^12 samples.
    WriteBytes(Path("gaps.vcd"),
               "$timescale 1 ps $end\n$scope module top $end\n$var wire 1 ! clk $end\n"
               "$upscope $end\n$enddefinitions $end\n#0 1!\n#1000000000000 0!\n"
               "#2000000000000 1!\n#3000000000000 0!\n");
    const sigrok::ImportResult result =
        sigrok::ImportFile(context, ExchangeFormat::Vcd, Path("gaps.vcd"), 4096);
    EXPECT_TRUE(result.cut);
    EXPECT_EQ(result.frames.names, std::vector<std::string>{"clk"});
    EXPECT_EQ(result.frames.samples, std::vector<std::uint16_t>(4096, 1));
}

TEST_F(BadInput, UnreadableFiles) {
    for (const ExchangeFormat format :
         {ExchangeFormat::Session, ExchangeFormat::Vcd, ExchangeFormat::Csv}) {
        EXPECT_NE(ImportError(format, Path("missing.sr")), "<no error>");
        EXPECT_NE(ImportError(format, dir.path().toStdString()), "<no error>");
        ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600) == 0 || errno == EEXIST, true);
        EXPECT_NE(ImportError(format, Path("pipe")).find("keine gewöhnliche Datei"),
                  std::string::npos);
    }
}

} // namespace

// libsigrok's reasons reach the user in German; an unknown code keeps the
// library's own words after its number.
TEST(SigrokErrorText, ReasonsAreGerman) {
    EXPECT_EQ(sigrok::ErrorCodeText(-8), "Zeitüberschreitung");   // SR_ERR_TIMEOUT
    EXPECT_EQ(sigrok::ErrorCodeText(-11), "Ein-/Ausgabefehler"); // SR_ERR_IO
    EXPECT_EQ(sigrok::ErrorCodeText(-99).rfind("Fehler -99 (", 0), 0u);
}
