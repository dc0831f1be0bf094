#include "FakeParportKernel.h"
#include "ScriptedDesktop.h"
#include "hardware/DirectPortSystem.h"
#include "hardware/PortIoProtocol.h"
#include "hardware/PpdevPortSystem.h"
#include "hardware/TPortIO.h"

#include <gtest/gtest.h>

namespace {

using Requests = std::vector<std::string>;

// The ppdev driver over a fake kernel with LPT1 (parport0 at 0x378) and
// LPT2 (parport1 at 0x278), driven through TPortIO as the program does.
struct PpdevRig {
    PpdevRig() {
        auto owned = std::make_unique<FakeParportKernel>();
        kernel = owned.get();
        kernel->AddPort(0, 0x378);
        kernel->AddPort(1, 0x278);
        port =
            std::make_unique<TPortIO>(desktop, std::make_unique<PpdevPortSystem>(std::move(owned)));
        // Held, as while the program reads signals: one claim for all accesses.
        port->SetPortHeld(true);
    }
    ScriptedDesktop desktop;
    FakeParportKernel* kernel = nullptr;
    std::unique_ptr<TPortIO> port;
};

} // namespace

TEST(PpdevDriver, EachRegisterAccessUsesItsIoctl) {
    struct Case {
        const char* name;
        bool write;
        std::uint32_t address;
        std::uint8_t value;
        Requests requests;
    } cases[] = {
        {"read data", false, 0x378, 0, {"PPRDATA"}},
        {"write data", true, 0x378, 0x55, {"PPWDATA"}},
        {"read status", false, 0x379, 0, {"PPRSTATUS"}},
        {"write status", true, 0x379, 0xFF, {}},
        {"control to input", true, 0x37A, 0x2F, {"PPDATADIR", "PPWCONTROL"}},
        {"control, direction kept", true, 0x37A, 0x2B, {"PPWCONTROL"}},
        {"read control", false, 0x37A, 0, {}},
        {"control to output", true, 0x37A, 0x0F, {"PPDATADIR", "PPWCONTROL"}},
    };
    PpdevRig rig;
    rig.port->SetIOactive(true);
    rig.port->ReadPortByte(0x378); // the first access claims the port
    for (const auto& c : cases) {
        rig.kernel->ioctls.clear();
        if (c.write)
            rig.port->WritePortByte(c.address, c.value);
        else
            rig.port->ReadPortByte(c.address);
        EXPECT_EQ(rig.kernel->RequestsOf(0), c.requests) << c.name;
    }
}

TEST(PpdevDriver, ControlGoesToTheKernelAsBitsAndDirection) {
    PpdevRig rig;
    rig.port->SetIOactive(true);
    rig.port->WritePortByte(0x37A, 0xEF);
    const auto& lpt1 = *rig.kernel->ByNumber(0);
    EXPECT_TRUE(lpt1.reverse);
    EXPECT_EQ(lpt1.control & 0x0F, 0x0F);
    const auto& calls = rig.kernel->ioctls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].value, 1);    // PPDATADIR: reverse
    EXPECT_EQ(calls.back().value, 0x0F);            // PPWCONTROL: bits 0..3 only
    EXPECT_EQ(rig.port->ReadPortByte(0x37A), 0xEF); // bits 4, 6, 7 kept in the shadow
}

TEST(PpdevDriver, FirstAccessClaimsAndStartsTheShadowFromTheKernel) {
    PpdevRig rig;
    rig.port->SetIOactive(true);
    EXPECT_TRUE(rig.kernel->ioctls.empty());
    // PPCLAIM rewrites control to 0x0C; a control read then gives those bits.
    EXPECT_EQ(rig.port->ReadPortByte(0x37A), 0x0C);
    EXPECT_EQ(rig.kernel->RequestsOf(0), (Requests{"PPCLAIM", "PPRCONTROL"}));
    rig.port->ReadPortByte(0x378);
    EXPECT_EQ(rig.kernel->RequestsOf(0), (Requests{"PPCLAIM", "PPRCONTROL", "PPRDATA"}));
    EXPECT_TRUE(rig.kernel->RequestsOf(1).empty());
}

TEST(PpdevDriver, BusyPortIsNotClaimedSoTheWindowNeverBlocks) {
    PpdevRig rig;
    rig.kernel->ByNumber(0)->active = "lp0";
    rig.port->SetIOactive(true);
    EXPECT_EQ(rig.port->ReadPortByte(0x378), 0xFF);
    rig.port->WritePortByte(0x378, 0x12);
    EXPECT_TRUE(rig.kernel->ioctls.empty());

    rig.kernel->ByNumber(0)->active = "none";
    rig.port->WritePortByte(0x378, 0x12);
    EXPECT_EQ(rig.kernel->RequestsOf(0), (Requests{"PPCLAIM", "PPRCONTROL", "PPWDATA"}));
}

TEST(PpdevDriver, AddressesMapToThePortWithThatBase) {
    PpdevRig rig;
    rig.port->SetIOactive(true);
    rig.port->WritePortByte(0x278, 0x77);
    EXPECT_EQ(rig.kernel->ByNumber(1)->latch, 0x77);
    EXPECT_EQ(rig.kernel->ByNumber(0)->latch, 0x00);
    EXPECT_TRUE(rig.kernel->RequestsOf(0).empty());
}

TEST(PpdevDriver, NeverAsksForExclusiveAccess) {
    PpdevRig rig;
    rig.port->SetIOactive(true);
    rig.port->WritePortByte(0x37A, 0x2F);
    rig.port->ReadPortByte(0x378);
    rig.port->CanReadDataLines(0x378);
    rig.port->SetIOactive(false);
    for (const auto& call : rig.kernel->ioctls)
        EXPECT_NE(call.request, "PPEXCL");
}

TEST(PpdevDriver, ClosingReleasesClaimedPortsAndClosesEveryNode) {
    PpdevRig rig;
    rig.port->SetIOactive(true);
    EXPECT_EQ(rig.kernel->openFds, 2);
    rig.port->ReadPortByte(0x378);
    rig.kernel->ioctls.clear();
    rig.port->SetIOactive(false);
    EXPECT_EQ(rig.kernel->RequestsOf(0), Requests{"PPRELEASE"});
    EXPECT_TRUE(rig.kernel->RequestsOf(1).empty());
    EXPECT_EQ(rig.kernel->openFds, 0);
}

TEST(PpdevDriver, APortNotHeldIsClaimedForEachAccessAndLetGo) {
    PpdevRig rig;
    rig.port->SetIOactive(true);
    rig.port->SetPortHeld(false);
    rig.port->WritePortByte(0x37A, 0x2F); // direction and all four pins
    EXPECT_EQ(rig.kernel->RequestsOf(0),
              (Requests{"PPCLAIM", "PPRCONTROL", "PPDATADIR", "PPWCONTROL", "PPRELEASE"}));
    EXPECT_EQ(rig.kernel->ByNumber(0)->claimedBy, -1) << "a printer driver may use it now";

    // The next claim gets back what the release saved, the direction included.
    rig.kernel->ioctls.clear();
    EXPECT_EQ(rig.port->ReadPortByte(0x37A), 0x2F);
    EXPECT_TRUE(rig.kernel->ByNumber(0)->reverse);
    EXPECT_EQ(rig.kernel->RequestsOf(0), (Requests{"PPCLAIM", "PPRCONTROL", "PPRELEASE"}));

    // Held, the claim outlives the access until the hold ends.
    rig.port->SetPortHeld(true);
    rig.port->ReadPortByte(0x378);
    EXPECT_EQ(rig.kernel->ByNumber(0)->claimedBy >= 0, true);
    rig.kernel->ioctls.clear();
    rig.port->SetPortHeld(false);
    EXPECT_EQ(rig.kernel->RequestsOf(0), Requests{"PPRELEASE"});
    EXPECT_EQ(rig.kernel->ByNumber(0)->claimedBy, -1);
    EXPECT_TRUE(rig.kernel->RequestsOf(1).empty()) << "the other port was never claimed";
}

TEST(PpdevDriver, TriStateComesFromTheModesWithoutAClaim) {
    PpdevRig rig;
    rig.kernel->ByNumber(1)->triState = false;
    rig.port->SetIOactive(true);
    EXPECT_TRUE(rig.port->CanReadDataLines(0x378));
    EXPECT_FALSE(rig.port->CanReadDataLines(0x27A));
    EXPECT_EQ(rig.kernel->RequestsOf(0), Requests{"PPGETMODES"});
}

TEST(PpdevActivation, DeviceOpensAtOnceAndTheModuleIsAskedToUnload) {
    PpdevRig rig;
    rig.kernel->exitCodes[QStringLiteral("modprobe -r ppdev")] = 1; // in use
    rig.port->SetIOactive(true);
    EXPECT_TRUE(rig.port->IOactive());
    EXPECT_EQ(rig.kernel->commands, QStringList{QStringLiteral("modprobe -r ppdev")});
    EXPECT_TRUE(rig.desktop.messages().empty());
}

TEST(PpdevActivation, LoadsPpdevWhenNoPortIsListed) {
    PpdevRig rig;
    rig.kernel->modulesLoaded = false;
    rig.kernel->afterRun = [&](const QString& command) {
        if (command == QStringLiteral("modprobe ppdev")) rig.kernel->modulesLoaded = true;
    };
    rig.port->SetIOactive(true);
    EXPECT_TRUE(rig.port->IOactive());
    EXPECT_EQ(rig.kernel->commands,
              (QStringList{QStringLiteral("modprobe -r ppdev"), QStringLiteral("modprobe ppdev"),
                           QStringLiteral("modprobe -r ppdev")}));
}

TEST(PpdevActivation, UserWithoutRightsGetsKindOne) {
    PpdevRig rig;
    for (auto& p : rig.kernel->ports)
        p.nodeOpens = false;
    rig.kernel->exitCodes[QStringLiteral("modprobe ppdev")] = 1;
    rig.kernel->exitCodes[QStringLiteral("modprobe -r ppdev")] = 1;
    rig.port->SetIOactive(true);
    EXPECT_FALSE(rig.port->IOactive());
    EXPECT_EQ(rig.kernel->commands,
              (QStringList{QStringLiteral("modprobe -r ppdev"), QStringLiteral("modprobe ppdev")}));
    ASSERT_EQ(rig.desktop.messages().size(), 1u);
    EXPECT_TRUE(rig.desktop.messages()[0].text.startsWith(
        QStringLiteral("Could not start driver. Something wrong !")));
    EXPECT_EQ(rig.kernel->openFds, 0);
}

TEST(PpdevFastMode, RefusedIopermLeavesRequestsAndNoPortInstruction) {
    PpdevRig rig; // ioperm answers ENOSYS, as in a sandbox
    rig.port->SetIOactive(true);
    rig.port->SetIOFastmode(true);
    EXPECT_FALSE(rig.port->IOFastmode());
    EXPECT_EQ(rig.kernel->ioperms, QStringList{QStringLiteral("ioperm(0x0, 0x400, 1)")});
    rig.port->WritePortByte(0x378, 0x42);
    EXPECT_EQ(rig.port->ReadPortByte(0x378), 0x42);
    EXPECT_TRUE(rig.kernel->portInstructions.isEmpty());
}

TEST(PpdevFastMode, GrantedIopermUsesPortInstructions) {
    PpdevRig rig;
    rig.kernel->iopermResult = 0;
    rig.port->SetIOactive(true);
    rig.port->SetIOFastmode(true);
    EXPECT_TRUE(rig.port->IOFastmode());
    rig.port->WritePortByte(0x378, 0x42);
    EXPECT_EQ(rig.port->ReadPortByte(0x378), 0x42);
    EXPECT_EQ(rig.kernel->portInstructions,
              (QStringList{QStringLiteral("out1 0x378 0x42"), QStringLiteral("in1 0x378")}));
    rig.port->SetIOFastmode(false);
    EXPECT_EQ(rig.kernel->ioperms.last(), QStringLiteral("ioperm(0x0, 0x400, 0)"));
}

TEST(DirectPorts, InstructionsRunOnlyOnGrantedPorts) {
    auto owned = std::make_unique<FakeParportKernel>();
    FakeParportKernel* kernel = owned.get();
    kernel->AddPort(0, 0x378).triState = false;
    ScriptedDesktop desktop;
    TPortIO port(desktop, std::make_unique<DirectPortSystem>(std::move(owned)));
    port.SetIOactive(true);
    EXPECT_TRUE(port.IOactive());
    EXPECT_TRUE(kernel->commands.isEmpty());

    // Refused (ENOSYS): nothing executes, reads give all bits set.
    EXPECT_EQ(port.ReadPortByte(0x378), 0xFF);
    port.WritePortByte(0x378, 0x01);
    EXPECT_TRUE(kernel->portInstructions.isEmpty());
    EXPECT_EQ(kernel->ioperms.size(), 1); // asked once per port

    kernel->iopermResult = 0;
    port.WritePortByte(0x379, 0x01);
    EXPECT_EQ(port.ReadPortByte(0x379), 0x78);
    EXPECT_EQ(kernel->portInstructions,
              (QStringList{QStringLiteral("out1 0x379 0x1"), QStringLiteral("in1 0x379")}));
    EXPECT_FALSE(port.CanReadDataLines(0x378));
    EXPECT_TRUE(port.CanReadDataLines(0x278)); // a port the kernel does not know
}

TEST(PortSystemFactory, EachKindGivesItsPlatform) {
    struct Case {
        PortSystemKind kind;
        PlatformKind platform;
    } cases[] = {
        {PortSystemKind::Ppdev, PlatformKind::DriverBased},
        {PortSystemKind::Direct, PlatformKind::Direct},
        {PortSystemKind::Simulated, PlatformKind::DriverBased},
    };
    for (const auto& c : cases) {
        const auto system = MakePortSystem(c.kind);
        ASSERT_NE(system, nullptr);
        EXPECT_EQ(system->Platform(), c.platform);
    }
    // Only the simulated port answers without hardware.
    ScriptedDesktop desktop;
    TPortIO port(desktop, MakePortSystem(PortSystemKind::Simulated));
    port.SetIOactive(true);
    port.WritePortByte(0x378, 0x99);
    EXPECT_EQ(port.ReadPortByte(0x378), 0x99);
}
