#pragma once

#include "hardware/PortIoProtocol.h"
#include "hardware/PortSystem.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class Desktop;

// Byte, word and double-word access to I/O ports, used for the PC parallel
// port. Access is opened by IOactive := true through the port system's driver
// device (installing and starting its service when the device does not open)
// or, on a direct platform, with port instructions. Each access in request
// mode is one 12-byte driver request; fast mode asks the driver for the right
// to execute port instructions and then uses them.
class TPortIO {
  public:
    TPortIO(Desktop& desktop, std::unique_ptr<PortSystem> system);
    ~TPortIO();
    TPortIO(const TPortIO&) = delete;
    TPortIO& operator=(const TPortIO&) = delete;

    // The component's name; error boxes carry it as "<name> Component - Error".
    QString Name() const { return name_; }
    void SetName(const QString& name);
    QString ErrorCaption() const { return caption_; }
    QString LastErrorText() const { return lastError_; }

    bool IOactive() const { return active_; }
    void SetIOactive(bool value);

    QString IOAddr() const { return ioAddr_; }
    void SetIOAddr(const QString& text) { ioAddr_ = text; }
    QString IOData() const { return ioData_; }
    void SetIOData(const QString& text) { ioData_ = text; }
    TZLIOCMD IODataCMD() const { return TZLIOCMD::ZLIO_NONE; }
    // Executes the command at once; a malformed IOAddr or IOData text throws
    // EConvertError before anything is read or written.
    void SetIODataCMD(TZLIOCMD command);
    TZLIOCode IODataType() const { return dataType_; }
    void SetIODataType(TZLIOCode type) { dataType_ = type; }

    bool IOFastmode() const { return fastMode_; }
    void SetIOFastmode(bool value);
    // Keeps the port claimed while the program reads signals from it, and
    // lets a printer driver have it otherwise.
    void SetPortHeld(bool held) { system_->HoldPorts(held); }

    std::uint8_t ReadPortByte(std::uint32_t address) {
        return std::uint8_t(ReadPort(address, TZLIOCode::ZLIO_BYTE));
    }
    void WritePortByte(std::uint32_t address, std::uint8_t value) {
        WritePort(address, TZLIOCode::ZLIO_BYTE, value);
    }
    std::uint32_t ReadPort(std::uint32_t address, TZLIOCode width);
    void WritePort(std::uint32_t address, TZLIOCode width, std::uint32_t value);

    // Whether a port answers a read of this address. An empty bus reads all
    // bits set, like a port whose lines are all high; only the driver can
    // tell them apart. Port instructions cannot: there it answers true.
    bool PortAnswers(std::uint32_t address);
    // Whether the port with this address can read its data lines as inputs
    // (true while access is closed: then nothing is read at all).
    bool CanReadDataLines(std::uint32_t address);

    PortSystem& System() { return *system_; }

  private:
    enum Code { Read, Write, Grant, Revoke };

    bool OpenPortAccess();
    // One read request; false when the driver did not carry it out.
    bool DriverRead(std::uint32_t address, TZLIOCode width, std::uint32_t& value);
    bool OpenDriverDevice();
    bool InstallDriver();
    void RemoveDriver();
    QString DriverPath() const;
    void SetDirectAccess(bool on);
    void ShowPortError(int kind);
    bool DriverBased() const { return system_->Platform() == PlatformKind::DriverBased; }

    Desktop& desktop_;
    std::unique_ptr<PortSystem> system_;
    QString name_;
    QString caption_;
    QString lastError_;
    bool active_ = false;
    QString ioAddr_;
    QString ioData_;
    TZLIOCode dataType_ = TZLIOCode::ZLIO_BYTE;
    bool fastMode_ = false;
    bool driverOpen_ = false;
    bool directIO_ = false;
    std::array<std::uint32_t, 4> codes_{};
};
