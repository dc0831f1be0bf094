#include "ScriptedDesktop.h"
#include "hardware/SimulatedPattern.h"
#include "hardware/SimulatedPortSystem.h"
#include "hardware/TPortIO.h"

#include <gtest/gtest.h>

namespace {

struct Rig {
    Rig() {
        auto owned = std::make_unique<SimulatedPortSystem>();
        sim = owned.get();
        port = std::make_unique<TPortIO>(desktop, std::move(owned));
        port->SetIOactive(true);
    }
    ScriptedDesktop desktop;
    SimulatedPortSystem* sim = nullptr;
    std::unique_ptr<TPortIO> port;
};

} // namespace

TEST(SimulatedPort, ARecordingReadsThePatternSampleBySample) {
    for (const bool fast : {false, true}) {
        Rig rig;
        // As "Eingabe progr." does: control OR 0x2F, data 0x00, then the
        // status display reads control, status and data once.
        rig.port->WritePortByte(0x37A, rig.port->ReadPortByte(0x37A) | 0x2F);
        rig.port->WritePortByte(0x378, 0x00);
        rig.port->ReadPortByte(0x37A);
        rig.port->ReadPortByte(0x379);
        rig.port->ReadPortByte(0x378);
        rig.port->SetIOFastmode(fast);

        const std::uint64_t first = rig.sim->NextSample(0x378);
        EXPECT_EQ(first, 1u);
        for (std::uint64_t n = first; n < first + 12000; ++n) {
            const std::uint8_t low = rig.port->ReadPortByte(0x378);
            const std::uint8_t high = rig.port->ReadPortByte(0x379) >> 4;
            ASSERT_EQ(low, SimulatedPattern::Data(n)) << n << (fast ? " fast" : " requests");
            ASSERT_EQ(high, SimulatedPattern::Status(n) >> 4) << n;
        }
    }
}

TEST(SimulatedPort, EveryLineOfThePatternChanges) {
    std::uint8_t dataSeen = 0;
    std::uint8_t statusSeen = 0;
    const std::uint8_t data0 = SimulatedPattern::Data(0);
    const std::uint8_t status0 = SimulatedPattern::Status(0);
    for (std::uint64_t n = 0; n < 10000; ++n) {
        dataSeen |= SimulatedPattern::Data(n) ^ data0;
        statusSeen |= SimulatedPattern::Status(n) ^ status0;
    }
    EXPECT_EQ(dataSeen, 0xFF);
    EXPECT_EQ(statusSeen, 0xF0); // bits 0..3 stay as an idle port reads them
}

TEST(SimulatedPort, OutputModeReadsTheLatchButTimeStillPasses) {
    Rig rig;
    rig.port->WritePortByte(0x278, 0x5A);
    const std::uint64_t before = rig.sim->NextSample(0x278);
    EXPECT_EQ(rig.port->ReadPortByte(0x278), 0x5A);
    EXPECT_EQ(rig.port->ReadPortByte(0x279), SimulatedPattern::Status(before));
    EXPECT_EQ(rig.sim->NextSample(0x278), before + 1);
    EXPECT_EQ(rig.sim->NextSample(0x378), 0u); // each port has its own clock
}
