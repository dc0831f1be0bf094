#include "cli/WindowStart.h"

#include "cli/Commands.h"
#include "front/SystemError.h"
#include "support/InstallLayout.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

namespace cli {

int StartWindow(char** argv, std::ostream& err) {
    QString programDir = install::RunningProgramDirectory();
    if (programDir.isEmpty())
        programDir = QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath();
    const QByteArray window = QFile::encodeName(install::WindowProgram(programDir));
    // argv[0] stays as the user typed it: the window is known to the desktop
    // by that name (its window class), as when it was one program.
    ::execv(window.constData(), argv);
    err << "spurwerk: das Programmfenster " << window.constData()
        << " lässt sich nicht starten: " << SystemErrorText(errno) << "\n";
    return ExitFailure;
}

} // namespace cli
