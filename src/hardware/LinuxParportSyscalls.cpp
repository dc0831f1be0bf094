#include "hardware/ParportSyscalls.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#if defined(__i386__) || defined(__x86_64__)
#include <sys/io.h>
#define SPURWERK_HAS_PORT_INSTRUCTIONS 1
#endif

namespace {

// modprobe lives in sbin, which a user's PATH often lacks.
QString FindProgram(const QString& program) {
    const QString inSbin = QStandardPaths::findExecutable(
        program, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return inSbin.isEmpty() ? QStandardPaths::findExecutable(program) : inSbin;
}

class LinuxParportSyscalls final : public ParportSyscalls {
  public:
    QStringList ListDirectory(const QString& path) override {
        return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }

    std::optional<QByteArray> ReadFile(const QString& path) override {
        QFile file(path);
        // Files under /proc report size 0, so read to the end rather than by size.
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return std::nullopt;
        return file.readAll();
    }

    int Open(const QString& path) override {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
        return fd >= 0 ? fd : -errno;
    }

    int Ioctl(int fd, unsigned long request, void* argument) override {
        return ::ioctl(fd, request, argument) == 0 ? 0 : -errno;
    }

    void Close(int fd) override { ::close(fd); }

    int Run(const QString& program, const QStringList& arguments) override {
        const QString path = FindProgram(program);
        if (path.isEmpty()) return -1;
        QProcess process;
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(path, arguments);
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(1000);
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

#ifdef SPURWERK_HAS_PORT_INSTRUCTIONS
    int Ioperm(unsigned long from, unsigned long count, bool on) override {
        return ::ioperm(from, count, on ? 1 : 0) == 0 ? 0 : errno;
    }

    std::uint32_t In(std::uint16_t port, int bytes) override {
        switch (bytes) {
        case 4:
            return inl(port);
        case 2:
            return inw(port);
        default:
            return inb(port);
        }
    }

    void Out(std::uint16_t port, int bytes, std::uint32_t value) override {
        switch (bytes) {
        case 4:
            outl(value, port);
            break;
        case 2:
            outw(std::uint16_t(value), port);
            break;
        default:
            outb(std::uint8_t(value), port);
            break;
        }
    }
#else
    // No port instructions on this processor: access is never granted.
    int Ioperm(unsigned long, unsigned long, bool) override {
        return ENOSYS;
    }
    std::uint32_t In(std::uint16_t, int) override {
        return 0xFFFFFFFFu;
    }
    void Out(std::uint16_t, int, std::uint32_t) override {}
#endif
};

} // namespace

std::unique_ptr<ParportSyscalls> MakeLinuxSyscalls() {
    return std::make_unique<LinuxParportSyscalls>();
}
