#include "sigrok/SigrokError.h"
#include "sigrok/SigrokImport.h"
#include "sigrok/VcdReader.h"

#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs a testbench through iverilog and returns the path of the dump it writes.
class Simulated : public ::testing::Test {
  protected:
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }

    void Write(const char* name, const QByteArray& text) const {
        WriteTestFile(dir.filePath(name), text);
    }

    std::string Simulate(const QByteArray& verilog) {
        Write("tb.v", verilog);
        for (const QStringList& command : {QStringList{"iverilog", "-o", "tb.vvp", "tb.v"},
                                           QStringList{"vvp", "-n", "tb.vvp"}}) {
            QProcess p;
            p.setWorkingDirectory(dir.path());
            p.start(command.front(), command.mid(1));
            if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit ||
                p.exitCode() != 0) {
                ADD_FAILURE() << command.join(' ').toStdString() << ": "
                              << p.readAllStandardError().toStdString();
                return {};
            }
        }
        return Path("dump.vcd");
    }

    static sigrok::ImportResult Read(const std::string& path,
                                     std::vector<std::string> channels = {},
                                     std::size_t max = 1 << 24) {
        sigrok::ImportOptions options;
        options.maxSamples = max;
        options.channels = std::move(channels);
        return sigrok::ReadVcd(path, options);
    }

    // The level of a line in one sample.
    static int Level(const sigrok::ImportResult& r, std::size_t sample, const std::string& name) {
        const auto& names = r.frames.names;
        const auto it = std::find(names.begin(), names.end(), name);
        EXPECT_NE(it, names.end()) << name;
        if (it == names.end()) return -1;
        return (r.frames.samples.at(sample) >> (it - names.begin())) & 1;
    }

    // The value of bits "stem[msb]".."stem[0]" in one sample.
    static unsigned Value(const sigrok::ImportResult& r, std::size_t sample,
                          const std::string& stem, int msb) {
        unsigned value = 0;
        for (int bit = msb; bit >= 0; --bit)
            value = value << 1 | unsigned(Level(r, sample, stem + "[" + std::to_string(bit) + "]"));
        return value;
    }

    QTemporaryDir dir;
};

// A bus that counts through a sequence, a flag that starts undefined, an
// integer and a real, and a parity wire seen from three scope levels:
// 20 one-bit channels in all.
const char* const BusBench = R"(`timescale 1ns/1ns
module leaf(input wire [3:0] nib, output wire odd);
  assign odd = ^nib;
endmodule
module mid(input wire [3:0] nib, output wire odd);
  leaf inner(.nib(nib), .odd(odd));
endmodule
module tb;
  reg [7:0] bus;
  reg flag;
  integer count;
  real level;
  wire odd;
  mid m(.nib(bus[3:0]), .odd(odd));
  initial begin
    $dumpfile("dump.vcd");
    $dumpvars(0, tb);
    bus = 8'h00; flag = 1'bx; count = 0; level = 0.0;
    repeat (40) begin
      #10 bus = bus * 8'd7 + 8'd3; flag = bus[0]; count = count + 1; level = level + 0.25;
    end
    #10 $finish;
  end
endmodule
)";

// What BusBench drove in the 10 ns step `k`.
unsigned BusAt(int k) {
    unsigned bus = 0;
    for (int i = 0; i < k; ++i)
        bus = (bus * 7 + 3) & 0xFF;
    return bus;
}

TEST_F(Simulated, BusesScopesAndSkippedVariablesReadWhole) {
    const std::string dump = Simulate(BusBench);
    const sigrok::ImportResult all = Read(dump);

    EXPECT_EQ(all.frames.timeBase,
              sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000'000)));
    ASSERT_EQ(all.fileChannels.size(), 20u);
    EXPECT_EQ(all.fileChannels.front(), "tb.odd");
    EXPECT_EQ(all.fileChannels.back(), "tb.m.inner.odd");
    EXPECT_EQ(all.frames.Lines(), 16);
    EXPECT_EQ(all.Dropped(), (std::vector<std::string>{"tb.m.inner.nib[2]", "tb.m.inner.nib[1]",
                                                       "tb.m.inner.nib[0]", "tb.m.inner.odd"}));
    // The whole run, 0 to 410 ns, in 1 ns samples.
    ASSERT_EQ(all.frames.samples.size(), 410u);
    ASSERT_FALSE(all.cut);
    ASSERT_EQ(all.notes.size(), 2u);
    EXPECT_NE(all.notes[0].find("tb.count (integer), tb.level (real)"), std::string::npos);
    EXPECT_NE(all.notes[1].find("(x, z)"), std::string::npos);
    EXPECT_EQ(all.buses.front(), (sigrok::LineGroup{"bus", {1, 2, 3, 4, 5, 6, 7, 8}}));

    const sigrok::ImportResult chosen = Read(
        dump, {"flag", "bus[7]-bus[0]", "tb.m.inner.odd", "tb.m.inner.nib[0]-tb.m.inner.nib[3]"});
    ASSERT_EQ(chosen.frames.Lines(), 14);
    EXPECT_EQ(chosen.frames.names[0], "flag");
    EXPECT_EQ(chosen.frames.names[13], "tb.m.inner.nib[3]");
    EXPECT_EQ(chosen.buses, (std::vector<sigrok::LineGroup>{{"bus", {1, 2, 3, 4, 5, 6, 7, 8}},
                                                            {"tb.m.inner.nib", {13, 12, 11, 10}}}));
    for (std::size_t t = 0; t < chosen.frames.samples.size(); ++t) {
        const int k = int(t / 10);
        const unsigned bus = BusAt(k);
        ASSERT_EQ(Value(chosen, t, "bus", 7), bus) << t;
        ASSERT_EQ(Level(chosen, t, "flag"), k == 0 ? 0 : int(bus & 1)) << t; // x reads as 0
        ASSERT_EQ(Level(chosen, t, "tb.m.inner.odd"), __builtin_parity(bus & 0xF)) << t;
        ASSERT_EQ(Value(chosen, t, "tb.m.inner.nib", 3), bus & 0xF) << t;
    }
}

struct Scale {
    const char* verilog;
    std::int64_t picoseconds;
};

class TimeScales : public Simulated, public ::testing::WithParamInterface<Scale> {};

// Values before $dumpoff, undefined while it holds, the new ones after $dumpon.
TEST_P(TimeScales, DumpOffAndOnAtEveryScale) {
    const Scale scale = GetParam();
    const std::string dump =
        Simulate(QByteArray("`timescale ") + scale.verilog + "/" + scale.verilog + R"(
module tb;
  reg a; reg [1:0] v;
  initial begin
    $dumpfile("dump.vcd"); $dumpvars(0, tb);
    a = 1; v = 2'b10;
    #3 a = 0; v = 2'b01;
    #2 $dumpoff;
    #4 a = 1; v = 2'b11;
    #2 $dumpon;
    #3 a = 0;
    #1 $finish;
  end
endmodule
)");
    const sigrok::ImportResult r = Read(dump);
    EXPECT_EQ(r.frames.timeBase.period.Picoseconds(), scale.picoseconds);
    EXPECT_TRUE(r.frames.timeBase.Known());
    EXPECT_EQ(r.frames.names, (std::vector<std::string>{"a", "v[1]", "v[0]"}));
    // Line 0 is a, line 1 v[1], line 2 v[0].
    const std::vector<std::uint16_t> expected{0b011, 0b011, 0b011, 0b100, 0b100, 0,     0,    0,
                                              0,     0,     0,     0b111, 0b111, 0b111, 0b110};
    EXPECT_EQ(r.frames.samples, expected);
}

INSTANTIATE_TEST_SUITE_P(OnePicosecondToOneSecond, TimeScales,
                         ::testing::Values(Scale{"1ps", 1}, Scale{"10ps", 10}, Scale{"1ns", 1'000},
                                           Scale{"100ns", 100'000}, Scale{"1us", 1'000'000},
                                           Scale{"10ms", 10'000'000'000},
                                           Scale{"1s", 1'000'000'000'000}),
                         [](const auto& info) { return std::string(info.param.verilog); });

// The rest are written by hand: what simulators do not write, but files may hold.
class HandWritten : public Simulated {
  protected:
    std::string File(const QByteArray& text) {
        Write("hand.vcd", text);
        return Path("hand.vcd");
    }
    std::string Error(const QByteArray& text) {
        try {
            Read(File(text));
        } catch (const sigrok::Error& e) {
            return e.what();
        }
        return "<no error>";
    }
};

const QByteArray Head = "$timescale 1 us $end\n$scope module top $end\n"
                        "$var wire 1 ! a $end\n$var wire 3 \" v [2:0] $end\n"
                        "$upscope $end\n$enddefinitions $end\n";

TEST_F(HandWritten, MalformedFilesAreErrorsWithTheirLine) {
    struct Case {
        const char* what;
        QByteArray text;
        const char* says;
    };
    const Case cases[] = {
        {"no end of definitions", "$timescale 1 us $end\n$var wire 1 ! a $end\n",
         "endet vor $enddefinitions"},
        {"values in the header", "$var wire 1 ! a $end\n#0\n1!\n", "gehört nicht in den Kopf"},
        {"undeclared code", Head + "#0\n1?\n", "nicht deklariert"},
        {"time runs back", Head + "#10\n1!\n#5\n0!\n", "rückwärts"},
        {"bad time", Head + "#1x\n", "Zeitmarke"},
        {"odd time scale", "$timescale 3 ns $end\n" + Head, "Zeitskala"},
        {"femtoseconds", "$timescale 100 fs $end\n" + Head, "Zeitskala"},
        {"bad value", Head + "#0\nq!\n", "Wert 'q'"},
        {"bad vector digit", Head + "#0\nb102 \"\n", "Wert '2'"},
        {"vector without code", Head + "#0\nb101", "ohne Kürzel"},
        {"truncated var", "$timescale 1 us $end\n$var wire 1 ! a", "$var ohne $end"},
        {"width beside range", "$var wire 4 ! v [2:0] $end\n$enddefinitions $end\n", "Bereich"},
        {"absurd width", "$var wire 99999999999 ! v $end\n$enddefinitions $end\n", "Breite"},
        {"text", "this is not a value change dump\n", "gehört nicht in den Kopf"},
        {"only a real", "$var real 64 ! r $end\n$enddefinitions $end\n#0\nr1.5 !\n",
         "keine Logiksignale"},
        {"real for a wire", Head + "#0\nr1.5 !\n", "Zahl oder Text"},
    };
    for (const Case& c : cases) {
        const std::string message = Error(c.text);
        EXPECT_NE(message.find(c.says), std::string::npos) << c.what << ": " << message;
        EXPECT_NE(message.find("Zeile"), std::string::npos) << c.what << ": " << message;
    }
}

TEST_F(HandWritten, ShortVectorsUpperCaseAndNoTimescale) {
    const sigrok::ImportResult r = Read(
        File("$var wire 1 ! a $end\n$var wire 3 \" v $end\n$enddefinitions $end\n"
             "$comment anything $end\n#5 1! b1 \"\n#7\nB11 \" H!\n#8 x\" L!\n#9 bz1 \" #10\n"));
    EXPECT_FALSE(r.frames.timeBase.Known());
    EXPECT_EQ(r.frames.names, (std::vector<std::string>{"a", "v[2]", "v[1]", "v[0]"}));
    EXPECT_EQ(r.frames.samples,
              (std::vector<std::uint16_t>{0b1001, 0b1001, 0b1101, 0b0000, 0b1000}));
}

TEST_F(HandWritten, LongGapsStopAtTheLimit) {
    const sigrok::ImportResult r =
        Read(File(Head + "#0 1!\n#1000000000000 0!\n#2000000000000\n"), {}, 4096);
    EXPECT_TRUE(r.cut);
    EXPECT_EQ(r.frames.samples, std::vector<std::uint16_t>(4096, 1));
}

TEST_F(HandWritten, UnknownChannelChoiceIsRefused) {
    EXPECT_THROW(Read(File(Head + "#0\n#1\n"), {"b"}), sigrok::Error);
    EXPECT_THROW(Read(File(Head + "#0\n#1\n"), {"a", "a"}), sigrok::Error);
}

} // namespace
