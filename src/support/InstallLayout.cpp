#include "support/InstallLayout.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

#ifndef SPURWERK_LIBDIR_FROM_BINDIR
#define SPURWERK_LIBDIR_FROM_BINDIR "../lib/spurwerk"
#endif
#ifndef SPURWERK_BINDIR_FROM_LIBDIR
#define SPURWERK_BINDIR_FROM_LIBDIR "../../bin"
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

QString RunningProgramDirectory() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? QString() : QString::fromStdString(self.parent_path().string());
}

QString WindowProgram(const QString& programDir) {
    const QString name = QString::fromLatin1(WindowProgramName);
    return QDir(DirectoryWith(name, programDir, LibraryDirectory(programDir))).filePath(name);
}

QString ProgramDirectoryOfWindow(const QString& windowDir) {
    const QString installed =
        QDir::cleanPath(QDir(windowDir).filePath(QStringLiteral(SPURWERK_BINDIR_FROM_LIBDIR)));
    return DirectoryWith(QString::fromLatin1(FrontProgramName), windowDir, installed);
}

QString DirectoryWith(const QString& fileName, const QString& programDir,
                      const QString& installedDir) {
    for (const QString& directory : {programDir, installedDir})
        if (!directory.isEmpty() && QFileInfo(QDir(directory).filePath(fileName)).isFile())
            return directory;
    return programDir;
}

} // namespace install
