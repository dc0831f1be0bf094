#pragma once

#include "hardware/PortSystem.h"

#include <QStringList>
#include <array>
#include <deque>

// A virtual parallel port pair (LPT1 at 0x378, LPT2 at 0x278) behind a driver
// whose service results and device opens follow a script, so every branch of
// the activation can be run without hardware.
//
// The registers behave like real ones: the data register reads back its latch
// while control bit 5 is 0 and the input pattern of SimulatedPattern.h while it
// is 1; the status register carries the pattern's status lines; the control
// register keeps what was written. Addresses outside the two ports read 0xFF.
//
// The request path records only the last request (a copy of its bytes), so a
// recording through it stays as cheap as the real driver's.
class SimulatedPortSystem final : public PortSystem {
  public:
    static constexpr std::uint32_t Lpt1Base = 0x378;
    static constexpr std::uint32_t Lpt2Base = 0x278;

    struct Script {
        std::uint32_t install = 0;
        std::uint32_t start = 0;
        std::uint32_t stop = 0;
        std::uint32_t remove = 0;
        // Answers of OpenDevice, front first; once empty, openByDefault.
        std::deque<bool> openResults;
        bool openByDefault = true;
        // Whether the grant request lets the process execute port instructions.
        bool grantAllowed = true;
        // A port without tri-state drivers reads its latch even in input mode.
        bool dataLinesReadable = true;
    };

    struct RecordedRequest {
        std::uint32_t code = 0;
        std::array<std::uint8_t, 12> in{};
        std::uint32_t inSize = 0;
        std::uint32_t outSize = 0;
    };

    explicit SimulatedPortSystem(PlatformKind kind = PlatformKind::DriverBased);

    Script& script() { return script_; }
    // Service, device, grant and revoke calls in order, e.g. "OpenDevice",
    // "ServiceInstall(/path/zlportio.sys, zlportio)", "ServiceStart(zlportio)".
    const QStringList& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    const RecordedRequest& LastRequest() const { return last_; }
    std::uint64_t RequestCount() const { return requests_; }
    bool DirectAccessGranted() const { return granted_; }
    bool DeviceOpen() const { return open_; }

    // The virtual port's state, for tests and for the program's own display.
    std::uint8_t Latch(std::uint32_t base) const;
    std::uint8_t Control(std::uint32_t base) const;
    // The sample number the next data read will take.
    std::uint64_t NextSample(std::uint32_t base) const;
    // Starts the input pattern again at sample 0, as on a port just opened.
    void RestartPattern(std::uint32_t base);

    PlatformKind Platform() const override { return kind_; }
    std::uint32_t ServiceInstall(const QString& driverPath, const QString& name) override;
    std::uint32_t ServiceStart(const QString& name) override;
    std::uint32_t ServiceStop(const QString& name) override;
    std::uint32_t ServiceRemove(const QString& name) override;
    bool OpenDevice() override;
    void CloseDevice() override;
    bool DeviceIoControl(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                         std::uint8_t* out, std::uint32_t outSize) override;
    std::uint32_t PortIn(std::uint32_t address, std::uint32_t width) override;
    void PortOut(std::uint32_t address, std::uint32_t width, std::uint32_t value) override;
    bool CanReadDataLines(std::uint32_t address) override;

  private:
    struct VirtualPort {
        std::uint32_t base;
        std::uint8_t latch = 0;
        std::uint8_t control = 0;
        std::uint64_t next = 0;    // sample number of the next data read
        std::uint64_t current = 0; // sample number the status lines show
    };

    VirtualPort* Find(std::uint32_t address);
    const VirtualPort* Find(std::uint32_t address) const;
    std::uint8_t ReadRegister(std::uint32_t address);
    void WriteRegister(std::uint32_t address, std::uint8_t value);
    std::uint32_t Read(std::uint32_t address, std::uint32_t width);
    void Write(std::uint32_t address, std::uint32_t width, std::uint32_t value);
    bool MayExecutePortInstructions() const;

    PlatformKind kind_;
    Script script_;
    QStringList calls_;
    RecordedRequest last_;
    std::uint64_t requests_ = 0;
    bool open_ = false;
    bool granted_ = false;
    std::array<VirtualPort, 2> ports_{VirtualPort{Lpt1Base}, VirtualPort{Lpt2Base}};
};
