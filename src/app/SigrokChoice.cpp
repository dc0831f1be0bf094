#include "SigrokChoice.h"

#include "persistence/ProgramConfig.h"

namespace {

// Only digits: ParseQuantity would also take "1M", which no program writes here.
std::optional<std::uint64_t> ParseHertz(const QString& text) {
    bool ok = false;
    const qulonglong hz = text.trimmed().toULongLong(&ok);
    if (!ok || hz == 0) return std::nullopt;
    return std::uint64_t(hz);
}

} // namespace

std::optional<SigrokChoice>
ReadSigrokChoice(const ProgramConfig& config,
                 const std::function<bool(const std::string&)>& knownDriver, bool withDemo) {
    const auto value = [&](const char* key) {
        return config.Value(SigrokChoiceGroup, QString::fromLatin1(key));
    };
    const std::optional<QString> device = value("Geraet");
    const std::optional<QString> rateText = value("Abtastrate");
    if (!device || !rateText) return std::nullopt;
    const std::optional<sigrok::DeviceSpec> spec = sigrok::ParseDeviceSpec(device->toStdString());
    if (!spec || (spec->driver == "demo" && !withDemo) || !knownDriver(spec->driver))
        return std::nullopt;
    const std::optional<std::uint64_t> rate = ParseHertz(*rateText);
    if (!rate) return std::nullopt;
    SigrokChoice choice{*spec, *rate, value("Bezeichnung").value_or(QString()).trimmed()};
    choice.active = value("Aktiv").value_or(QString()).trimmed() != QLatin1String("0");
    if (choice.title.isEmpty())
        choice.title = QString::fromStdString(sigrok::DeviceSpecText(*spec));
    return choice;
}

void WriteSigrokChoice(ProgramConfig& config, const SigrokChoice& choice) {
    config.SetGroup(
        SigrokChoiceGroup,
        {{QStringLiteral("Geraet"), QString::fromStdString(sigrok::DeviceSpecText(choice.spec))},
         {QStringLiteral("Abtastrate"), QString::number(qulonglong(choice.rateHz))},
         {QStringLiteral("Bezeichnung"), choice.title},
         {QStringLiteral("Aktiv"), choice.active ? QStringLiteral("1") : QStringLiteral("0")}});
}
