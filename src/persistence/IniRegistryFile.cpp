// The store's file handling: the backup on save, the set-aside of a damaged
// file on load, and the fall-back to the backup.
#include "persistence/EINIRegistryError.h"
#include "persistence/IniRegistry.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString shown(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

QByteArray readSettingsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Die Einstellungsdatei %1 kann nicht gelesen werden: %2")
                             .arg(shown(path), file.errorString()));
    if (file.size() > TIniRegistry::MaxFileSize)
        throw EFileError(
            QStringLiteral(
                "Die Einstellungsdatei %1 ist mit %2 Bytes zu groß (höchstens %3 Bytes).")
                .arg(shown(path))
                .arg(file.size())
                .arg(TIniRegistry::MaxFileSize));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QStringLiteral("Die Einstellungsdatei %1 kann nicht gelesen werden: %2")
                             .arg(shown(path), file.errorString()));
    return bytes;
}

} // namespace

bool TIniRegistry::SetAsideAndRestoreBackup(const QString& base) {
    const QString ini = base + iniExtension_;
    const QString defect = base + defectSuffix_;
    QFile::remove(defect);
    // Without the rename the damaged file would stay in the way of the backup.
    if (!QFile::rename(ini, defect)) return false;
    const QString backup = base + backupExtension_;
    if (QFile::exists(backup)) QFile::rename(backup, ini);
    return QFile::exists(ini);
}

bool TIniRegistry::LoadFromFile(const QString& name) {
    const QString base = IniBaseName(name);
    const QString ini = base + iniExtension_;
    // The second round reads the former backup; after it no backup is left.
    for (int round = 0; round < 2; ++round) {
        if (!QFile::exists(ini)) return false;
        QByteArray image = readSettingsFile(ini);
        try {
            if (LoadFromBytes(std::move(image))) return true;
        } catch (const EStreamReadError& e) {
            throw EFileError(QStringLiteral("Die Einstellungsdatei %1 ist beschädigt: %2")
                                 .arg(shown(ini), QString::fromUtf8(e.what())));
        }
        if (!SetAsideAndRestoreBackup(base)) return false;
    }
    return false;
}

void TIniRegistry::SaveToFile(const QString& name) {
    const QString base = IniBaseName(name);
    if (base.isEmpty()) return;
    const QString ini = base + iniExtension_;
    const QByteArray image = SaveToBytes();

    // The new image goes to a temporary file first; the old file is replaced
    // only once the new one is complete, so a full disk or a missing right
    // never leaves an empty or half-written settings file behind. The flush
    // matters: commit() alone does not notice a write that fails while the
    // last buffered bytes go out.
    QSaveFile file(ini);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw EFileError(
            QStringLiteral("Die Einstellungsdatei %1 kann nicht gespeichert werden: %2")
                .arg(shown(ini), reason));
    }
    // The previous file becomes the backup. It is copied rather than renamed,
    // so that the settings file stays in place until the new one replaces it.
    const QString backup = base + backupExtension_;
    QFile::remove(backup);
    if (QFile::exists(ini)) QFile::copy(ini, backup);
    if (!file.commit())
        throw EFileError(
            QStringLiteral("Die Einstellungsdatei %1 kann nicht gespeichert werden: %2")
                .arg(shown(ini), file.errorString()));
}
