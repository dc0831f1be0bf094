#include "hardware/PpdevPortSystem.h"

#include "hardware/PortIoProtocol.h"

#include <cerrno>
#include <sys/ioctl.h>

// After sys/ioctl.h: the ppdev request codes are built with its macros.
#include <linux/parport.h>
#include <linux/ppdev.h>

namespace {
const QString Modprobe = QStringLiteral("modprobe");
const QString Module = QStringLiteral("ppdev");
// ioperm reaches the ports below 0x400, where the parallel ports live.
constexpr unsigned long GrantedPorts = 0x400;

std::uint32_t ExitCodeAsError(int code) {
    return code == 0 ? 0 : code < 0 ? std::uint32_t(ENOENT) : std::uint32_t(code);
}
} // namespace

PpdevPortSystem::PpdevPortSystem(std::unique_ptr<ParportSyscalls> calls)
    : calls_(std::move(calls)) {}

PpdevPortSystem::~PpdevPortSystem() {
    CloseDevice();
}

std::uint32_t PpdevPortSystem::ServiceInstall(const QString&, const QString&) {
    return ExitCodeAsError(calls_->Run(Modprobe, {Module}));
}

std::uint32_t PpdevPortSystem::ServiceStart(const QString&) {
    // A loaded module runs by itself; what can fail is that no port appeared.
    return parportproc::ListPorts(*calls_).empty() ? std::uint32_t(ENODEV) : 0;
}

std::uint32_t PpdevPortSystem::ServiceStop(const QString&) {
    return 0;
}

std::uint32_t PpdevPortSystem::ServiceRemove(const QString&) {
    return ExitCodeAsError(calls_->Run(Modprobe, {QStringLiteral("-r"), Module}));
}

bool PpdevPortSystem::OpenDevice() {
    CloseDevice();
    for (const ParportInfo& info : parportproc::ListPorts(*calls_)) {
        const int fd = calls_->Open(parportproc::DeviceNode(info.number));
        if (fd >= 0) ports_.push_back(Port{info, fd});
    }
    open_ = !ports_.empty();
    return open_;
}

void PpdevPortSystem::CloseDevice() {
    for (Port& port : ports_) {
        Release(port);
        calls_->Close(port.fd);
    }
    ports_.clear();
    open_ = false;
}

PpdevPortSystem::Port* PpdevPortSystem::Find(std::uint32_t address) {
    for (Port& port : ports_)
        if (address - port.info.base < portio::RegisterCount) return &port;
    return nullptr;
}

bool PpdevPortSystem::Claim(Port& port) {
    if (port.claimed) return true;
    const auto active = calls_->ReadFile(parportproc::PortDirectory(port.info.number) +
                                         QStringLiteral("/devices/active"));
    if (!active || active->trimmed() != "none") return false;
    if (calls_->Ioctl(port.fd, PPCLAIM, nullptr) != 0) return false;
    port.claimed = true;
    unsigned char control = 0;
    if (calls_->Ioctl(port.fd, PPRCONTROL, &control) == 0)
        port.control = std::uint8_t((port.control & 0xF0) | (control & 0x0F));
    return true;
}

void PpdevPortSystem::Release(Port& port) {
    if (!port.claimed) return;
    calls_->Ioctl(port.fd, PPRELEASE, nullptr);
    port.claimed = false;
}

void PpdevPortSystem::LetGo(Port& port) {
    if (!hold_) Release(port);
}

void PpdevPortSystem::HoldPorts(bool hold) {
    hold_ = hold;
    if (!hold)
        for (Port& port : ports_)
            Release(port);
}

bool PpdevPortSystem::ReadRegister(std::uint32_t address, std::uint8_t& value) {
    value = 0xFF;
    Port* port = Find(address);
    if (!port || !Claim(*port)) return false;
    const bool read = ReadClaimed(*port, address, value);
    LetGo(*port);
    return read;
}

bool PpdevPortSystem::ReadClaimed(Port& port, std::uint32_t address, std::uint8_t& value) {
    unsigned char reg = 0;
    switch (address - port.info.base) {
    case portio::DataOffset:
        if (calls_->Ioctl(port.fd, PPRDATA, &reg) != 0) return false;
        break;
    case portio::StatusOffset:
        if (calls_->Ioctl(port.fd, PPRSTATUS, &reg) != 0) return false;
        break;
    default:
        reg = port.control;
        break;
    }
    value = reg;
    return true;
}

bool PpdevPortSystem::WriteRegister(std::uint32_t address, std::uint8_t value) {
    Port* port = Find(address);
    if (!port || !Claim(*port)) return false;
    const bool written = WriteClaimed(*port, address, value);
    LetGo(*port);
    return written;
}

bool PpdevPortSystem::WriteClaimed(Port& claimed, std::uint32_t address, std::uint8_t value) {
    Port* port = &claimed;
    switch (address - port->info.base) {
    case portio::DataOffset: {
        unsigned char reg = value;
        return calls_->Ioctl(port->fd, PPWDATA, &reg) == 0;
    }
    case portio::StatusOffset:
        return true; // read-only on every port
    default: {
        if ((value ^ port->control) & portio::DirectionBit) {
            int reverse = (value & portio::DirectionBit) ? 1 : 0;
            if (calls_->Ioctl(port->fd, PPDATADIR, &reverse) != 0) return false;
        }
        unsigned char low = value & 0x0F;
        const bool written = calls_->Ioctl(port->fd, PPWCONTROL, &low) == 0;
        port->control = value;
        return written;
    }
    }
}

bool PpdevPortSystem::DeviceIoControl(std::uint32_t code, const std::uint8_t* in,
                                      std::uint32_t inSize, std::uint8_t* out,
                                      std::uint32_t outSize) {
    if (!open_) return false;
    switch (code) {
    case portio::ReadCode: {
        if (!in || inSize < portio::RequestSize || !out || outSize < portio::ReplySize)
            return false;
        const portio::Request r = portio::DecodeRequest(in);
        std::uint32_t value = 0;
        bool ok = true;
        for (int i = 0; i < portio::WidthBytes(r.width); ++i) {
            std::uint8_t byte = 0;
            ok = ReadRegister(r.address + i, byte) && ok;
            value |= std::uint32_t(byte) << (8 * i);
        }
        portio::PutLe32(out, value);
        return ok;
    }
    case portio::WriteCode: {
        if (!in || inSize < portio::RequestSize) return false;
        const portio::Request r = portio::DecodeRequest(in);
        bool ok = true;
        for (int i = 0; i < portio::WidthBytes(r.width); ++i)
            ok = WriteRegister(r.address + i, std::uint8_t(r.value >> (8 * i))) && ok;
        return ok;
    }
    case portio::GrantCode:
        granted_ = calls_->Ioperm(0, GrantedPorts, true) == 0;
        return granted_;
    case portio::RevokeCode:
        if (granted_) calls_->Ioperm(0, GrantedPorts, false);
        granted_ = false;
        return true;
    default:
        return false;
    }
}

bool PpdevPortSystem::MayExecutePortInstructions(std::uint32_t address, std::uint32_t width) const {
    return granted_ && address + portio::WidthBytes(width) <= GrantedPorts;
}

std::uint32_t PpdevPortSystem::PortIn(std::uint32_t address, std::uint32_t width) {
    if (!MayExecutePortInstructions(address, width)) return portio::WidthMask(width);
    return calls_->In(std::uint16_t(address), portio::WidthBytes(width));
}

void PpdevPortSystem::PortOut(std::uint32_t address, std::uint32_t width, std::uint32_t value) {
    if (MayExecutePortInstructions(address, width))
        calls_->Out(std::uint16_t(address), portio::WidthBytes(width), value);
}

bool PpdevPortSystem::CanReadDataLines(std::uint32_t address) {
    Port* port = Find(address);
    if (!port) return false;
    if (port->triState < 0) {
        // PPGETMODES needs no claim.
        unsigned int modes = 0;
        port->triState = calls_->Ioctl(port->fd, PPGETMODES, &modes) == 0 &&
                         (modes & PARPORT_MODE_TRISTATE) != 0;
    }
    return port->triState == 1;
}
