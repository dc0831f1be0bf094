// Writes the seed corpora for the fuzz targets into <dir>/ini and <dir>/dig.
#include "FuzzDisplay.h"
#include "display/TTrazor.h"
#include "persistence/AppSettings.h"
#include "persistence/IniRegistry.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>
#include <map>

namespace {

bool put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The 40 values "Einstellung speichern" writes for a display fresh from start-up.
QByteArray startupSettings() {
    fuzzdisplay::Display display;
    TIniRegistry store;
    StoreSettings(store, display.Fresh(8192));
    return store.SaveToBytes();
}

// The same values with some replaced by texts at the edges of what the
// conversions and the setters take.
QByteArray edgeSettings(const std::map<QString, QString>& replaced) {
    fuzzdisplay::Display display;
    TIniRegistry store;
    StoreSettings(store, display.Fresh(8192));
    store.OpenKey(appsettings::SettingsKey, false);
    for (const auto& [name, value] : replaced)
        store.WriteString(name, value);
    store.CloseKey();
    return store.SaveToBytes();
}

QByteArray mixedTypes() {
    TIniRegistry store;
    store.OpenKey("Spurwerk", true);
    store.WriteString("Digits", "8");
    store.WriteString("Long", QString(40, 'x'));
    store.OpenKey("\\Other\\Deeper", true);
    store.WriteInteger("Int", -200);
    store.WriteBool("Bool", true);
    store.WriteFloat("Float", 2.5L);
    store.WriteBinary("Blob", QByteArray(300, '\x5A'));
    return store.SaveToBytes();
}

QByteArray pattern(int bytes, int step) {
    QByteArray out(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        out[i] = char(i * step);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus dir>\n", argv[0]);
        return 2;
    }
    fuzzdisplay::StartApplication();
    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath("ini") || !root.mkpath("dig")) return 1;

    const QByteArray settings = startupSettings();
    const std::map<QString, QByteArray> ini = {
        {"settings.ini", settings},
        {"edges.ini", edgeSettings({{"Digits", "-$80000000"},
                                    {"TimeScale", "$7FFFFFFF"},
                                    {"TimeStep", "-0x80000000"},
                                    {"TimeUnit", QString(300, QChar(0xB5))},
                                    {"Hintergrundfarbe", "-1"},
                                    {"Fontfarbe", "$FFFFFFFF"},
                                    {"Liniefarbe16", "-2147483648"},
                                    {"BitText1", QString()}})},
        {"bad-number.ini", edgeSettings({{"TimeStep", "zehn"}})},
        {"mixed.ini", mixedTypes()},
        {"truncated.ini", settings.left(settings.size() / 2)},
        {"header-only.ini", settings.left(TIniRegistry::HeaderSize)},
        {"one-key.ini", settings.left(TIniRegistry::HeaderSize) +
                            QByteArray::fromHex("01 01 01 01 4B 00 01 01 01 01 56 01 01 02 78 00")},
    };
    // libFuzzer runs the empty input by itself; every seed here has content.
    const std::map<QString, QByteArray> dig = {
        {"one.DIG", QByteArray("\x01", 1)},
        {"odd.DIG", QByteArray("\x01\x02\x03", 3)},
        {"cells.DIG", pattern(512, 37)},
        {"board-5s.DIG", pattern(2 * 8192, 13)},
    };
    for (const auto& [name, bytes] : ini)
        if (!put(root.filePath("ini/" + name), bytes)) return 1;
    for (const auto& [name, bytes] : dig)
        if (!put(root.filePath("dig/" + name), bytes)) return 1;
    return 0;
}
