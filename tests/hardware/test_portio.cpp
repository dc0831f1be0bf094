#include "ScriptedDesktop.h"
#include "hardware/SimulatedPortSystem.h"
#include "hardware/TPortIO.h"
#include "platform/Conversion.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

const QString Kind1 = QStringLiteral(
    "Could not start driver. Something wrong !\n\rPlease, check your path or filename\n\r");
const QString Kind2 = QStringLiteral("Sorry, these option are not allowed for\n\rWindows 95, 95b, "
                                     "98se and 98ME.\n\rCheck your windows version, please.\n\r");
const QString Kind3 = QStringLiteral(
    "Could not start driver. Something wrong !\n\rPlease, check your IOActive variable\n\r");

QString InstallCall() {
    return QStringLiteral("ServiceInstall(%1/zlportio.sys, zlportio)")
        .arg(QCoreApplication::applicationDirPath());
}

const QString Stop = QStringLiteral("ServiceStop(zlportio)");
const QString Remove = QStringLiteral("ServiceRemove(zlportio)");
const QString Open = QStringLiteral("OpenDevice");
const QString Start = QStringLiteral("ServiceStart(zlportio)");

// A component on a simulated port system that the test can still reach.
struct Rig {
    explicit Rig(PlatformKind kind = PlatformKind::DriverBased) {
        auto owned = std::make_unique<SimulatedPortSystem>(kind);
        sim = owned.get();
        port = std::make_unique<TPortIO>(desktop, std::move(owned));
        port->SetName(QStringLiteral("PortIO1"));
    }
    ScriptedDesktop desktop;
    SimulatedPortSystem* sim = nullptr;
    std::unique_ptr<TPortIO> port;
};

} // namespace

TEST(PortIOActivation, FollowsTheServiceAndDeviceSequence) {
    struct Case {
        const char* name;
        PlatformKind kind;
        std::deque<bool> opens;
        std::uint32_t install;
        std::uint32_t start;
        QStringList calls;
        bool active;
    } cases[] = {
        {"device opens at once",
         PlatformKind::DriverBased,
         {true},
         0,
         0,
         {Open, Stop, Remove},
         true},
        {"installed, started, opened",
         PlatformKind::DriverBased,
         {false, true},
         0,
         0,
         {Open, Stop, Remove, InstallCall(), Start, Open, Stop, Remove},
         true},
        {"second open fails",
         PlatformKind::DriverBased,
         {false, false},
         0,
         0,
         {Open, Stop, Remove, InstallCall(), Start, Open},
         false},
        {"install refused",
         PlatformKind::DriverBased,
         {false},
         5,
         0,
         {Open, Stop, Remove, InstallCall()},
         false},
        {"start refused",
         PlatformKind::DriverBased,
         {false},
         0,
         1058,
         {Open, Stop, Remove, InstallCall(), Start},
         false},
        {"direct platform", PlatformKind::Direct, {}, 0, 0, {}, true},
    };
    for (const auto& c : cases) {
        Rig rig(c.kind);
        rig.sim->script().openResults = c.opens;
        rig.sim->script().openByDefault = false;
        rig.sim->script().install = c.install;
        rig.sim->script().start = c.start;
        rig.port->SetIOactive(true);
        EXPECT_EQ(rig.sim->Calls(), c.calls) << c.name;
        EXPECT_EQ(rig.port->IOactive(), c.active) << c.name;
        const auto shown = rig.desktop.messages();
        if (c.active) {
            EXPECT_TRUE(shown.empty()) << c.name;
        } else {
            ASSERT_EQ(shown.size(), 1u) << c.name;
            EXPECT_EQ(shown[0].text, Kind1) << c.name;
            EXPECT_EQ(shown[0].caption, QStringLiteral("PortIO1 Component - Error")) << c.name;
            EXPECT_EQ(shown[0].icon, Desktop::Icon::Error);
            EXPECT_EQ(shown[0].buttons, int(Desktop::Ok));
        }
    }
}

TEST(PortIOActivation, RepeatedWritesDoNothingAndDeactivationOnlyClosesTheDevice) {
    Rig rig;
    rig.port->SetIOactive(false);
    EXPECT_TRUE(rig.sim->Calls().isEmpty());
    rig.port->SetIOactive(true);
    rig.sim->ClearCalls();
    rig.port->SetIOactive(true);
    EXPECT_TRUE(rig.sim->Calls().isEmpty());

    rig.port->SetIOAddr(QStringLiteral("378"));
    rig.port->SetIOData(QStringLiteral("FF"));
    rig.port->SetIOactive(false);
    EXPECT_EQ(rig.sim->Calls(), QStringList{QStringLiteral("CloseDevice")});
    EXPECT_FALSE(rig.port->IOactive());
    EXPECT_TRUE(rig.port->IOAddr().isEmpty());
    EXPECT_TRUE(rig.port->IOData().isEmpty());

    // Closed: requests no longer reach the driver.
    const auto before = rig.sim->RequestCount();
    rig.port->WritePortByte(0x378, 0x55);
    EXPECT_EQ(rig.port->ReadPortByte(0x378), 0);
    EXPECT_EQ(rig.sim->RequestCount(), before);
    EXPECT_TRUE(rig.desktop.messages().empty());
}

TEST(PortIOCaption, StartsAsSelfAndFollowsTheName) {
    ScriptedDesktop desktop;
    TPortIO port(desktop, std::make_unique<SimulatedPortSystem>());
    EXPECT_EQ(port.ErrorCaption(), QStringLiteral("SELF TPortIO Component - Error"));
    port.SetName(QStringLiteral("PortIO1"));
    EXPECT_EQ(port.ErrorCaption(), QStringLiteral("PortIO1 Component - Error"));
}

TEST(PortIORequests, BuffersAreTwelveLittleEndianBytes) {
    using Bytes = std::array<std::uint8_t, 12>;
    struct Case {
        const char* name;
        bool write;
        std::uint32_t address;
        TZLIOCode width;
        std::uint32_t value;
        std::uint32_t code;
        Bytes bytes;
        std::uint32_t outSize;
    } cases[] = {
        {"read byte", false, 0x378, TZLIOCode::ZLIO_BYTE, 0, 0x80FF0004,
         Bytes{0x78, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 4},
        {"read dword", false, 0x279, TZLIOCode::ZLIO_DWORD, 0, 0x80FF0004,
         Bytes{0x79, 0x02, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}, 4},
        {"write byte", true, 0x37A, TZLIOCode::ZLIO_BYTE, 0x2F, 0x80FF0008,
         Bytes{0x7A, 0x03, 0, 0, 0, 0, 0, 0, 0x2F, 0, 0, 0}, 0},
        {"write word", true, 0x12345678, TZLIOCode::ZLIO_WORD, 0xA1B2C3D4, 0x80FF0008,
         Bytes{0x78, 0x56, 0x34, 0x12, 1, 0, 0, 0, 0xD4, 0xC3, 0xB2, 0xA1}, 0},
    };
    Rig rig;
    rig.port->SetIOactive(true);
    for (const auto& c : cases) {
        if (c.write)
            rig.port->WritePort(c.address, c.width, c.value);
        else
            rig.port->ReadPort(c.address, c.width);
        const auto& r = rig.sim->LastRequest();
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_EQ(r.inSize, 12u) << c.name;
        EXPECT_EQ(r.in, c.bytes) << c.name;
        EXPECT_EQ(r.outSize, c.outSize) << c.name;
    }
}

TEST(PortIORequests, ReadsReturnWhatTheDriverAnswers) {
    Rig rig;
    rig.port->SetIOactive(true);
    rig.port->WritePortByte(0x378, 0xA5);
    rig.port->WritePortByte(0x37A, 0x0C);
    EXPECT_EQ(rig.port->ReadPortByte(0x378), 0xA5);
    EXPECT_EQ(rig.port->ReadPortByte(0x37A), 0x0C);
    EXPECT_EQ(rig.sim->Latch(0x378), 0xA5);
    // An address no port answers reads all bits set, as an empty bus does.
    EXPECT_EQ(rig.port->ReadPortByte(0x3BC), 0xFF);
    EXPECT_EQ(rig.port->ReadPort(0x3BC, TZLIOCode::ZLIO_WORD), 0xFFFFu);
}

TEST(PortIOFastMode, MisuseShowsKindsTwoAndThreeAndKeepsTheValue) {
    {
        Rig rig(PlatformKind::Direct);
        rig.port->SetIOactive(true);
        rig.port->SetIOFastmode(true);
        EXPECT_FALSE(rig.port->IOFastmode());
        ASSERT_EQ(rig.desktop.messages().size(), 1u);
        EXPECT_EQ(rig.desktop.messages()[0].text, Kind2);
        EXPECT_EQ(rig.port->LastErrorText(), Kind2);
    }
    {
        Rig rig(PlatformKind::Direct);
        rig.port->SetIOFastmode(true); // not open: nothing to refuse
        EXPECT_TRUE(rig.desktop.messages().empty());
    }
    {
        Rig rig;
        rig.port->SetIOFastmode(true);
        EXPECT_FALSE(rig.port->IOFastmode());
        ASSERT_EQ(rig.desktop.messages().size(), 1u);
        EXPECT_EQ(rig.desktop.messages()[0].text, Kind3);
        EXPECT_TRUE(rig.sim->Calls().isEmpty());
    }
    {
        Rig rig;
        rig.port->SetIOactive(true);
        rig.port->SetIOFastmode(false); // active, same value: silent
        EXPECT_TRUE(rig.desktop.messages().empty());
    }
}

TEST(PortIOFastMode, GrantSwitchesToPortInstructionsAndRevokeBack) {
    Rig rig;
    rig.port->SetIOactive(true);
    rig.sim->ClearCalls();
    rig.port->SetIOFastmode(true);
    EXPECT_TRUE(rig.port->IOFastmode());
    EXPECT_EQ(rig.sim->Calls(), QStringList{QStringLiteral("Grant")});
    EXPECT_EQ(rig.sim->LastRequest().inSize, 0u);
    EXPECT_EQ(rig.sim->LastRequest().outSize, 0u);

    const auto requests = rig.sim->RequestCount();
    rig.port->WritePortByte(0x378, 0x3C);
    EXPECT_EQ(rig.port->ReadPortByte(0x378), 0x3C);
    EXPECT_EQ(rig.sim->RequestCount(), requests);

    rig.port->SetIOFastmode(false);
    EXPECT_FALSE(rig.port->IOFastmode());
    EXPECT_EQ(rig.sim->Calls(), (QStringList{QStringLiteral("Grant"), QStringLiteral("Revoke")}));
    rig.port->ReadPortByte(0x378);
    EXPECT_EQ(rig.sim->RequestCount(), requests + 2);
}

TEST(PortIOFastMode, RefusedGrantStaysOnDriverRequests) {
    Rig rig;
    rig.sim->script().grantAllowed = false;
    rig.port->SetIOactive(true);
    rig.port->SetIOFastmode(true);
    EXPECT_FALSE(rig.port->IOFastmode());
    const auto requests = rig.sim->RequestCount();
    rig.port->WritePortByte(0x378, 0x81);
    EXPECT_EQ(rig.port->ReadPortByte(0x378), 0x81);
    EXPECT_EQ(rig.sim->RequestCount(), requests + 2);
}

TEST(PortIOTextCommands, ReadFormatsUpperCaseHexOfTheWidth) {
    struct Case {
        TZLIOCode width;
        const char* address;
        const char* expected;
    } cases[] = {
        {TZLIOCode::ZLIO_BYTE, "378", "FF"},
        {TZLIOCode::ZLIO_BYTE, "37a", "0C"},
        {TZLIOCode::ZLIO_WORD, "37A", "FF0C"},
        {TZLIOCode::ZLIO_DWORD, "3BC", "FFFFFFFF"},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.port->SetIOactive(true);
        rig.port->WritePortByte(0x378, 0xFF);
        rig.port->WritePortByte(0x37A, 0x0C);
        rig.port->SetIODataType(c.width);
        rig.port->SetIOAddr(QString::fromLatin1(c.address));
        rig.port->SetIODataCMD(TZLIOCMD::ZLIO_READ);
        EXPECT_EQ(rig.port->IOData(), QString::fromLatin1(c.expected)) << c.address;
        EXPECT_EQ(rig.port->IODataCMD(), TZLIOCMD::ZLIO_NONE);
    }
}

TEST(PortIOTextCommands, WriteSendsTheValueAndIsIgnoredWhileInactive) {
    Rig rig;
    rig.port->SetIOAddr(QStringLiteral("37A"));
    rig.port->SetIOData(QStringLiteral("2F"));
    rig.port->SetIODataCMD(TZLIOCMD::ZLIO_WRITE);
    EXPECT_EQ(rig.sim->RequestCount(), 0u);
    EXPECT_EQ(rig.sim->Control(0x378), 0);

    rig.port->SetIOactive(true);
    rig.port->SetIOAddr(QStringLiteral("37A"));
    rig.port->SetIOData(QStringLiteral("2F"));
    rig.port->SetIODataCMD(TZLIOCMD::ZLIO_WRITE);
    EXPECT_EQ(rig.sim->Control(0x378), 0x2F);
    EXPECT_EQ(rig.port->IODataCMD(), TZLIOCMD::ZLIO_NONE);
}

TEST(PortIOTextCommands, MalformedTextThrowsBeforeAnyAccess) {
    struct Case {
        TZLIOCMD command;
        const char* address;
        const char* data;
        const char* message;
    } cases[] = {
        {TZLIOCMD::ZLIO_READ, "37G", "", "'$37G' ist kein gültiger Integerwert"},
        {TZLIOCMD::ZLIO_READ, "", "12", "'$' ist kein gültiger Integerwert"},
        {TZLIOCMD::ZLIO_WRITE, "378", "", "'$' ist kein gültiger Integerwert"},
        {TZLIOCMD::ZLIO_WRITE, "-378", "01", "'$-378' ist kein gültiger Integerwert"},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.port->SetIOactive(true);
        const auto requests = rig.sim->RequestCount();
        rig.port->SetIOAddr(QString::fromUtf8(c.address));
        rig.port->SetIOData(QString::fromUtf8(c.data));
        try {
            rig.port->SetIODataCMD(c.command);
            ADD_FAILURE() << c.address << " did not throw";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.message));
        }
        EXPECT_EQ(rig.sim->RequestCount(), requests) << c.address;
        if (c.command == TZLIOCMD::ZLIO_READ) {
            EXPECT_TRUE(rig.port->IOData().isEmpty());
        }
    }
}

TEST(PortIODataLines, ThePortSaysWhetherItsDataLinesCanBeInputs) {
    Rig rig;
    EXPECT_TRUE(rig.port->CanReadDataLines(0x378)) << "closed: nothing is read at all";
    rig.port->SetIOactive(true);
    EXPECT_TRUE(rig.port->CanReadDataLines(0x378));
    rig.sim->script().dataLinesReadable = false;
    EXPECT_FALSE(rig.port->CanReadDataLines(0x378));
    EXPECT_TRUE(rig.desktop.messages().empty()) << "telling the user is the window's part";
}
