#include "support/HelpViewers.h"

#include <QProcess>
#include <QStandardPaths>

QString SystemProcessLauncher::FindProgram(const QString& name) const {
    return QStandardPaths::findExecutable(name);
}

bool SystemProcessLauncher::StartDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}
