#include "hardware/SimulatedPortSystem.h"

#include "hardware/PortIoProtocol.h"
#include "hardware/SimulatedPattern.h"

#include <algorithm>

SimulatedPortSystem::SimulatedPortSystem(PlatformKind kind) : kind_(kind) {}

std::uint32_t SimulatedPortSystem::ServiceInstall(const QString& driverPath, const QString& name) {
    calls_ << QStringLiteral("ServiceInstall(%1, %2)").arg(driverPath, name);
    return script_.install;
}

std::uint32_t SimulatedPortSystem::ServiceStart(const QString& name) {
    calls_ << QStringLiteral("ServiceStart(%1)").arg(name);
    return script_.start;
}

std::uint32_t SimulatedPortSystem::ServiceStop(const QString& name) {
    calls_ << QStringLiteral("ServiceStop(%1)").arg(name);
    return script_.stop;
}

std::uint32_t SimulatedPortSystem::ServiceRemove(const QString& name) {
    calls_ << QStringLiteral("ServiceRemove(%1)").arg(name);
    return script_.remove;
}

bool SimulatedPortSystem::OpenDevice() {
    calls_ << QStringLiteral("OpenDevice");
    bool result = script_.openByDefault;
    if (!script_.openResults.empty()) {
        result = script_.openResults.front();
        script_.openResults.pop_front();
    }
    open_ = open_ || result;
    return result;
}

void SimulatedPortSystem::CloseDevice() {
    calls_ << QStringLiteral("CloseDevice");
    open_ = false;
}

bool SimulatedPortSystem::DeviceIoControl(std::uint32_t code, const std::uint8_t* in,
                                          std::uint32_t inSize, std::uint8_t* out,
                                          std::uint32_t outSize) {
    ++requests_;
    last_.code = code;
    last_.inSize = inSize;
    last_.outSize = outSize;
    if (in && inSize > 0)
        std::copy_n(in, std::min<std::uint32_t>(inSize, last_.in.size()), last_.in.begin());
    if (!open_) return false;
    switch (code) {
    case portio::ReadCode: {
        if (!in || inSize < portio::RequestSize || !out || outSize < portio::ReplySize)
            return false;
        const portio::Request r = portio::DecodeRequest(in);
        portio::PutLe32(out, Read(r.address, r.width));
        return Find(r.address) != nullptr;
    }
    case portio::WriteCode: {
        if (!in || inSize < portio::RequestSize) return false;
        const portio::Request r = portio::DecodeRequest(in);
        Write(r.address, r.width, r.value);
        return Find(r.address) != nullptr;
    }
    case portio::GrantCode:
        calls_ << QStringLiteral("Grant");
        granted_ = script_.grantAllowed;
        return granted_;
    case portio::RevokeCode:
        calls_ << QStringLiteral("Revoke");
        granted_ = false;
        return true;
    default:
        return false;
    }
}

bool SimulatedPortSystem::MayExecutePortInstructions() const {
    return kind_ == PlatformKind::Direct || granted_;
}

std::uint32_t SimulatedPortSystem::PortIn(std::uint32_t address, std::uint32_t width) {
    if (!MayExecutePortInstructions()) return portio::WidthMask(width);
    return Read(address, width);
}

void SimulatedPortSystem::PortOut(std::uint32_t address, std::uint32_t width, std::uint32_t value) {
    if (MayExecutePortInstructions()) Write(address, width, value);
}

bool SimulatedPortSystem::CanReadDataLines(std::uint32_t address) {
    return Find(address) != nullptr && script_.dataLinesReadable;
}

SimulatedPortSystem::VirtualPort* SimulatedPortSystem::Find(std::uint32_t address) {
    for (auto& port : ports_)
        if (address - port.base < portio::RegisterCount) return &port;
    return nullptr;
}

const SimulatedPortSystem::VirtualPort* SimulatedPortSystem::Find(std::uint32_t address) const {
    for (const auto& port : ports_)
        if (address - port.base < portio::RegisterCount) return &port;
    return nullptr;
}

std::uint8_t SimulatedPortSystem::ReadRegister(std::uint32_t address) {
    VirtualPort* port = Find(address);
    if (!port) return 0xFF;
    switch (address - port->base) {
    case portio::DataOffset: {
        const std::uint64_t n = port->next++;
        port->current = n;
        const bool input = (port->control & portio::DirectionBit) && script_.dataLinesReadable;
        return input ? SimulatedPattern::Data(n) : port->latch;
    }
    case portio::StatusOffset:
        return SimulatedPattern::Status(port->current);
    default:
        return port->control;
    }
}

void SimulatedPortSystem::WriteRegister(std::uint32_t address, std::uint8_t value) {
    VirtualPort* port = Find(address);
    if (!port) return;
    switch (address - port->base) {
    case portio::DataOffset:
        port->latch = value;
        break;
    case portio::StatusOffset:
        break; // the status register is read-only
    default:
        port->control = value;
        break;
    }
}

std::uint32_t SimulatedPortSystem::Read(std::uint32_t address, std::uint32_t width) {
    if (width == std::uint32_t(TZLIOCode::ZLIO_BYTE)) return ReadRegister(address);
    std::uint32_t value = 0;
    const int bytes = portio::WidthBytes(width);
    for (int i = 0; i < bytes; ++i)
        value |= std::uint32_t(ReadRegister(address + i)) << (8 * i);
    return value;
}

void SimulatedPortSystem::Write(std::uint32_t address, std::uint32_t width, std::uint32_t value) {
    const int bytes = portio::WidthBytes(width);
    for (int i = 0; i < bytes; ++i)
        WriteRegister(address + i, std::uint8_t(value >> (8 * i)));
}

std::uint8_t SimulatedPortSystem::Latch(std::uint32_t base) const {
    const VirtualPort* port = Find(base);
    return port ? port->latch : 0xFF;
}

std::uint8_t SimulatedPortSystem::Control(std::uint32_t base) const {
    const VirtualPort* port = Find(base);
    return port ? port->control : 0xFF;
}

std::uint64_t SimulatedPortSystem::NextSample(std::uint32_t base) const {
    const VirtualPort* port = Find(base);
    return port ? port->next : 0;
}

void SimulatedPortSystem::RestartPattern(std::uint32_t base) {
    if (VirtualPort* port = Find(base)) {
        port->next = 0;
        port->current = 0;
    }
}
