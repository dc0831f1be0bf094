#include "hardware/DirectPortSystem.h"

#include "hardware/PortIoProtocol.h"

#include <cerrno>

DirectPortSystem::DirectPortSystem(std::unique_ptr<ParportSyscalls> calls)
    : calls_(std::move(calls)), permission_(0x10000, Permission::Unknown) {}

std::uint32_t DirectPortSystem::ServiceInstall(const QString&, const QString&) {
    return ENOSYS;
}
std::uint32_t DirectPortSystem::ServiceStart(const QString&) {
    return ENOSYS;
}
std::uint32_t DirectPortSystem::ServiceStop(const QString&) {
    return ENOSYS;
}
std::uint32_t DirectPortSystem::ServiceRemove(const QString&) {
    return ENOSYS;
}

bool DirectPortSystem::Permitted(std::uint32_t address, int bytes) {
    if (address + std::uint32_t(bytes) > permission_.size()) return false;
    for (int i = 0; i < bytes; ++i) {
        Permission& p = permission_[address + i];
        if (p == Permission::Unknown)
            p = calls_->Ioperm(address + i, 1, true) == 0 ? Permission::Granted
                                                          : Permission::Refused;
        if (p != Permission::Granted) return false;
    }
    return true;
}

std::uint32_t DirectPortSystem::PortIn(std::uint32_t address, std::uint32_t width) {
    const int bytes = portio::WidthBytes(width);
    if (!Permitted(address, bytes)) return portio::WidthMask(width);
    return calls_->In(std::uint16_t(address), bytes);
}

void DirectPortSystem::PortOut(std::uint32_t address, std::uint32_t width, std::uint32_t value) {
    const int bytes = portio::WidthBytes(width);
    if (Permitted(address, bytes)) calls_->Out(std::uint16_t(address), bytes, value);
}

bool DirectPortSystem::CanReadDataLines(std::uint32_t address) {
    for (const ParportInfo& port : parportproc::ListPorts(*calls_)) {
        if (address - port.base >= portio::RegisterCount) continue;
        return parportproc::HasTriState(*calls_, port.number).value_or(true);
    }
    return true;
}
