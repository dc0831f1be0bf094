#pragma once

#include "hardware/PortIoProtocol.h"
#include "hardware/SimulatedPortSystem.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The simulated port with a log of every register access, written as
// "W 37A 2F" and "R 379", so a test can check the exact register sequence a
// command writes.
class RecordingPortSystem final : public PortSystem {
  public:
    SimulatedPortSystem inner;
    QStringList log;
    bool logging = true;
    // Called on every register read, so a test can make the port slow.
    std::function<void()> onRead;

    // Only the writes, in order.
    QStringList Writes() const {
        QStringList out;
        for (const QString& line : log)
            if (line.startsWith(QLatin1Char('W'))) out << line;
        return out;
    }

    PlatformKind Platform() const override { return inner.Platform(); }
    std::uint32_t ServiceInstall(const QString& p, const QString& n) override {
        return inner.ServiceInstall(p, n);
    }
    std::uint32_t ServiceStart(const QString& n) override { return inner.ServiceStart(n); }
    std::uint32_t ServiceStop(const QString& n) override { return inner.ServiceStop(n); }
    std::uint32_t ServiceRemove(const QString& n) override { return inner.ServiceRemove(n); }
    bool OpenDevice() override { return inner.OpenDevice(); }
    void CloseDevice() override { inner.CloseDevice(); }
    bool DeviceIoControl(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                         std::uint8_t* out, std::uint32_t outSize) override {
        if (logging && in && inSize >= portio::RequestSize) {
            const portio::Request r = portio::DecodeRequest(in);
            if (code == portio::WriteCode)
                log << QStringLiteral("W %1 %2")
                           .arg(r.address, 0, 16)
                           .arg(r.value, 2, 16, QLatin1Char('0'))
                           .toUpper();
            else if (code == portio::ReadCode)
                log << QStringLiteral("R %1").arg(r.address, 0, 16).toUpper();
        }
        if (onRead && code == portio::ReadCode) onRead();
        return inner.DeviceIoControl(code, in, inSize, out, outSize);
    }
    std::uint32_t PortIn(std::uint32_t a, std::uint32_t w) override { return inner.PortIn(a, w); }
    void PortOut(std::uint32_t a, std::uint32_t w, std::uint32_t v) override {
        inner.PortOut(a, w, v);
    }
    bool CanReadDataLines(std::uint32_t a) override { return inner.CanReadDataLines(a); }
    void HoldPorts(bool hold) override { held = hold; }
    bool held = false;
};
