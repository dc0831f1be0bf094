#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The operating-system calls the Linux port drivers make: files under /proc,
// the ppdev device nodes with open/ioctl/close, running modprobe, ioperm and
// the x86 port instructions. Production uses the real calls; tests put a fake
// kernel behind the same interface.
class ParportSyscalls {
  public:
    virtual ~ParportSyscalls() = default;

    // Entry names of a directory (empty when it does not exist).
    virtual QStringList ListDirectory(const QString& path) = 0;
    virtual std::optional<QByteArray> ReadFile(const QString& path) = 0;
    // A file descriptor, or -errno.
    virtual int Open(const QString& path) = 0;
    // 0, or -errno.
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual void Close(int fd) = 0;
    // The program's exit code, or -1 when it could not be run to its end.
    virtual int Run(const QString& program, const QStringList& arguments) = 0;
    // 0, or errno.
    virtual int Ioperm(unsigned long from, unsigned long count, bool on) = 0;
    // Port instructions; the caller executes them only after ioperm granted
    // the range, since one the process may not execute ends the program.
    virtual std::uint32_t In(std::uint16_t port, int bytes) = 0;
    virtual void Out(std::uint16_t port, int bytes, std::uint32_t value) = 0;
};

std::unique_ptr<ParportSyscalls> MakeLinuxSyscalls();

// A parallel port the kernel knows: /proc/sys/dev/parport/parportN.
struct ParportInfo {
    int number = 0;
    std::uint32_t base = 0;
};

namespace parportproc {
const QString Root = QStringLiteral("/proc/sys/dev/parport");
QString PortDirectory(int number);
QString DeviceNode(int number);
// The ports with a readable base address (base-addr holds it in decimal,
// e.g. "888\t-1" for 0x378), in the order of their numbers.
std::vector<ParportInfo> ListPorts(ParportSyscalls& calls);
// Whether the port's mode list names TRISTATE; nullopt when unknown.
std::optional<bool> HasTriState(ParportSyscalls& calls, int number);
} // namespace parportproc
