// Writes the seed corpora for the two fuzz targets into <dir>/ini and <dir>/dig.
#include "persistence/IniRegistry.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>

namespace {

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

QByteArray settingsImage() {
    TIniRegistry store;
    store.OpenKey("Spurwerk", true);
    store.WriteString("Digits", "8");
    store.WriteString("TimeUnit", QString::fromUtf8("µs"));
    store.WriteString("BitText1", "D00");
    store.WriteString("Hintergrundfarbe", "16777215");
    store.WriteString("Long", QString(40, 'x'));
    store.OpenKey("\\Other\\Deeper", true);
    store.WriteInteger("Int", -200);
    store.WriteBool("Bool", true);
    store.WriteFloat("Float", 2.5L);
    store.WriteBinary("Blob", QByteArray(300, '\x5A'));
    return store.SaveToBytes();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus dir>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    root.mkpath("ini");
    root.mkpath("dig");
    const QByteArray image = settingsImage();
    put(root.filePath("ini/settings.ini"), image);
    put(root.filePath("ini/truncated.ini"), image.left(image.size() / 2));
    put(root.filePath("ini/header-only.ini"), image.left(TIniRegistry::HeaderSize));
    put(root.filePath("ini/one-key.ini"),
        image.left(TIniRegistry::HeaderSize) +
            QByteArray::fromHex("01 01 01 01 4B 00 01 01 01 01 56 01 01 02 78 00"));
    put(root.filePath("dig/empty.DIG"), QByteArray());
    put(root.filePath("dig/odd.DIG"), QByteArray("\x01\x02\x03", 3));
    QByteArray recording(512, '\0');
    for (int i = 0; i < recording.size(); ++i)
        recording[i] = char(i * 37);
    put(root.filePath("dig/cells.DIG"), recording);
    return 0;
}
