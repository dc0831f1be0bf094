#include "support/InstallLayout.h"

#include <QDir>
#include <QFileInfo>

#ifndef SPURWERK_LIBDIR_FROM_BINDIR
#define SPURWERK_LIBDIR_FROM_BINDIR "../lib/spurwerk"
#endif
#ifndef SPURWERK_DATADIR_FROM_BINDIR
#define SPURWERK_DATADIR_FROM_BINDIR "../share/spurwerk"
#endif

namespace install {

QString LibraryDirectory(const QString& programDir) {
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(SPURWERK_LIBDIR_FROM_BINDIR)));
}

QString DataDirectory(const QString& programDir) {
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(SPURWERK_DATADIR_FROM_BINDIR)));
}

QString DirectoryWith(const QString& fileName, const QString& programDir,
                      const QString& installedDir) {
    for (const QString& directory : {programDir, installedDir})
        if (!directory.isEmpty() && QFileInfo(QDir(directory).filePath(fileName)).isFile())
            return directory;
    return programDir;
}

} // namespace install
