#include "hardware/ParportSyscalls.h"

#include <algorithm>

namespace parportproc {

QString PortDirectory(int number) {
    return Root + QStringLiteral("/parport") + QString::number(number);
}

QString DeviceNode(int number) {
    return QStringLiteral("/dev/parport") + QString::number(number);
}

std::vector<ParportInfo> ListPorts(ParportSyscalls& calls) {
    std::vector<ParportInfo> ports;
    // The folder also holds "default", which is no port.
    for (const QString& entry : calls.ListDirectory(Root)) {
        if (!entry.startsWith(QStringLiteral("parport"))) continue;
        bool isNumber = false;
        const int number = entry.mid(7).toInt(&isNumber);
        if (!isNumber || number < 0) continue;
        const auto text = calls.ReadFile(PortDirectory(number) + QStringLiteral("/base-addr"));
        if (!text) continue;
        const QList<QByteArray> fields = text->simplified().split(' ');
        bool isBase = false;
        const unsigned long base = fields.value(0).toULong(&isBase);
        if (!isBase || base > 0xFFFF) continue;
        ports.push_back({number, std::uint32_t(base)});
    }
    std::sort(ports.begin(), ports.end(),
              [](const ParportInfo& a, const ParportInfo& b) { return a.number < b.number; });
    return ports;
}

std::optional<bool> HasTriState(ParportSyscalls& calls, int number) {
    const auto modes = calls.ReadFile(PortDirectory(number) + QStringLiteral("/modes"));
    if (!modes) return std::nullopt;
    return modes->trimmed().split(',').contains(QByteArray("TRISTATE"));
}

} // namespace parportproc
