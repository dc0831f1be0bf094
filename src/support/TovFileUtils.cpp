#include "support/TovFileUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <dlfcn.h>

#ifndef SPURWERK_LIBRARY_ARCHITECTURE
#define SPURWERK_LIBRARY_ARCHITECTURE ""
#endif

namespace {
// The registry value was read into a buffer of this many characters.
constexpr int MaxDirectoryLength = 512;

QString SystemLibraryDirectory() {
    const QString triplet = QStringLiteral(SPURWERK_LIBRARY_ARCHITECTURE);
    return triplet.isEmpty() ? QStringLiteral("/usr/lib") : QStringLiteral("/usr/lib/") + triplet;
}

QString Cached(std::optional<QString>& slot, int kind) {
    if (!slot) slot = TovFileUtils::GetDirectory(kind);
    return *slot;
}

void Preset(std::optional<QString>& slot, const QString& path) {
    if (!slot || *slot != path) slot = path;
}
} // namespace

TovFileUtils::~TovFileUtils() {
    FreeDLL();
}

QString TovFileUtils::Path_CurrWindows() {
    return Cached(windows_, WindowsDir);
}
QString TovFileUtils::Path_CurrWinSystem() {
    return Cached(winSystem_, SystemDir);
}
QString TovFileUtils::Path_CurrPrgSystem() {
    return Cached(prgSystem_, PrgSystemDir);
}
QString TovFileUtils::Path_CurrProgram() {
    return Cached(program_, CurrentDir);
}
void TovFileUtils::SetPath_CurrPrgSystem(const QString& path) {
    Preset(prgSystem_, path);
}
void TovFileUtils::SetPath_CurrProgram(const QString& path) {
    Preset(program_, path);
}

QString TovFileUtils::GetDirectory(int kind) {
    switch (kind) {
    case WindowsDir:
        return QStringLiteral("/usr/local/lib");
    case SystemDir:
        return SystemLibraryDirectory();
    case PrgSystemDir:
        return JoinPath(QDir::currentPath(), QStringLiteral("system"));
    case CurrentDir:
        return QDir::currentPath();
    case UtilitiesDir: {
        // Machine-wide and read only: /etc/xdg/Orvandt/System.conf.
        const QSettings settings(QSettings::NativeFormat, QSettings::SystemScope,
                                 QStringLiteral("Orvandt"), QStringLiteral("System"));
        return settings.value(QStringLiteral("UtilitiesDirectory"))
            .toString()
            .left(MaxDirectoryLength);
    }
    default:
        return QString();
    }
}

std::optional<QString> TovFileUtils::FindFile(const QString& name) {
    for (const int kind : {CurrentDir, WindowsDir, SystemDir, PrgSystemDir, UtilitiesDir}) {
        const QString directory = GetDirectory(kind);
        // An empty directory would turn the name into a path below the root.
        if (directory.isEmpty()) continue;
        const QString path = JoinPath(directory, name);
        if (QFileInfo(path).isFile()) return path;
    }
    return std::nullopt;
}

void* TovFileUtils::LoadDLL(const QString& name) {
    FreeDLL();
    for (const QString& directory :
         {Path_CurrProgram(), Path_CurrWindows(), Path_CurrWinSystem(), Path_CurrPrgSystem()}) {
        if (directory.isEmpty() && !QDir::isAbsolutePath(name)) continue;
        const QByteArray path = QFile::encodeName(JoinPath(directory, name));
        fileHandle_ = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        if (fileHandle_) break;
    }
    return fileHandle_;
}

void TovFileUtils::FreeDLL() {
    if (!fileHandle_) return;
    dlclose(fileHandle_);
    fileHandle_ = nullptr;
}

QString TovFileUtils::JoinPath(const QString& directory, const QString& name) {
    if (QDir::isAbsolutePath(name)) return name;
    if (directory.endsWith(QLatin1Char('/'))) return directory + name;
    return directory + QLatin1Char('/') + name;
}
