#include "FakeParportKernel.h"

#include <cerrno>
#include <sys/ioctl.h>

#include <linux/parport.h>
#include <linux/ppdev.h>

FakeParportKernel::Port& FakeParportKernel::AddPort(int number, std::uint32_t base) {
    Port port;
    port.number = number;
    port.base = base;
    ports.push_back(port);
    return ports.back();
}

FakeParportKernel::Port* FakeParportKernel::ByNumber(int number) {
    for (Port& p : ports)
        if (p.number == number) return &p;
    return nullptr;
}

std::vector<std::string> FakeParportKernel::RequestsOf(int port) const {
    std::vector<std::string> out;
    for (const auto& call : ioctls)
        if (call.port == port) out.push_back(call.request);
    return out;
}

QStringList FakeParportKernel::ListDirectory(const QString& path) {
    if (path != QStringLiteral("/proc/sys/dev/parport") || !modulesLoaded) return {};
    QStringList entries{QStringLiteral("default")};
    for (const Port& p : ports)
        entries << QStringLiteral("parport%1").arg(p.number);
    return entries;
}

std::optional<QByteArray> FakeParportKernel::ReadFile(const QString& path) {
    if (!modulesLoaded) return std::nullopt;
    for (const Port& p : ports) {
        const QString dir = QStringLiteral("/proc/sys/dev/parport/parport%1/").arg(p.number);
        if (path == dir + QStringLiteral("base-addr")) return QByteArray::number(p.base) + "\t-1\n";
        if (path == dir + QStringLiteral("devices/active")) return p.active + "\n";
        if (path == dir + QStringLiteral("modes"))
            return QByteArray(p.triState ? "PCSPP,TRISTATE,COMPAT\n" : "PCSPP,COMPAT\n");
    }
    return std::nullopt;
}

int FakeParportKernel::Open(const QString& path) {
    for (const Port& p : ports) {
        if (path != QStringLiteral("/dev/parport%1").arg(p.number)) continue;
        if (!modulesLoaded) return -ENOENT;
        if (!p.nodeOpens) return -EACCES;
        ++openFds;
        return FdBase + p.number;
    }
    return -ENOENT;
}

void FakeParportKernel::Close(int fd) {
    if (Port* p = ByNumber(fd - FdBase)) {
        if (p->claimedBy == fd) p->claimedBy = -1; // closing releases, as ppdev does
        --openFds;
    }
}

int FakeParportKernel::Ioctl(int fd, unsigned long request, void* argument) {
    Port* p = ByNumber(fd - FdBase);
    if (!p) return -EBADF;
    auto byte = [argument] { return static_cast<unsigned char*>(argument); };
    auto log = [&](const char* name, int value) { ioctls.push_back({p->number, name, value}); };
    switch (request) {
    case PPGETMODES: {
        unsigned int modes = PARPORT_MODE_PCSPP | (p->triState ? PARPORT_MODE_TRISTATE : 0);
        *static_cast<unsigned int*>(argument) = modes;
        log("PPGETMODES", int(modes));
        return 0;
    }
    case PPEXCL:
        log("PPEXCL", -1);
        return -EBUSY; // lp is loaded
    case PPCLAIM:
        log("PPCLAIM", -1);
        // The real call would sleep here until the holder lets go.
        if (p->active != "none") return -EINTR;
        p->claimedBy = fd;
        p->control = p->savedControl;
        p->reverse = p->savedReverse;
        return 0;
    default:
        break;
    }
    if (p->claimedBy != fd) {
        log("unclaimed", -1);
        return -EINVAL;
    }
    switch (request) {
    case PPRELEASE:
        log("PPRELEASE", -1);
        p->claimedBy = -1;
        p->savedControl = p->control;
        p->savedReverse = p->reverse;
        return 0;
    case PPRDATA:
        *byte() = (p->reverse && p->triState) ? p->pins : p->latch;
        log("PPRDATA", *byte());
        return 0;
    case PPWDATA:
        p->latch = *byte();
        log("PPWDATA", p->latch);
        return 0;
    case PPRSTATUS:
        *byte() = p->status;
        log("PPRSTATUS", p->status);
        return 0;
    case PPRCONTROL:
        *byte() = p->control & 0x0F;
        log("PPRCONTROL", *byte());
        return 0;
    case PPWCONTROL:
        p->control = (p->control & 0xF0) | (*byte() & 0x0F);
        log("PPWCONTROL", *byte());
        return 0;
    case PPDATADIR: {
        const int dir = *static_cast<int*>(argument);
        p->reverse = dir != 0;
        p->control = p->reverse ? (p->control | 0x20) : (p->control & ~0x20);
        log("PPDATADIR", dir);
        return 0;
    }
    default:
        log("other", -1);
        return -ENOTTY;
    }
}

int FakeParportKernel::Run(const QString& program, const QStringList& arguments) {
    const QString command = (QStringList{program} + arguments).join(QLatin1Char(' '));
    commands << command;
    const int code = exitCodes.value(command, 0);
    if (afterRun) afterRun(command);
    return code;
}

int FakeParportKernel::Ioperm(unsigned long from, unsigned long count, bool on) {
    ioperms << QStringLiteral("ioperm(0x%1, 0x%2, %3)").arg(from, 0, 16).arg(count, 0, 16).arg(on);
    return iopermResult;
}

std::uint32_t FakeParportKernel::In(std::uint16_t port, int bytes) {
    portInstructions << QStringLiteral("in%1 0x%2").arg(bytes).arg(port, 0, 16);
    for (const Port& p : ports) {
        if (port == p.base) return (p.reverse && p.triState) ? p.pins : p.latch;
        if (port == p.base + 1) return p.status;
        if (port == p.base + 2) return p.control | 0xC0; // unused bits read high on the wire
    }
    return 0xFFFFFFFFu >> (32 - 8 * bytes);
}

void FakeParportKernel::Out(std::uint16_t port, int bytes, std::uint32_t value) {
    portInstructions
        << QStringLiteral("out%1 0x%2 0x%3").arg(bytes).arg(port, 0, 16).arg(value, 0, 16);
    for (Port& p : ports) {
        if (port == p.base) p.latch = std::uint8_t(value);
        if (port == p.base + 2) p.control = std::uint8_t(value);
    }
}
