// The store's file handling: the backup on save, the set-aside of a damaged
// file on load, and the fall-back to the backup.
#include "persistence/EINIRegistryError.h"
#include "persistence/FileAccess.h"
#include "persistence/IniRegistry.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

namespace {

QString shown(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

const QString kSubject = QStringLiteral("Die Einstellungsdatei");

QByteArray readSettingsFile(const QString& path) {
    return fileaccess::ReadRegularFile(
        shown(path), kSubject, TIniRegistry::MaxFileSize,
        QStringLiteral("Die Einstellungsdatei %1 ist zu groß (höchstens %2 Bytes).")
            .arg(shown(path))
            .arg(TIniRegistry::MaxFileSize));
}

// A settings file above the cap is no settings file this program wrote: it
// is set aside as one with a wrong header is, instead of being refused at
// every start and every save until someone deletes it by hand.
bool overCap(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.size() > TIniRegistry::MaxFileSize;
}

} // namespace

bool TIniRegistry::SetAside(const QString& base) {
    const QString defect = base + defectSuffix_;
    QFile::remove(defect);
    return QFile::rename(base + iniExtension_, defect);
}

bool TIniRegistry::SetAsideAndRestoreBackup(const QString& base) {
    const QString ini = base + iniExtension_;
    // Without the rename the damaged file would stay in the way of the backup.
    if (!SetAside(base)) return false;
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
        if (overCap(ini)) {
            if (!SetAsideAndRestoreBackup(base)) return false;
            continue;
        }
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
    const QString ini = shown(base + iniExtension_);
    const QByteArray image = SaveToBytes();

    // Every step either succeeds or ends the save with an error before the
    // next one, and each file is replaced only by a complete successor: at
    // any moment there is the old backup or the new one, and the old settings
    // file or the new one. The old file is read first, because a settings
    // file written in place (a folder without write right) is emptied when
    // its writing begins.
    if (overCap(ini)) SetAside(base);
    std::optional<QByteArray> previous;
    if (QFile::exists(ini))
        previous = readSettingsFile(ini);
    else
        // Without a settings file the old backup goes first, as when a file
        // is there: a stale backup could later take the place of a damaged
        // file (a failure is ignored).
        QFile::remove(shown(base + backupExtension_));
    fileaccess::PendingFile next(ini, kSubject, image);
    if (previous) fileaccess::WriteRegularFile(shown(base + backupExtension_), kSubject, *previous);
    next.Commit();
}
