#pragma once

#include <QString>

// Where the files the program ships are found. In the build tree everything
// lies beside the program. Installed, the program is in bin/, its libraries in
// a folder of their own under lib/ and the help under share/; those folders
// are found relative to the program's own directory, so an installed tree
// works wherever it was unpacked.
namespace install {

// The folder of the program's own libraries for a program in programDir.
QString LibraryDirectory(const QString& programDir);
// The folder of the help file for a program in programDir.
QString DataDirectory(const QString& programDir);

// The program a user starts ("spurwerk") runs the commands itself and hands a
// start without a command to the window's program. In the build tree that
// lies beside it; installed, in the folder of the program's own libraries.
inline constexpr const char* FrontProgramName = "spurwerk";
inline constexpr const char* WindowProgramName = "spurwerk-window";

// The folder of the running program's own file; empty where the system does
// not tell it.
QString RunningProgramDirectory();

// The window's program for the program a user starts in programDir.
QString WindowProgram(const QString& programDir);
// The folder of the program a user starts, for the window's program in
// windowDir: the folder from which the libraries and the help are found.
QString ProgramDirectoryOfWindow(const QString& windowDir);

// The first of programDir and installedDir that holds fileName; programDir
// when neither does, so a message names the place beside the program.
QString DirectoryWith(const QString& fileName, const QString& programDir,
                      const QString& installedDir);

} // namespace install
