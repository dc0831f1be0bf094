#include "SigrokChoice.h"

#include "persistence/IniRegistry.h"

#include <exception>

namespace {

const QString kKey = QStringLiteral("SigrokGeraet");

// Every routine leaves the store at its root, also when a read fails.
struct AtRoot {
    TIniRegistry& store;
    ~AtRoot() { store.CloseKey(); }
};

// Only digits: ParseQuantity would also take "1M", which no program writes here.
std::optional<std::uint64_t> ParseHertz(const QString& text) {
    bool ok = false;
    const qulonglong hz = text.trimmed().toULongLong(&ok);
    if (!ok || hz == 0) return std::nullopt;
    return std::uint64_t(hz);
}

} // namespace

std::optional<SigrokChoice>
ReadSigrokChoice(TIniRegistry& store, const std::function<bool(const std::string&)>& knownDriver,
                 bool withDemo) {
    const AtRoot root{store};
    try {
        if (!store.OpenKey(kKey, false)) return std::nullopt;
        const std::optional<sigrok::DeviceSpec> spec =
            sigrok::ParseDeviceSpec(store.ReadString(QStringLiteral("Geraet")).toStdString());
        if (!spec || (spec->driver == "demo" && !withDemo) || !knownDriver(spec->driver))
            return std::nullopt;
        const std::optional<std::uint64_t> rate =
            ParseHertz(store.ReadString(QStringLiteral("Abtastrate")));
        if (!rate) return std::nullopt;
        SigrokChoice choice{*spec, *rate, QString()};
        try {
            choice.title = store.ReadString(QStringLiteral("Bezeichnung")).trimmed();
        } catch (const std::exception&) {
            // A file without the line still names the device by its text.
        }
        try {
            choice.active =
                store.ReadString(QStringLiteral("Aktiv")).trimmed() != QLatin1String("0");
        } catch (const std::exception&) {
            // Missing: the device is in use.
        }
        if (choice.title.isEmpty())
            choice.title = QString::fromStdString(sigrok::DeviceSpecText(*spec));
        return choice;
    } catch (const std::exception&) {
        return std::nullopt; // a value of another type or a damaged entry: as if none
    }
}

void WriteSigrokChoice(TIniRegistry& store, const SigrokChoice& choice) {
    const AtRoot root{store};
    store.OpenKey(kKey, true);
    store.WriteString(QStringLiteral("Geraet"),
                      QString::fromStdString(sigrok::DeviceSpecText(choice.spec)));
    store.WriteString(QStringLiteral("Abtastrate"), QString::number(qulonglong(choice.rateHz)));
    store.WriteString(QStringLiteral("Bezeichnung"), choice.title);
    store.WriteString(QStringLiteral("Aktiv"),
                      choice.active ? QStringLiteral("1") : QStringLiteral("0"));
}
