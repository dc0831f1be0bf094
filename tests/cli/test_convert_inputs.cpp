#include "cli/ConvertCommand.h"
#include "cli/DecodeCommand.h"
#include "cli/RecordingExchange.h"
#include "sigrok/SigrokContext.h"
#include "sigrok/SigrokImport.h"

#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

template <typename Fn> Outcome Command(Fn command, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    Outcome r;
    r.status = command(args, {out, err});
    r.out = out.str();
    r.err = err.str();
    return r;
}

// A session file of 32 channels D0..D31 from sigrok-cli's demo device with its
// incremental pattern: byte k of sample i is (4 i + k) mod 256.
class WideInput : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        QProcess p;
        p.setStandardInputFile(QProcess::nullDevice());
        p.start("sigrok-cli",
                {"-d", "demo:logic_channels=32:analog_channels=0", "--channel-group", "Logic", "-c",
                 "pattern=incremental", "--samples", "300", "-o", dir->filePath("wide.sr")});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    static void TearDownTestSuite() { delete dir; }

    static std::string Path(const char* name) { return dir->filePath(name).toStdString(); }

    static sigrok::LogicFrames Back(const char* name) {
        sigrok::Context context;
        return cli::ReadRecording(context, Path(name));
    }

    static std::uint8_t Byte(std::size_t sample, int k) { return std::uint8_t(4 * sample + k); }

    static inline QTemporaryDir* dir = nullptr;
};

TEST_F(WideInput, ChannelsChooseWhichSixteenAndInWhichOrder) {
    const Outcome r = Command(
        cli::RunConvert, {"--channels", "D31-D24,D8,D0-D6", Path("wide.sr"), Path("chosen.sr")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const sigrok::LogicFrames frames = Back("chosen.sr");
    ASSERT_EQ(frames.Lines(), 16);
    EXPECT_EQ(frames.names[0], "D31");
    EXPECT_EQ(frames.names[8], "D8");
    EXPECT_EQ(frames.names[15], "D6");
    ASSERT_EQ(frames.samples.size(), 300u);
    for (std::size_t i = 0; i < 300; ++i) {
        std::uint16_t expected = 0;
        for (int line = 0; line < 8; ++line) // D31 first: bit 7 of byte 3 downwards
            expected |= std::uint16_t(((Byte(i, 3) >> (7 - line)) & 1) << line);
        expected |= std::uint16_t((Byte(i, 1) & 1) << 8);
        expected |= std::uint16_t((Byte(i, 0) & 0x7F) << 9);
        ASSERT_EQ(frames.samples[i], expected) << i;
    }
}

TEST_F(WideInput, WithoutChannelsTheDroppedOnesAreNamed) {
    const Outcome r = Command(cli::RunConvert, {Path("wide.sr"), Path("first.sr")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.err, HasSubstr("Warnung: Die Datei hat 32 Logikkanäle"));
    EXPECT_THAT(r.err, HasSubstr("Weggelassen: D16, D17,"));
    EXPECT_THAT(r.err, HasSubstr("D31. --channels"));
    const sigrok::LogicFrames frames = Back("first.sr");
    for (std::size_t i = 0; i < frames.samples.size(); ++i)
        ASSERT_EQ(frames.samples[i], Byte(i, 0) | Byte(i, 1) << 8) << i;
}

TEST_F(WideInput, WrongChannelChoicesFail) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"--channels", "D32", Path("wide.sr"), Path("x.sr")}, 1, "keinen Kanal \"D32\""},
        {{"--channels", "d1", Path("wide.sr"), Path("x.sr")}, 1, "keinen Kanal \"d1\""},
        {{"--channels", "D0-D16", Path("wide.sr"), Path("x.sr")}, 1, "nur 16 Leitungen"},
        {{"--channels", "D1,D1", Path("wide.sr"), Path("x.sr")}, 1, "doppelt"},
        {{"--channels", ",", Path("wide.sr"), Path("x.sr")}, 2, "mindestens einen"},
        {{"--channels", Path("wide.sr"), Path("x.sr")}, 2, "genau zwei"},
        {{"--samplerate", "schnell", Path("wide.sr"), Path("x.sr")}, 2, "versteht 'schnell'"},
    };
    for (const Case& c : cases) {
        const Outcome r = Command(cli::RunConvert, c.args);
        EXPECT_EQ(r.status, c.status) << c.says;
        EXPECT_THAT(r.err, HasSubstr(c.says));
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("x.sr"))));
}

TEST_F(WideInput, DecoderNamingADroppedChannelSaysSo) {
    const Outcome dropped = Command(cli::RunDecode, {Path("wide.sr"), "-P", "uart:rx=D20"});
    EXPECT_EQ(dropped.status, 2);
    EXPECT_THAT(dropped.err, HasSubstr("rx=D20 nennt einen Kanal der Datei, der nicht übernommen"));
    const Outcome chosen =
        Command(cli::RunDecode, {Path("wide.sr"), "--channels", "D20", "-P", "uart:rx=D20"});
    EXPECT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(chosen.err, "");
    // Only names the file has: no D00 in a file whose channels are D0..D31.
    const Outcome padded = Command(cli::RunDecode, {Path("wide.sr"), "-P", "uart:rx=D00"});
    EXPECT_EQ(padded.status, 2);
    EXPECT_THAT(padded.err, HasSubstr("keinen Kanal \"D00\""));
}

class Rates : public ::testing::Test {
  protected:
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    void Write(const char* name, const QByteArray& text) const {
        WriteTestFile(dir.filePath(name), text);
    }
    sigrok::LogicFrames Back(const char* name) const {
        sigrok::Context context;
        return cli::ReadRecording(context, Path(name));
    }
    QTemporaryDir dir;
};

TEST_F(Rates, InputsWithoutARateTakeSamplerateOrSayWhatIsAssumed) {
    Write("plain.csv", "a,b\n0,1\n1,0\n1,1\n");
    Write("plain.vcd", "$var wire 1 ! a $end\n$enddefinitions $end\n#0 1!\n#3 0!\n#5\n");
    for (const char* in : {"plain.csv", "plain.vcd"}) {
        const Outcome assumed = Command(cli::RunConvert, {Path(in), Path("out.sr")});
        ASSERT_EQ(assumed.status, 0) << assumed.err;
        EXPECT_THAT(assumed.err, HasSubstr("keine Abtastrate an; angenommen werden 100 kHz")) << in;
        EXPECT_EQ(Back("out.sr").timeBase.period.RateHz(), 100'000.0);

        const Outcome given =
            Command(cli::RunConvert, {"--samplerate", "2MHz", Path(in), Path("out.sr")});
        ASSERT_EQ(given.status, 0) << given.err;
        EXPECT_EQ(given.err, "") << in;
        EXPECT_EQ(Back("out.sr").timeBase.period.RateHz(), 2'000'000.0) << in;
    }
    // A file with a rate of its own keeps it and says that --samplerate does not apply.
    const Outcome own =
        Command(cli::RunConvert, {"--samplerate=5k", Path("out.sr"), Path("again.sr")});
    ASSERT_EQ(own.status, 0);
    EXPECT_THAT(own.err, HasSubstr("gibt ihre Abtastrate selbst an (2 MHz)"));
    EXPECT_EQ(Back("again.sr").timeBase.period.RateHz(), 2'000'000.0);
}

TEST_F(Rates, CsvKeepsItsRateAsSigrokCliWritesIt) {
    Write("in.vcd", "$timescale 1 us $end\n$var wire 1 ! a $end\n$enddefinitions $end\n"
                    "#0 1!\n#3 0!\n#5\n");
    ASSERT_EQ(Command(cli::RunConvert, {Path("in.vcd"), Path("out.csv")}).status, 0);
    QFile csv(dir.filePath("out.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().contains("; Samplerate: 1 MHz\n"));
    const Outcome back = Command(cli::RunConvert, {Path("out.csv"), Path("back.sr")});
    EXPECT_EQ(back.err, "");
    EXPECT_EQ(Back("back.sr").timeBase.period.RateHz(), 1'000'000.0);

    // sigrok-cli still reads its samples (its reader skips comment lines).
    QProcess p;
    p.start("sigrok-cli", {"-i", dir.filePath("out.csv"), "-O", "bits"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_THAT(p.readAllStandardOutput().toStdString(), HasSubstr("a:11100"));
}

TEST_F(Rates, MalformedVcdIsAnErrorAndWritesNothing) {
    Write("bad.vcd", "$var wire 1 ! a $end\n$enddefinitions $end\n#0 1!\n#3 q!\n");
    const Outcome r = Command(cli::RunConvert, {Path("bad.vcd"), Path("out.sr")});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("Zeile 4: Wert 'q' unbekannt"));
    EXPECT_FALSE(QFile::exists(dir.filePath("out.sr")));
}

} // namespace
