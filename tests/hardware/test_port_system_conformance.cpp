#include "FakeParportKernel.h"
#include "hardware/PortIoProtocol.h"
#include "hardware/PpdevPortSystem.h"
#include "hardware/SimulatedPattern.h"
#include "hardware/SimulatedPortSystem.h"

#include <functional>
#include <gtest/gtest.h>

// One suite for the port-system interface, run on the simulated port and on
// the ppdev driver over a fake kernel: both must behave like the registers of
// a real parallel port at 0x378 and 0x278.
namespace {

constexpr std::uint32_t Base = 0x378;

class Harness {
  public:
    virtual ~Harness() = default;
    virtual PortSystem& System() = 0;
    // What the next data read gives while the port is in input mode.
    virtual std::uint8_t NextInput() = 0;
    // What the status register reads right after a data read.
    virtual std::uint8_t StatusAfterDataRead() = 0;
    virtual void RemoveTriState() = 0;
    virtual void AllowGrant(bool allowed) = 0;
    virtual int PortInstructionsExecuted() const = 0;
};

class SimulatedHarness final : public Harness {
  public:
    PortSystem& System() override { return sim; }
    std::uint8_t NextInput() override { return SimulatedPattern::Data(sim.NextSample(Base)); }
    std::uint8_t StatusAfterDataRead() override {
        return SimulatedPattern::Status(sim.NextSample(Base) - 1);
    }
    void RemoveTriState() override { sim.script().dataLinesReadable = false; }
    void AllowGrant(bool allowed) override { sim.script().grantAllowed = allowed; }
    int PortInstructionsExecuted() const override { return 0; }
    SimulatedPortSystem sim;
};

class PpdevHarness final : public Harness {
  public:
    PpdevHarness() {
        auto owned = std::make_unique<FakeParportKernel>();
        kernel = owned.get();
        kernel->AddPort(0, 0x378).pins = 0x5A;
        kernel->AddPort(1, 0x278).pins = 0xC3;
        system = std::make_unique<PpdevPortSystem>(std::move(owned));
    }
    PortSystem& System() override { return *system; }
    std::uint8_t NextInput() override { return kernel->ByNumber(0)->pins; }
    std::uint8_t StatusAfterDataRead() override { return kernel->ByNumber(0)->status; }
    void RemoveTriState() override {
        for (auto& p : kernel->ports)
            p.triState = false;
    }
    void AllowGrant(bool allowed) override { kernel->iopermResult = allowed ? 0 : 1; }
    int PortInstructionsExecuted() const override { return int(kernel->portInstructions.size()); }
    FakeParportKernel* kernel = nullptr;
    std::unique_ptr<PpdevPortSystem> system;
};

struct Implementation {
    const char* name;
    std::function<std::unique_ptr<Harness>()> make;
};

class PortSystemConformance : public ::testing::TestWithParam<Implementation> {
  protected:
    void SetUp() override {
        harness = GetParam().make();
        ASSERT_TRUE(port().OpenDevice());
    }
    PortSystem& port() { return harness->System(); }

    std::uint32_t Read(std::uint32_t address, TZLIOCode width = TZLIOCode::ZLIO_BYTE,
                       bool* done = nullptr) {
        std::uint8_t in[portio::RequestSize];
        portio::EncodeRequest({address, std::uint32_t(width), 0}, in);
        std::uint8_t out[portio::ReplySize] = {};
        const bool ok = port().DeviceIoControl(portio::ReadCode, in, sizeof in, out, sizeof out);
        if (done) *done = ok;
        return portio::GetLe32(out);
    }
    bool Write(std::uint32_t address, std::uint32_t value) {
        std::uint8_t in[portio::RequestSize];
        portio::EncodeRequest({address, 0, value}, in);
        return port().DeviceIoControl(portio::WriteCode, in, sizeof in, nullptr, 0);
    }
    bool Request(std::uint32_t code) {
        return port().DeviceIoControl(code, nullptr, 0, nullptr, 0);
    }

    std::unique_ptr<Harness> harness;
};

} // namespace

TEST_P(PortSystemConformance, IsADriverBasedPlatform) {
    EXPECT_EQ(port().Platform(), PlatformKind::DriverBased);
}

TEST_P(PortSystemConformance, ControlReadsBackTheWholeByteWritten) {
    for (const std::uint32_t value : {0x2Fu, 0xC4u, 0x0Bu, 0x10u, 0x00u}) {
        EXPECT_TRUE(Write(Base + 2, value));
        EXPECT_EQ(Read(Base + 2), value) << std::hex << value;
    }
}

TEST_P(PortSystemConformance, DataReadsTheLatchInOutputModeAndTheInputsInInputMode) {
    EXPECT_TRUE(Write(Base, 0xA5));
    EXPECT_EQ(Read(Base), 0xA5u);
    Write(Base + 2, 0x2F);
    EXPECT_TRUE(port().CanReadDataLines(Base));
    const std::uint8_t expected = harness->NextInput();
    bool done = false;
    EXPECT_EQ(Read(Base, TZLIOCode::ZLIO_BYTE, &done), expected);
    EXPECT_TRUE(done);
    EXPECT_EQ(Read(Base + 1), harness->StatusAfterDataRead());
    Write(Base + 2, 0x0F);
    EXPECT_EQ(Read(Base), 0xA5u);
}

TEST_P(PortSystemConformance, StatusRegisterIgnoresWrites) {
    Read(Base);
    const std::uint32_t status = Read(Base + 1);
    Write(Base + 1, ~status & 0xFF);
    EXPECT_EQ(Read(Base + 1), status);
}

TEST_P(PortSystemConformance, PortWithoutTriStateSaysSoAndReadsItsLatch) {
    harness->RemoveTriState();
    EXPECT_FALSE(port().CanReadDataLines(Base));
    Write(Base, 0x3C);
    Write(Base + 2, 0x2F);
    EXPECT_EQ(Read(Base), 0x3Cu);
}

TEST_P(PortSystemConformance, WordReadCombinesDataAndStatus) {
    Write(Base, 0x81);
    const std::uint32_t word = Read(Base, TZLIOCode::ZLIO_WORD);
    EXPECT_EQ(word & 0xFF, 0x81u);
    EXPECT_EQ(word >> 8, harness->StatusAfterDataRead());
}

TEST_P(PortSystemConformance, AddressWithoutPortReadsAllOnesAndFails) {
    bool done = true;
    EXPECT_EQ(Read(0x3BC, TZLIOCode::ZLIO_BYTE, &done), 0xFFu);
    EXPECT_FALSE(done);
    EXPECT_FALSE(port().CanReadDataLines(0x3BC));
}

TEST_P(PortSystemConformance, SecondPortIsSeparate) {
    Write(0x278, 0x11);
    Write(Base, 0x22);
    EXPECT_EQ(Read(0x278), 0x11u);
    EXPECT_EQ(Read(Base), 0x22u);
}

TEST_P(PortSystemConformance, RefusedGrantNeverExecutesPortInstructions) {
    harness->AllowGrant(false);
    EXPECT_FALSE(Request(portio::GrantCode));
    EXPECT_EQ(port().PortIn(Base, 0), 0xFFu);
    port().PortOut(Base, 0, 0x55);
    EXPECT_EQ(harness->PortInstructionsExecuted(), 0);
    EXPECT_EQ(Read(Base), 0u);
}

TEST_P(PortSystemConformance, GrantedPortInstructionsReachTheRegistersUntilRevoked) {
    harness->AllowGrant(true);
    Write(Base, 0x66);
    EXPECT_TRUE(Request(portio::GrantCode));
    EXPECT_EQ(port().PortIn(Base, 0), 0x66u);
    EXPECT_TRUE(Request(portio::RevokeCode));
    const int executed = harness->PortInstructionsExecuted();
    EXPECT_EQ(port().PortIn(Base, 0), 0xFFu);
    EXPECT_EQ(harness->PortInstructionsExecuted(), executed);
}

TEST_P(PortSystemConformance, ClosedDeviceTakesNoRequests) {
    port().CloseDevice();
    bool done = true;
    Read(Base, TZLIOCode::ZLIO_BYTE, &done);
    EXPECT_FALSE(done);
    EXPECT_FALSE(Write(Base, 1));
}

INSTANTIATE_TEST_SUITE_P(
    AllPortSystems, PortSystemConformance,
    ::testing::Values(
        Implementation{
            "Simulated",
            [] { return std::unique_ptr<Harness>(std::make_unique<SimulatedHarness>()); }},
        Implementation{"Ppdev",
                       [] { return std::unique_ptr<Harness>(std::make_unique<PpdevHarness>()); }}),
    [](const ::testing::TestParamInfo<Implementation>& info) {
        return std::string(info.param.name);
    });
