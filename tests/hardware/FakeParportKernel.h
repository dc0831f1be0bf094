#pragma once

#include "hardware/ParportSyscalls.h"

#include <QMap>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A fake kernel behind the ppdev driver's system calls: parallel ports listed
// under /proc/sys/dev/parport, their device nodes, the ppdev ioctls with the
// kernel's rules (claim first; PPCLAIM rewrites control to 0x0C; PPRCONTROL
// gives the kernel's copy of bits 0..3; PPWCONTROL writes bits 0..3 only;
// PPDATADIR sets the direction; a data read gives the pins only when the port
// can tri-state and is reversed), modprobe, ioperm and port instructions.
// Every call is logged so tests can check which ioctl served which register.
class FakeParportKernel final : public ParportSyscalls {
  public:
    struct Port {
        int number = 0;
        std::uint32_t base = 0;
        bool triState = true;
        bool nodeOpens = true;
        QByteArray active = "none"; // the device that holds the port
        std::uint8_t pins = 0;      // what external signals drive onto the data lines
        std::uint8_t status = 0x78;
        // Register state as the kernel keeps it.
        std::uint8_t latch = 0;
        std::uint8_t control = 0;
        bool reverse = false;
        int claimedBy = -1;
        // What the last release saved for the next claim to restore; before
        // the first claim the kernel's initial state (control 0x0C, forward).
        std::uint8_t savedControl = 0x0C;
        bool savedReverse = false;
    };

    struct Ioctl {
        int port;
        std::string request; // "PPCLAIM", "PPRDATA", ...
        int value;           // the byte or int passed or returned, -1 for none
    };

    std::vector<Port> ports;
    bool modulesLoaded = true; // without ppdev, /proc lists no ports
    // Exit codes of the commands, keyed "modprobe ppdev"; 0 when not listed.
    QMap<QString, int> exitCodes;
    // Runs after a command, e.g. to let ports appear once ppdev is loaded.
    std::function<void(const QString&)> afterRun;
    int iopermResult = 38; // ENOSYS, as in a sandbox; 0 grants

    // Logs.
    std::vector<Ioctl> ioctls;
    QStringList commands;
    QStringList ioperms;
    QStringList portInstructions;
    int openFds = 0;

    Port& AddPort(int number, std::uint32_t base);
    Port* ByNumber(int number);
    std::vector<std::string> RequestsOf(int port) const;

    QStringList ListDirectory(const QString& path) override;
    std::optional<QByteArray> ReadFile(const QString& path) override;
    int Open(const QString& path) override;
    int Ioctl(int fd, unsigned long request, void* argument) override;
    void Close(int fd) override;
    int Run(const QString& program, const QStringList& arguments) override;
    int Ioperm(unsigned long from, unsigned long count, bool on) override;
    std::uint32_t In(std::uint16_t port, int bytes) override;
    void Out(std::uint16_t port, int bytes, std::uint32_t value) override;

  private:
    static constexpr int FdBase = 100;
};
