#include "ExchangeFixture.h"
#include "sigrok/SigrokError.h"
#include "sigrok/SigrokExport.h"
#include "sigrok/SigrokImport.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using sigrok::ExchangeFormat;

// Keeps what a streamed reading hands over, and how.
struct Gathered : sigrok::SampleReceiver {
    int begins = 0;
    bool takeBeforeBegin = false;
    sigrok::ImportResult head;
    std::vector<std::uint16_t> samples;
    std::size_t largestTake = 0;
    int takes = 0;
    // Throw from Begin, or from the n-th Take (1 for the first).
    bool failInBegin = false;
    int failInTake = 0;

    void Begin(const sigrok::ImportResult& h) override {
        ++begins;
        head = h;
        if (failInBegin) throw std::invalid_argument("no decoder fits");
    }
    void Take(const std::uint16_t* words, std::size_t count) override {
        takeBeforeBegin = takeBeforeBegin || begins == 0;
        ++takes;
        largestTake = std::max(largestTake, count);
        samples.insert(samples.end(), words, words + count);
        if (takes == failInTake) throw std::invalid_argument("decoder failed");
    }
};

struct Streamed {
    ExchangeFormat format;
    const char* file;
    std::size_t cells;
};

class StreamImport : public ExchangeTest, public ::testing::TestWithParam<Streamed> {
  protected:
    // A recording at 1 MHz with edges on every line, written in the format.
    std::vector<std::uint16_t> Written(const Streamed& c) {
        sigrok::LogicFrames frames = FramesOf(DigWithEdges(c.cells));
        frames.timeBase = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000));
        sigrok::ExportFile(context, frames, c.format, Path(c.file));
        return frames.samples;
    }
};

std::string CaseName(const ::testing::TestParamInfo<Streamed>& info) {
    std::string name = info.param.file;
    name[name.find('.')] = '_';
    return name;
}

// Every sample once, in order, in bounded blocks after one Begin that has the
// channels and the rate; a limit that cuts ImportFile does not cut a stream.
TEST_P(StreamImport, HandsOverEverySampleInBoundedBlocks) {
    const Streamed& c = GetParam();
    const std::vector<std::uint16_t> samples = Written(c);
    sigrok::ImportOptions options;
    options.maxSamples = 1000;
    Gathered got;
    const sigrok::ImportResult result =
        sigrok::StreamFile(context, c.format, Path(c.file), options, got);

    EXPECT_EQ(got.begins, 1);
    EXPECT_FALSE(got.takeBeforeBegin);
    EXPECT_EQ(got.head.frames.Lines(), 16);
    EXPECT_TRUE(got.head.frames.samples.empty());
    EXPECT_EQ(got.head.frames.timeBase.period.RateHz(), 1e6);
    EXPECT_TRUE(got.samples == samples) << got.samples.size() << " of " << samples.size();
    EXPECT_LE(got.largestTake, std::size_t(1) << 16);
    EXPECT_FALSE(result.cut);
    EXPECT_TRUE(result.frames.samples.empty());
    EXPECT_EQ(result.frames.names, got.head.frames.names);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, StreamImport,
                         ::testing::Values(
                             // Session files are written in pieces of 2^20 samples: more than one.
                             Streamed{ExchangeFormat::Session, "long.sr", 2'621'443},
                             Streamed{ExchangeFormat::Session, "empty.sr", 0},
                             Streamed{ExchangeFormat::Vcd, "long.vcd", 300'001},
                             Streamed{ExchangeFormat::Vcd, "empty.vcd", 0},
                             Streamed{ExchangeFormat::Csv, "long.csv", 200'003},
                             Streamed{ExchangeFormat::Csv, "empty.csv", 0}),
                         CaseName);

// What the receiver throws ends the reading at once and comes out unchanged:
// a decoder set-up that does not fit must not read a long file to its end.
class StreamStop : public StreamImport {};

TEST_P(StreamStop, ReceiversFailureEndsTheReading) {
    const Streamed& c = GetParam();
    Written(c);
    Gathered inBegin;
    inBegin.failInBegin = true;
    EXPECT_THROW(sigrok::StreamFile(context, c.format, Path(c.file), {}, inBegin),
                 std::invalid_argument);
    EXPECT_EQ(inBegin.takes, 0);

    Gathered inTake;
    inTake.failInTake = 1;
    EXPECT_THROW(sigrok::StreamFile(context, c.format, Path(c.file), {}, inTake),
                 std::invalid_argument);
    EXPECT_EQ(inTake.takes, 1);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, StreamStop,
                         ::testing::Values(Streamed{ExchangeFormat::Session, "long.sr", 2'621'443},
                                           Streamed{ExchangeFormat::Vcd, "long.vcd", 300'001},
                                           Streamed{ExchangeFormat::Csv, "long.csv", 200'003}),
                         CaseName);

class StreamErrors : public ExchangeTest, public ::testing::Test {};

TEST_F(StreamErrors, UnreadableFilesAreRefusedBeforeBegin) {
    WriteBytes(Path("text.vcd"), "this is not a value change dump\n");
    WriteBytes(Path("broken.sr"), "PK\x03\x04 not a zip");
    const std::pair<ExchangeFormat, const char*> cases[] = {
        {ExchangeFormat::Vcd, "text.vcd"},
        {ExchangeFormat::Session, "broken.sr"},
        {ExchangeFormat::Session, "missing.sr"},
        {ExchangeFormat::Csv, "missing.csv"},
    };
    for (const auto& [format, file] : cases) {
        Gathered got;
        EXPECT_THROW(sigrok::StreamFile(context, format, Path(file), {}, got), sigrok::Error)
            << file;
        EXPECT_EQ(got.begins, 0) << file;
    }
}

} // namespace
