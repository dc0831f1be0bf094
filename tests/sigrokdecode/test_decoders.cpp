#include "DecodeFixture.h"
#include "SignalSynth.h"

#include "sigrok/decode/DecodeError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace sigrokdecode;
using ::testing::HasSubstr;

TEST(DecoderCatalogue, ListsTheBusDecodersWithChannelsOptionsAndStacking) {
    const auto& cat = TheLibrary().Decoders();
    EXPECT_GT(cat.size(), 50u);
    const DecoderInfo* uart = FindDecoder(cat, "uart");
    const DecoderInfo* i2c = FindDecoder(cat, "i2c");
    const DecoderInfo* eeprom = FindDecoder(cat, "eeprom24xx");
    ASSERT_TRUE(uart && i2c && eeprom);
    EXPECT_FALSE(uart->desc.empty());
    ASSERT_TRUE(uart->FindChannel("rx"));
    EXPECT_FALSE(uart->FindChannel("rx")->required);
    EXPECT_TRUE(i2c->FindChannel("scl")->required);
    const OptionInfo* baud = uart->FindOption("baudrate");
    ASSERT_TRUE(baud);
    EXPECT_EQ(baud->def, OptionValue(std::int64_t(115200)));
    const OptionInfo* order = uart->FindOption("bit_order");
    ASSERT_TRUE(order);
    EXPECT_FALSE(order->values.empty());
    EXPECT_TRUE(i2c->ReadsLines());
    EXPECT_FALSE(eeprom->ReadsLines());
    EXPECT_TRUE(i2c->Feeds(*eeprom));
    EXPECT_FALSE(uart->Feeds(*eeprom));
}

TEST(UartDecoding, ReadsTextAtTwoBaudRates) {
    struct Case { double baud; std::uint64_t rate; };
    for (const Case c : {Case{9600, 1'000'000}, Case{115200, 2'000'000}}) {
        SignalSynth s;
        s.Hold(50);
        s.Uart(3, "Hallo, Welt!", double(c.rate), c.baud);
        s.Hold(200);
        const auto r = DecodeText({"uart:rx=D03:baudrate=" + std::to_string(int(c.baud)) + ":format=ascii"},
                                  s.Planes(), c.rate);
        const auto texts = ClassTexts(r, "uart", "rx-data");
        std::string joined;
        for (const auto& t : texts) joined += t;
        EXPECT_EQ(joined, "Hallo, Welt!") << c.baud;
    }
}

TEST(UartDecoding, WrongBaudRateGivesFrameErrorsNotText) {
    SignalSynth s;
    s.Hold(50);
    s.Uart(0, "UUUU", 1e6, 9600);
    s.Hold(200);
    const auto r = DecodeText({"uart:rx=D00:baudrate=19200:format=ascii"}, s.Planes(), 1'000'000);
    std::string joined;
    for (const auto& t : ClassTexts(r, "uart", "rx-data")) joined += t;
    EXPECT_NE(joined, "UUUU");
}

TEST(I2cDecoding, WriteAndReadWithAckAndNak) {
    const SignalSynth::I2cLines l{0, 1, 5};
    SignalSynth s;
    s.Hold(20);
    s.I2cStart(l);
    s.I2cByte(l, 0x50 << 1, true); // address 0x50, write
    s.I2cByte(l, 0x12, true);
    s.I2cByte(l, 0x34, true);
    s.I2cStop(l);
    s.Hold(20);
    s.I2cStart(l);
    s.I2cByte(l, (0x50 << 1) | 1, true); // read
    s.I2cByte(l, 0xAB, true);
    s.I2cByte(l, 0xCD, false); // the master's NAK ends the read
    s.I2cStop(l);
    s.Hold(20);
    s.I2cStart(l);
    s.I2cByte(l, 0x23 << 1, false); // nobody at 0x23
    s.I2cStop(l);
    s.Hold(20);
    const auto r = DecodeText({"i2c:scl=D00:sda=D01"}, s.Planes(), 1'000'000);
    const std::vector<std::string> expected{
        "Start",          "Address write: 50", "Write", "ACK",  "Data write: 12", "ACK",  "Data write: 34", "ACK",
        "Stop",           "Start",             "Address read: 50", "Read", "ACK", "Data read: AB",  "ACK",
        "Data read: CD",  "NACK",              "Stop", "Start",          "Address write: 23", "Write", "NACK", "Stop"};
    EXPECT_EQ(RowTexts(r, "i2c", "addr-data"), expected);
}

TEST(SpiDecoding, ExchangesBytesInModesZeroAndThree) {
    for (int mode : {0, 3}) {
        const SignalSynth::SpiLines l{0, 1, 2, 3, mode, 4};
        SignalSynth s;
        s.Hold(10);
        s.SpiTransfer(l, {{0x9F, 0x00}, {0xA5, 0xC2}, {0x01, 0x7E}});
        s.Hold(10);
        const std::string setup = "spi:clk=D00:mosi=D01:miso=D02:cs=D03:cpol=" + std::to_string(mode >> 1) +
                                  ":cpha=" + std::to_string(mode & 1);
        const auto r = DecodeText({setup}, s.Planes(), 1'000'000);
        EXPECT_EQ(ClassTexts(r, "spi", "mosi-data"), (std::vector<std::string>{"9F", "A5", "01"})) << mode;
        EXPECT_EQ(ClassTexts(r, "spi", "miso-data"), (std::vector<std::string>{"00", "C2", "7E"})) << mode;
    }
}

TEST(Decoding, SeveralStacksRunSideBySideAndUserLineNamesWork) {
    SignalSynth s;
    s.Hold(50);
    s.Uart(5, "ok", 1e6, 9600);
    s.Hold(100);
    auto names = NoLineNames();
    names[5] = "Konsole";
    const auto r = DecodeText({"uart:rx=Konsole:baudrate=9600:format=ascii", "uart:rx=D06:baudrate=9600"},
                              s.Planes(), 1'000'000, names);
    EXPECT_EQ(ClassTexts(r, "uart-1", "rx-data"), (std::vector<std::string>{"o", "k"}));
    EXPECT_TRUE(ClassTexts(r, "uart-2", "rx-data").empty());
    for (std::size_t i = 1; i < r.annotations.size(); ++i)
        EXPECT_LE(r.annotations[i - 1].start, r.annotations[i].start);
}

TEST(Decoding, StackedDecoderReadsTheOneBelow) {
    const SignalSynth::I2cLines l{0, 1, 5};
    SignalSynth s;
    s.Hold(20);
    s.I2cStart(l);
    s.I2cByte(l, 0x50 << 1, true);
    s.I2cByte(l, 0x00, true);
    s.I2cByte(l, 0x42, true);
    s.I2cStop(l);
    s.Hold(20);
    const auto r = DecodeText({"i2c:scl=D00:sda=D01,eeprom24xx"}, s.Planes(), 1'000'000);
    bool sawEeprom = false;
    for (const auto& a : r.annotations) sawEeprom |= r.rows[a.row].decoderId == "eeprom24xx";
    EXPECT_TRUE(sawEeprom);
    for (const auto& row : r.rows) EXPECT_EQ(row.topOfStack, row.decoderId == "eeprom24xx");
}

TEST(DecodeErrors, ClearGermanMessages) {
    struct Case { std::string stack; std::string message; };
    const Case cases[] = {
        {"frobnicate:rx=D00", "Unbekannter Dekodierer \"frobnicate\""},
        {"uart:rx=D16", "die Leitung \"D16\" gibt es nicht"},
        {"uart:rx=Takt", "die Leitung \"Takt\" gibt es nicht"},
        {"uart:rx=D00:baudrate=schnell", "ungültiger Wert \"schnell\" für Option baudrate"},
        {"uart:rx=D00:parity=lila", "ungültiger Wert \"lila\" für Option parity (erlaubt:"},
        {"uart:rx=D00:farbe=rot", "kennt weder einen Kanal noch eine Option \"farbe\""},
        {"i2c:scl=D00", "Kanal SDA (sda) ist keiner Leitung zugeordnet"},
        {"eeprom24xx", "liest keine Leitungen"},
        {"uart:rx=D00,eeprom24xx", "kann nicht auf uart aufsetzen"},
        {"uart:rx", "hat nicht die Form name=wert"},
        {":rx=D00", "Dekodierer ohne Namen"},
    };
    const std::vector<std::uint8_t> planes(200, 0xFF);
    for (const auto& c : cases) {
        try {
            DecodeText({c.stack}, planes, 1'000'000);
            ADD_FAILURE() << c.stack << " was accepted";
        } catch (const DecodeError& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.message)) << c.stack;
        }
    }
}

TEST(DecodeErrors, DecoderExceptionBecomesAMessageAndTheLibraryStaysUsable) {
    SignalSynth s;
    s.Hold(100);
    s.Uart(0, "A", 1e6, 9600);
    // The UART decoder divides by the baud rate.
    try {
        DecodeText({"uart:rx=D00:baudrate=0"}, s.Planes(), 1'000'000);
        ADD_FAILURE() << "no error";
    } catch (const DecodeError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Dekodierung (uart-1)"));
    }
    s.Hold(100);
    EXPECT_EQ(ClassTexts(DecodeText({"uart:rx=D00:baudrate=9600:format=ascii"}, s.Planes(), 1'000'000), "uart",
                       "rx-data"),
              std::vector<std::string>{"A"});
}

TEST(DecodeErrors, ZeroSampleRateIsRefused) {
    EXPECT_THROW(DecodeText({"uart:rx=D00"}, std::vector<std::uint8_t>(20, 0xFF), 0), DecodeError);
}

namespace {

// What a run handed its sink, in the order it came.
struct Recorded : AnnotationSink {
    std::vector<std::string> seen;
    std::vector<std::uint64_t> done;
    void Rows(const std::vector<AnnotationRow>& rows) override { seen.push_back(std::to_string(rows.size())); }
    void Add(Annotation&& a) override {
        seen.push_back(std::to_string(a.start) + "-" + std::to_string(a.end) + " " + std::to_string(a.row) + " " +
                       a.Text());
    }
    void Done(std::uint64_t samples) override { done.push_back(samples); }
};

} // namespace

// A file is read in pieces of whatever size its format gives: the decoders
// must see the same blocks, and the sink the same annotations and progress,
// as when the whole recording lies in memory.
TEST(Decoding, SamplesSentInAnyPiecesDecodeAsTheWhole) {
    SignalSynth s;
    s.Hold(100);
    std::string text;
    for (int i = 0; i < 200; ++i) text += char(32 + (i * 37) % 95);
    s.Uart(0, text, 1e6, 9600);
    s.Hold(300);
    const std::vector<std::uint8_t> planes = s.Planes();
    const std::size_t cells = planes.size() / 2;
    ASSERT_GT(cells, 2 * kDecodeBlockCells);
    std::vector<std::uint16_t> words(cells);
    for (std::size_t i = 0; i < cells; ++i) words[i] = std::uint16_t(planes[i] | planes[cells + i] << 8);
    const std::vector<ResolvedStack> stacks{
        Resolve(ParseStack("uart:rx=D00:baudrate=9600"), TheLibrary().Decoders(), NoLineNames())};

    Recorded whole;
    ASSERT_TRUE(StreamDecoders(TheLibrary(), stacks, {planes.data(), planes.data() + cells, cells}, 1'000'000, whole));

    Recorded pieces;
    {
        DecodeRun run(TheLibrary(), stacks, 1'000'000, pieces);
        const std::size_t sizes[] = {1, 7, kDecodeBlockCells - 9, kDecodeBlockCells, kDecodeBlockCells + 5, 1000};
        std::size_t at = 0;
        for (std::size_t k = 0; at < cells; ++k) {
            const std::size_t n = std::min(sizes[k % std::size(sizes)], cells - at);
            run.Send(words.data() + at, n);
            at += n;
        }
        run.Finish();
        EXPECT_EQ(run.Decoded(), cells);
    }
    EXPECT_GT(whole.seen.size(), 1000u);
    EXPECT_EQ(pieces.seen, whole.seen);
    EXPECT_EQ(pieces.done, whole.done);
    EXPECT_EQ(whole.done.back(), cells);
}
