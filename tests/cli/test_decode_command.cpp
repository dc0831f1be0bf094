#include "../sigrokdecode/SignalSynth.h"

#include "cli/DecodeCommand.h"
#include "cli/RecordingExchange.h"
#include "sigrok/SigrokContext.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <sstream>

using ::testing::HasSubstr;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome Decode(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    Outcome r;
    r.status = cli::RunDecode(args, {out, err});
    r.out = out.str();
    r.err = err.str();
    return r;
}

// Buses on D00..D03, written as a sigrok session so that both Spurwerk and
// sigrok-cli read the very same file.
class DecodeCommand : public ::testing::Test {
  protected:
    std::string Write(const char* name, const SignalSynth& s, std::uint64_t rateHz) {
        sigrok::LogicFrames frames;
        frames.names = {"D00", "D01", "D02", "D03"};
        const auto planes = s.Planes();
        const std::size_t n = planes.size() / 2;
        for (std::size_t i = 0; i < n; ++i) frames.samples.push_back(std::uint16_t(planes[i] | planes[n + i] << 8));
        frames.timeBase = sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(rateHz));
        const std::string path = dir.filePath(name).toStdString();
        sigrok::Context context;
        cli::WriteRecording(context, frames, path);
        return path;
    }

    // What sigrok-cli prints for the same decoder set-up.
    static Outcome SigrokCli(const std::string& file, const std::vector<std::string>& decoderArgs) {
        QStringList args{QStringLiteral("-i"), QString::fromStdString(file)};
        for (const auto& a : decoderArgs) args << QString::fromStdString(a);
        QProcess p;
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral("sigrok-cli"), args);
        Outcome r;
        if (!p.waitForFinished(60000)) return r;
        r.status = p.exitCode();
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // The same annotations at the same samples with the same texts. sigrok-cli
    // prints them as the decoders finish them; we print them by start sample,
    // so both are compared in sorted order and ours is checked for its order.
    void ExpectSameAsSigrokCli(const std::string& file, const std::vector<std::string>& decoderArgs) {
        std::vector<std::string> args{file, "--samplenum"};
        args.insert(args.end(), decoderArgs.begin(), decoderArgs.end());
        std::vector<std::string> theirArgs{"--protocol-decoder-samplenum"};
        theirArgs.insert(theirArgs.end(), decoderArgs.begin(), decoderArgs.end());
        const Outcome ours = Decode(args);
        const Outcome theirs = SigrokCli(file, theirArgs);
        ASSERT_EQ(ours.status, 0) << ours.err;
        ASSERT_EQ(theirs.status, 0) << theirs.err;
        auto mine = Lines(ours.out), other = Lines(theirs.out);
        EXPECT_FALSE(mine.empty());
        std::uint64_t previous = 0;
        for (const auto& line : mine) {
            const std::uint64_t start = std::stoull(line);
            EXPECT_LE(previous, start) << line;
            previous = start;
        }
        std::sort(mine.begin(), mine.end());
        std::sort(other.begin(), other.end());
        EXPECT_EQ(mine, other) << decoderArgs[1];
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(DecodeCommand, UartAtTwoBaudRatesPrintsWhatSigrokCliPrints) {
    for (const int baud : {9600, 115200}) {
        SignalSynth s;
        s.Hold(100);
        s.Uart(1, "Spurwerk 1.0", 2e6, baud);
        s.Hold(400);
        const std::string file = Write("uart.sr", s, 2'000'000);
        const std::string setup = "uart:rx=D01:baudrate=" + std::to_string(baud) + ":format=ascii";
        ExpectSameAsSigrokCli(file, {"-P", setup});
        ExpectSameAsSigrokCli(file, {"-P", setup, "-A", "uart=rx-data"});
        // sigrok-cli's list syntax: several classes of one decoder after colons.
        ExpectSameAsSigrokCli(file, {"-P", setup, "-A", "uart=rx-start:rx-stop:tx-data"});
        const Outcome data = Decode({file, "-P", setup, "-A", "uart=rx-data"});
        EXPECT_EQ(data.out.substr(0, 24), "uart-1: S\nuart-1: p\nuart") << baud;
    }
}

// Far more annotations than wait at a time for their order: the earlier ones
// are printed while decoding goes on, none lost, none twice, all in order.
TEST_F(DecodeCommand, LongUartTextPrintsEveryAnnotationInOrderWhileDecoding) {
    std::string text;
    for (int i = 0; i < 4000; ++i)
        text += char(32 + (i * 37) % 95);
    SignalSynth s;
    s.Hold(100);
    s.Uart(0, text, 2e6, 115200);
    s.Hold(400);
    const std::string file = Write("long.sr", s, 2'000'000);
    ExpectSameAsSigrokCli(file, {"-P", "uart:rx=D00:baudrate=115200"});
}

TEST_F(DecodeCommand, I2cWriteAndReadWithAckAndNakPrintsWhatSigrokCliPrints) {
    const SignalSynth::I2cLines l{0, 1, 5};
    SignalSynth s;
    s.Hold(20);
    s.I2cStart(l);
    s.I2cByte(l, 0x50 << 1, true);
    s.I2cByte(l, 0x12, true);
    s.I2cStop(l);
    s.Hold(20);
    s.I2cStart(l);
    s.I2cByte(l, (0x50 << 1) | 1, true);
    s.I2cByte(l, 0xAB, true);
    s.I2cByte(l, 0xCD, false);
    s.I2cStop(l);
    s.Hold(20);
    const std::string file = Write("i2c.sr", s, 1'000'000);
    ExpectSameAsSigrokCli(file, {"-P", "i2c:scl=D00:sda=D01"});
    const Outcome r = Decode({file, "-P", "i2c:scl=D00:sda=D01", "-A", "i2c=addr-data"});
    EXPECT_THAT(r.out, HasSubstr("i2c-1: Address write: 50\ni2c-1: Write\ni2c-1: ACK\ni2c-1: Data write: 12\n"));
    EXPECT_THAT(r.out, HasSubstr("i2c-1: Data read: CD\ni2c-1: NACK\ni2c-1: Stop\n"));
}

TEST_F(DecodeCommand, SpiInTwoModesPrintsWhatSigrokCliPrints) {
    for (const int mode : {0, 3}) {
        const SignalSynth::SpiLines l{0, 1, 2, 3, mode, 4};
        SignalSynth s;
        s.Hold(10);
        s.SpiTransfer(l, {{0x9F, 0x00}, {0xA5, 0xC2}});
        s.Hold(10);
        const std::string file = Write("spi.sr", s, 1'000'000);
        const std::string setup = "spi:clk=D00:mosi=D01:miso=D02:cs=D03:cpol=" + std::to_string(mode >> 1) +
                                  ":cpha=" + std::to_string(mode & 1);
        ExpectSameAsSigrokCli(file, {"-P", setup});
        const Outcome r = Decode({file, "-P", setup, "-A", "spi=mosi-data"});
        EXPECT_EQ(r.out, "spi-1: 9F\nspi-1: A5\n") << mode;
    }
}

TEST_F(DecodeCommand, ErrorsGoToStandardErrorWithAStatus) {
    SignalSynth s;
    s.Hold(100);
    const std::string file = Write("idle.sr", s, 1'000'000);
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{file, "-P", "frobnicate"}, 2, "Unbekannter Dekodierer \"frobnicate\""},
        {{file, "-P", "uart:rx=D09"}, 2, "die Aufzeichnung hat keinen Kanal \"D09\""},
        // Only the file's own names: no fall-back to a line number.
        {{file, "-P", "uart:rx=D0"}, 2, "keinen Kanal \"D0\" (ihre Kanäle: D00, D01, D02, D03)"},
        {{file, "-P", "uart:rx=D00:baudrate=schnell"},
         2,
         "ungültiger Wert \"schnell\" für Option baudrate"},
        {{file, "-P", "uart:rx=D00:baudrate=0"}, 1, "Dekodierung (uart-1)"},
        // -A as sigrok-cli refuses it: status 1.
        {{file, "-P", "uart:rx=D00", "-A", "spi=mosi-data"},
         1,
         "Protokolldekodierer 'spi' nicht gefunden."},
        {{file, "-P", "uart:rx=D00", "-A", "uart=rx-data:frob"},
         1,
         "Annotation 'frob' für Protokolldekodierer 'uart' nicht gefunden."},
        {{file, "-P", "uart:rx=D00", "-A", "uart=rx-data,"}, 2, "nennt keinen Dekodierer"},
        {{file, "-P", "uart:rx=D00", "-A", "uart=:rx-data"}, 2, "leere Annotationsklasse"},
        {{file}, 2, "mindestens ein -P"},
        {{file, "-P"}, 2, "-P braucht einen Wert"},
        {{file, "-X"}, 2, "unbekannte Option \"-X\""},
        {{dir.filePath("missing.sr").toStdString(), "-P", "uart:rx=D00"}, 1, "spurwerk decode: "},
        {{"input.txt", "-P", "uart:rx=D00"}, 2, "unbekannte Dateiendung"},
    };
    for (const auto& c : cases) {
        const Outcome r = Decode(c.args);
        EXPECT_EQ(r.status, c.status) << c.message;
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_THAT(r.err, HasSubstr("spurwerk decode: "));
        EXPECT_EQ(r.out, "") << c.message;
    }
}
