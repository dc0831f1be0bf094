#include "persistence/Cp1252.h"
#include "persistence/EINIRegistryError.h"
#include "persistence/IniMemoryStream.h"
#include "persistence/IniRegistry.h"

#include <QByteArray>
#include <climits>
#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

const QByteArray kHeader = QByteArray("IniRegistry") + hex("00 10 11 00 00 00");

} // namespace

TEST(CompactInt, ExamplesAreByteExact) {
    struct Case {
        std::int32_t value;
        const char* bytes;
    } cases[] = {
        {0, "00"},
        {4, "01 04"},
        {300, "02 2C 01"},
        {-1, "FF FF"},
        {-200, "FF 38"},
        {16777232, "10 00 00 01"},
        {16777216, "04 00 00 00 01"},
        {5, "01 05"},
        {-256, "FF 00"},
        {-257, "FE FF FE"},
        {INT_MIN, "04 00 00 00 80"},
        {INT_MAX, "04 FF FF FF 7F"},
        {static_cast<std::int32_t>(0x80000010u), "10 00 00 80"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeCompactInt(c.value).toHex(' '), hex(c.bytes).toHex(' ')) << c.value;
        TIniMemoryStream stream(hex(c.bytes));
        EXPECT_EQ(ReadCompactInt(stream), c.value) << c.bytes;
        EXPECT_EQ(stream.Remaining(), 0) << c.bytes;
    }
}

TEST(CompactInt, EdgeValuesRoundTrip) {
    std::vector<std::int32_t> values = {0,
                                        1,
                                        -1,
                                        4,
                                        -4,
                                        5,
                                        -5,
                                        252,
                                        253,
                                        255,
                                        256,
                                        -256,
                                        -257,
                                        65535,
                                        65536,
                                        -65536,
                                        -65537,
                                        1 << 24,
                                        (1 << 24) - 1,
                                        -(1 << 24),
                                        -(1 << 24) - 1,
                                        INT_MIN,
                                        INT_MAX,
                                        INT_MIN + 1};
    // Every low byte with a four-byte value above and below zero, where the
    // choice between a length byte and none is made.
    for (int low = 0; low < 256; ++low) {
        values.push_back(0x12345600 | low);
        values.push_back(static_cast<std::int32_t>(0x89ABCD00u | static_cast<unsigned>(low)));
        values.push_back(low);
        values.push_back(-low);
    }
    for (const std::int32_t v : values) {
        const QByteArray bytes = EncodeCompactInt(v);
        ASSERT_GE(bytes.size(), 1);
        ASSERT_LE(bytes.size(), 5);
        TIniMemoryStream stream(bytes);
        EXPECT_EQ(ReadCompactInt(stream), v) << bytes.toHex(' ').constData();
        EXPECT_EQ(stream.Remaining(), 0) << v;
    }
}

TEST(CompactInt, TruncatedInputIsAReadError) {
    for (const char* bytes : {"", "01", "04 00 00 00", "FD 01 02", "10 00 00"}) {
        TIniMemoryStream stream(hex(bytes));
        EXPECT_THROW(ReadCompactInt(stream), EStreamReadError) << bytes;
    }
}

TEST(Cp1252, MapsTheWesternCodePage) {
    struct Case {
        const char* utf8;
        const char* bytes;
    } cases[] = {
        {"µs", "B5 73"},
        {"Bit´s", "42 69 74 B4 73"},
        {"Größe", "47 72 F6 DF 65"},
        {"€ „“ …", "80 20 84 93 20 85"},
        {"Ÿž", "9F 9E"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cp1252::encode(QString::fromUtf8(c.utf8)).toHex(' '), hex(c.bytes).toHex(' '));
        EXPECT_EQ(cp1252::decode(hex(c.bytes)), QString::fromUtf8(c.utf8));
    }
}

TEST(Cp1252, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(cp1252::encode(QString::fromUtf8("Ω→😀x")), QByteArray("???x"));
}

TEST(Cp1252, EveryByteSurvivesDecodeAndEncode) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(cp1252::encode(cp1252::decode(all)), all);
}

TEST(IniImage, OneKeyExampleIsByteExact) {
    TIniRegistry store;
    ASSERT_TRUE(store.OpenKey("K", true));
    store.WriteString("V", "x");
    const QByteArray expected =
        kHeader + hex("01 01  01 01 4B  00  01 01  01 01 56  01  01 02 78 00");
    EXPECT_EQ(store.SaveToBytes().toHex(' '), expected.toHex(' '));

    TIniRegistry loaded;
    ASSERT_TRUE(loaded.LoadFromBytes(expected));
    ASSERT_TRUE(loaded.OpenKey("\\K", false));
    EXPECT_EQ(loaded.ReadString("V"), "x");
}

TEST(IniImage, AllTypesAndStorageFormsRoundTrip) {
    TIniRegistry store;
    store.OpenKey("\\A\\B\\C", true);
    store.WriteInteger("int", -123456);
    store.WriteBool("bool", true);
    store.WriteFloat("float", 3.25L);
    store.WriteBinary("small", QByteArray("0123456789"));
    store.WriteBinary("large", QByteArray(1000, 'z'));
    store.WriteString("text", QString::fromUtf8("Größe in µs"));
    store.WriteString("empty", QString());
    store.OpenKey("\\A", false);
    store.WriteString("beside", "b");
    const QByteArray image = store.SaveToBytes();

    TIniRegistry loaded;
    ASSERT_TRUE(loaded.LoadFromBytes(image));
    EXPECT_EQ(loaded.SaveToBytes(), image);
    ASSERT_TRUE(loaded.OpenKey("\\a\\b\\c", false));
    EXPECT_EQ(loaded.ReadInteger("INT"), -123456);
    EXPECT_TRUE(loaded.ReadBool("bool"));
    EXPECT_EQ(loaded.ReadFloat("float"), 3.25L);
    EXPECT_EQ(loaded.ReadBinary("small"), QByteArray("0123456789"));
    EXPECT_EQ(loaded.ReadBinary("large"), QByteArray(1000, 'z'));
    EXPECT_EQ(loaded.ReadString("text"), QString::fromUtf8("Größe in µs"));
    EXPECT_EQ(loaded.ReadString("empty"), QString());
}

TEST(IniImage, HeaderMismatchLoadsNothing) {
    const QByteArray body = hex("01 01 4B 01 01 02 78 00");
    const QByteArray images[] = {
        QByteArray("iniRegistry") + hex("00 10 11 00 00 00") + body,
        QByteArray("IniRegistry") + hex("00 11 11 00 00 00") + body,
        QByteArray("IniRegistry"),
        QByteArray(),
    };
    for (const QByteArray& image : images) {
        TIniRegistry store;
        store.WriteString("keep", "me");
        EXPECT_FALSE(store.LoadFromBytes(image)) << image.toHex(' ').constData();
        EXPECT_EQ(store.ReadString("keep"), "me");
    }
}

// A damaged body must fail cleanly and leave the tree that was loaded before.
TEST(IniImage, DamagedBodyFailsAndKeepsTheOldTree) {
    struct Case {
        const char* what;
        QByteArray body;
        bool registryError; // EINIRegistryError, else a read error
        int code;
    } cases[] = {
        {"truncated value", hex("01 01  01 01 41  01  01 05  78"), false, 0},
        {"count larger than the data", hex("04 FF FF FF 7F 00"), false, 0},
        {"negative count", hex("FF FF"), false, 0},
        {"name longer than the data", hex("01 01 04 FF FF FF 00 01 00"), false, 0},
        {"negative name length", hex("01 01 FF FF 01 00"), false, 0},
        {"huge value size", hex("01 01  01 01 41  05  04 FF FF FF 7F"), false, 0},
        {"missing type", hex("01 01  01 01 41"), false, 0},
        {"unknown type", hex("01 01  01 01 41  06  00"), true, 4},
        {"duplicate name (case-insensitive)", hex("01 02  01 01 41  01 00  01 01 61  01 00"), true,
         10},
    };
    for (const Case& c : cases) {
        TIniRegistry store;
        store.OpenKey("Old", true);
        store.WriteString("value", "kept");
        store.CloseKey();
        const QByteArray before = store.SaveToBytes();
        try {
            store.LoadFromBytes(kHeader + c.body);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const EINIRegistryError& e) {
            EXPECT_TRUE(c.registryError) << c.what;
            EXPECT_EQ(e.ErrorCode(), c.code) << c.what;
        } catch (const EStreamReadError&) {
            EXPECT_FALSE(c.registryError) << c.what;
        }
        EXPECT_EQ(store.SaveToBytes(), before) << c.what;
    }
}

TEST(IniImage, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    QByteArray body;
    for (int i = 0; i < 100000; ++i)
        body += hex("01 01 00 00");
    body += hex("00");
    TIniRegistry store;
    EXPECT_THROW(store.LoadFromBytes(kHeader + body), EStreamReadError);

    // Nesting within the limit loads.
    QByteArray shallow;
    for (int i = 0; i < 50; ++i)
        shallow += hex("01 01 00 00");
    shallow += hex("00");
    EXPECT_TRUE(store.LoadFromBytes(kHeader + shallow));
}

TEST(IniImage, ValueSizesFromAFileBypassTheTypeRules) {
    // A three-byte integer in a file is taken as it is; only storing checks sizes.
    TIniRegistry store;
    ASSERT_TRUE(store.LoadFromBytes(kHeader + hex("01 01  01 01 49  03  01 03  01 02 03")));
    EXPECT_EQ(store.ReadInteger("I"), 0x030201);
    EXPECT_EQ(store.RootKey().Item(0).InlineSize, 3);
}
