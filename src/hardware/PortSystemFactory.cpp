#include "hardware/DirectPortSystem.h"
#include "hardware/PpdevPortSystem.h"
#include "hardware/SimulatedPortSystem.h"

std::unique_ptr<PortSystem> MakePortSystem(PortSystemKind kind) {
    switch (kind) {
    case PortSystemKind::Direct:
        return std::make_unique<DirectPortSystem>(MakeLinuxSyscalls());
    case PortSystemKind::Simulated:
        return std::make_unique<SimulatedPortSystem>();
    case PortSystemKind::Ppdev:
        break;
    }
    return std::make_unique<PpdevPortSystem>(MakeLinuxSyscalls());
}
