#pragma once

#include <QString>
#include <cstdint>
#include <memory>

// How TPortIO reaches the ports: through a driver device with one request per
// access, or with port instructions of its own.
enum class PlatformKind { DriverBased, Direct };

// Everything the parallel-port component asks of the system below it: the
// four service routines, the driver device and its requests, and direct port
// instructions. The real Linux drivers and the simulated port are peers
// behind this interface; nothing above it asks which one it has.
class PortSystem {
  public:
    virtual ~PortSystem() = default;

    virtual PlatformKind Platform() const = 0;

    // Each returns 0 or the error code of the step that failed.
    virtual std::uint32_t ServiceInstall(const QString& driverPath, const QString& name) = 0;
    virtual std::uint32_t ServiceStart(const QString& name) = 0;
    virtual std::uint32_t ServiceStop(const QString& name) = 0;
    virtual std::uint32_t ServiceRemove(const QString& name) = 0;

    // Opens the driver device; true when it is usable.
    virtual bool OpenDevice() = 0;
    virtual void CloseDevice() = 0;
    // One driver request with the protocol of PortIoProtocol.h; true when the
    // driver carried it out. A read of an address no port answers gives all
    // bits set, as an empty bus does.
    virtual bool DeviceIoControl(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                                 std::uint8_t* out, std::uint32_t outSize) = 0;

    // Port instructions. Implementations execute them only where the process
    // may (after a granted request, or on a platform that needs no grant);
    // otherwise a read gives all bits set and a write is dropped.
    virtual std::uint32_t PortIn(std::uint32_t address, std::uint32_t width) = 0;
    virtual void PortOut(std::uint32_t address, std::uint32_t width, std::uint32_t value) = 0;

    // Whether the port whose registers include this address can turn its data
    // lines into inputs. Where it cannot, a data read with the direction bit
    // set gives the port's own output latch, not the signals on the pins.
    virtual bool CanReadDataLines(std::uint32_t address) = 0;

    // Whether a port stays claimed between accesses. The program holds it
    // while it reads signals from it (programmed for input, recording, live
    // mode); otherwise each access claims the port only for itself, so a
    // printer driver can use it in between. Systems without claims ignore it.
    virtual void HoldPorts(bool hold) { (void)hold; }
};

enum class PortSystemKind { Ppdev, Direct, Simulated };

// The port system for the command line's choice: ppdev by default,
// "--port=direct" for Direct, "--simulate" for Simulated.
std::unique_ptr<PortSystem> MakePortSystem(PortSystemKind kind);
