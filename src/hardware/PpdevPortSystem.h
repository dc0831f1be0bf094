#pragma once

#include "hardware/ParportSyscalls.h"
#include "hardware/PortSystem.h"

#include <memory>
#include <vector>

// The port driver on Linux: a user-space driver behind the "device" that
// performs each request on the /dev/parportN whose base address matches,
// with ppdev ioctls. Its service is the kernel module ppdev: installing loads
// it (modprobe ppdev), removing unloads it (modprobe -r ppdev, refused while
// the device is open, which is the normal case). Grant and revoke use ioperm.
//
// Kernel facts it is built around:
// - PPRCONTROL returns the kernel's own copy of control bits 0..3, never the
//   pins, and PPWCONTROL writes only bits 0..3; the direction bit 5 goes
//   through PPDATADIR and bits 4, 6 and 7 cannot be written at all. So the
//   driver keeps a shadow of the whole control byte and answers control reads
//   from it.
// - PPCLAIM rewrites the control register (to the state the last PPRELEASE
//   saved, or the kernel's initial one), so the shadow takes bits 0..3 from
//   PPRCONTROL right after the claim; the direction bit is restored with them.
// - A claimed port is the printer driver's no more: the port is claimed for
//   each access on its own and let go at once, unless the program holds it.
// - PPCLAIM sleeps while another driver holds the port, which would freeze
//   the window; the driver claims only a port whose active device is "none"
//   and otherwise answers the request as failed, trying again next time.
// - PPEXCL fails while the printer module lp is loaded, so it is not used.
class PpdevPortSystem final : public PortSystem {
  public:
    explicit PpdevPortSystem(std::unique_ptr<ParportSyscalls> calls);
    ~PpdevPortSystem() override;

    PlatformKind Platform() const override { return PlatformKind::DriverBased; }
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
    void HoldPorts(bool hold) override;

  private:
    struct Port {
        ParportInfo info;
        int fd = -1;
        bool claimed = false;
        std::uint8_t control = 0; // shadow of the whole control register
        int triState = -1;        // -1 not asked yet, else 0 or 1
    };

    Port* Find(std::uint32_t address);
    bool Claim(Port& port);
    // Lets the port go after an access unless the ports are held.
    void LetGo(Port& port);
    void Release(Port& port);
    bool ReadRegister(std::uint32_t address, std::uint8_t& value);
    bool WriteRegister(std::uint32_t address, std::uint8_t value);
    bool ReadClaimed(Port& port, std::uint32_t address, std::uint8_t& value);
    bool WriteClaimed(Port& port, std::uint32_t address, std::uint8_t value);
    bool MayExecutePortInstructions(std::uint32_t address, std::uint32_t width) const;

    std::unique_ptr<ParportSyscalls> calls_;
    std::vector<Port> ports_;
    bool open_ = false;
    bool granted_ = false;
    bool hold_ = false;
};
