#include "BusSettings.h"

#include "persistence/ProgramConfig.h"

namespace {
const QString kGroup = QStringLiteral("Busse");
}

std::vector<trazor::BusDef> ReadBuses(const ProgramConfig& config) {
    std::vector<trazor::BusDef> buses;
    for (const auto& [key, value] : config.Group(kGroup)) {
        const qsizetype split = value.indexOf(QLatin1Char(';'));
        if (split < 0) continue;
        const std::optional<std::vector<int>> lines = trazor::parseLines(value.left(split));
        if (!lines) continue;
        buses.push_back({value.mid(split + 1), *lines});
    }
    return buses;
}

void WriteBuses(ProgramConfig& config, const std::vector<trazor::BusDef>& buses) {
    ProgramConfig::Entries entries;
    for (std::size_t i = 0; i < buses.size(); ++i)
        entries.emplace_back(QStringLiteral("Bus%1").arg(i + 1),
                             trazor::linesText(buses[i].lines) + QLatin1Char(';') + buses[i].name);
    config.SetGroup(kGroup, entries);
}
