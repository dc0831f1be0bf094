#include "ExchangeFixture.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokExport.h"
#include "sigrok/SigrokImport.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using sigrok::ExchangeFormat;

struct RoundTrip {
    ExchangeFormat format;
    const char* file;
    std::size_t cells;
};

class ExchangeRoundTrip : public ExchangeTest, public ::testing::TestWithParam<RoundTrip> {};

std::string CaseName(const ::testing::TestParamInfo<RoundTrip>& info) {
    std::string name = info.param.file;
    name[name.find('.')] = '_';
    return name + "_" + std::to_string(info.param.cells);
}

TEST_P(ExchangeRoundTrip, GivesTheRecordingBackByteForByte) {
    const RoundTrip& c = GetParam();
    const std::vector<std::uint8_t> dig = DigWithEdges(c.cells);
    sigrok::LogicFrames frames = FramesOf(dig);
    frames.timeBase = sampling::TimeBase::Nominal();
    sigrok::ExportFile(context, frames, c.format, Path(c.file));

    const sigrok::ImportResult back = sigrok::ImportFile(context, c.format, Path(c.file), 4 << 20);
    EXPECT_FALSE(back.cut);
    EXPECT_EQ(back.frames.Lines(), 16);
    EXPECT_EQ(sigrok::PlanesFromSamples(back.frames.samples), dig);
    EXPECT_EQ(back.frames.names, frames.names);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, ExchangeRoundTrip,
                         ::testing::Values(RoundTrip{ExchangeFormat::Session, "a.sr", 1000},
                                           RoundTrip{ExchangeFormat::Session, "b.sr", 999},
                                           RoundTrip{ExchangeFormat::Session, "c.sr", 1},
                                           RoundTrip{ExchangeFormat::Session, "d.sr", 0},
                                           // Written in pieces of 2^20 samples: two and a half.
                                           RoundTrip{ExchangeFormat::Session, "e.sr", 2'621'443},
                                           RoundTrip{ExchangeFormat::Vcd, "e.vcd", 2'621'443},
                                           RoundTrip{ExchangeFormat::Vcd, "a.vcd", 1000},
                                           RoundTrip{ExchangeFormat::Vcd, "b.vcd", 999},
                                           RoundTrip{ExchangeFormat::Vcd, "c.vcd", 1},
                                           RoundTrip{ExchangeFormat::Vcd, "d.vcd", 0},
                                           RoundTrip{ExchangeFormat::Csv, "a.csv", 1000},
                                           RoundTrip{ExchangeFormat::Csv, "b.csv", 999},
                                           RoundTrip{ExchangeFormat::Csv, "c.csv", 1},
                                           RoundTrip{ExchangeFormat::Csv, "d.csv", 0}),
                         CaseName);

class Exchange : public ExchangeTest, public ::testing::Test {};

TEST_F(Exchange, SessionKeepsRateAndNamesOfTheLinesInUse) {
    sigrok::LogicFrames frames;
    frames.names = {"CLK", "MOSI", "MISO", "CS mit Blank", "Ölstand"};
    frames.samples = {0x01, 0x03, 0x1F, 0x00, 0x15, 0x0A};
    frames.timeBase = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(24'000'000));
    sigrok::ExportFile(context, frames, ExchangeFormat::Session, Path("named.sr"));

    const sigrok::ImportResult back =
        sigrok::ImportFile(context, ExchangeFormat::Session, Path("named.sr"), 100);
    EXPECT_EQ(back.frames, frames);
}

TEST_F(Exchange, MeasuredPeriodIsWrittenAsTheNearestWholeRate) {
    sampling::TimeBase measured;
    measured.period = sampling::SamplePeriod::FromPicoseconds(10'300'000); // 97087.4 Hz
    measured.origin = sampling::TimingOrigin::Measured;
    EXPECT_EQ(sigrok::ExportRateHz(measured), 97087u);
    EXPECT_EQ(sigrok::ExportRateHz(sampling::TimeBase::Nominal()), 100'000u);
}

TEST_F(Exchange, ImportTakesAtMostTheBuffersLengthAndSaysSo) {
    const std::vector<std::uint8_t> dig = DigWithEdges(5000);
    sigrok::ExportFile(context, FramesOf(dig), ExchangeFormat::Session, Path("long.sr"));
    sigrok::ExportFile(context, FramesOf(dig), ExchangeFormat::Vcd, Path("long.vcd"));
    for (const auto& [format, file] : {std::pair{ExchangeFormat::Session, "long.sr"},
                                       std::pair{ExchangeFormat::Vcd, "long.vcd"}}) {
        const sigrok::ImportResult back = sigrok::ImportFile(context, format, Path(file), 1234);
        EXPECT_TRUE(back.cut) << file;
        const std::vector<std::uint16_t> all = sigrok::SamplesFromPlanes(dig);
        EXPECT_EQ(back.frames.samples, std::vector<std::uint16_t>(all.begin(), all.begin() + 1234))
            << file;
    }
}

TEST_F(Exchange, FailedExportLeavesTheOldFileAndNoTemporaryFile) {
    WriteBytes(Path("keep.sr"), "old content");
    sigrok::LogicFrames tooMany = FramesOf(DigWithEdges(10));
    tooMany.names.push_back("D16");
    EXPECT_THROW(sigrok::ExportFile(context, tooMany, ExchangeFormat::Session, Path("keep.sr")),
                 sigrok::Error);
    EXPECT_EQ(FileBytes(Path("keep.sr")), QByteArray("old content"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.sr"});

    EXPECT_THROW(sigrok::ExportFile(context, FramesOf(DigWithEdges(10)), ExchangeFormat::Vcd,
                                    Path("no/such/dir/x.vcd")),
                 sigrok::Error);
}

TEST_F(Exchange, ExportReplacesAnExistingFileWhole) {
    WriteBytes(Path("over.vcd"), QByteArray(100000, 'x'));
    sigrok::ExportFile(context, FramesOf(DigWithEdges(3)), ExchangeFormat::Vcd, Path("over.vcd"));
    const QByteArray written = FileBytes(Path("over.vcd"));
    EXPECT_TRUE(written.startsWith("$date")) << written.left(40).constData();
    EXPECT_FALSE(written.contains("xxx"));
}

// sigrok-cli, an independent reader, prints the samples of the files we write
// as packed 16-bit little-endian words.
QByteArray SigrokCliSamples(const std::string& in, const std::string& scratch) {
    QProcess p;
    // A VCD goes through a session file first: sigrok-cli's binary output
    // straight from a VCD can start with a text line.
    std::string source = in;
    if (in.ends_with(".vcd")) {
        p.start("sigrok-cli", {"-i", QString::fromStdString(in), "-O", "srzip", "-o",
                               QString::fromStdString(scratch + ".sr")});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) return "<sigrok-cli failed>";
        source = scratch + ".sr";
    }
    p.start("sigrok-cli", {"-i", QString::fromStdString(source), "-O", "binary", "-o",
                           QString::fromStdString(scratch + ".bin")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return "<sigrok-cli failed>";
    return FileBytes(scratch + ".bin");
}

TEST_F(Exchange, SigrokCliReadsTheSamplesWeWrite) {
    const std::vector<std::uint8_t> dig = DigWithEdges(4097);
    const std::vector<std::uint16_t> samples = sigrok::SamplesFromPlanes(dig);
    const QByteArray expected(reinterpret_cast<const char*>(samples.data()),
                              qsizetype(samples.size() * 2));
    for (const auto& [format, file] : {std::pair{ExchangeFormat::Session, "cli.sr"},
                                       std::pair{ExchangeFormat::Vcd, "cli.vcd"}}) {
        sigrok::ExportFile(context, FramesOf(dig), format, Path(file));
        EXPECT_EQ(SigrokCliSamples(Path(file), Path("scratch")), expected) << file;
    }
}

} // namespace
