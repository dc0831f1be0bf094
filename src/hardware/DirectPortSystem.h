#pragma once

#include "hardware/ParportSyscalls.h"
#include "hardware/PortSystem.h"

#include <memory>
#include <vector>

// Direct port access without a driver ("--port=direct", x86, root): ioperm
// plus in/out instructions. A port instruction runs only on ports that ioperm
// granted; a refused range reads all bits set and drops writes, because an
// instruction the process may not execute would end the program.
class DirectPortSystem final : public PortSystem {
  public:
    explicit DirectPortSystem(std::unique_ptr<ParportSyscalls> calls);

    PlatformKind Platform() const override { return PlatformKind::Direct; }
    // There is no driver to install, start, stop or remove, and no device.
    std::uint32_t ServiceInstall(const QString& driverPath, const QString& name) override;
    std::uint32_t ServiceStart(const QString& name) override;
    std::uint32_t ServiceStop(const QString& name) override;
    std::uint32_t ServiceRemove(const QString& name) override;
    bool OpenDevice() override { return false; }
    void CloseDevice() override {}
    bool DeviceIoControl(std::uint32_t, const std::uint8_t*, std::uint32_t, std::uint8_t*,
                         std::uint32_t) override {
        return false;
    }
    std::uint32_t PortIn(std::uint32_t address, std::uint32_t width) override;
    void PortOut(std::uint32_t address, std::uint32_t width, std::uint32_t value) override;
    // From the kernel's mode list of the port with this base address; a port
    // the kernel does not know is taken as able (nothing says otherwise).
    bool CanReadDataLines(std::uint32_t address) override;

  private:
    enum class Permission : std::uint8_t { Unknown, Granted, Refused };
    bool Permitted(std::uint32_t address, int bytes);

    std::unique_ptr<ParportSyscalls> calls_;
    std::vector<Permission> permission_;
};
