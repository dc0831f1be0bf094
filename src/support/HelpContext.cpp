#include "support/HelpContext.h"

#include "platform/Desktop.h"
#include "support/InstallLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QVariant>

namespace help {

namespace {
constexpr char kProperty[] = "helpContext";
} // namespace

void SetHelpContext(QObject& object, int context) {
    object.setProperty(kProperty, context);
}

int HelpContextOf(const QObject& object) {
    return object.property(kProperty).toInt();
}

QString AnchorOf(int context) {
    return QStringLiteral("ctx") + QString::number(context);
}

QString HelpFilePath(const QString& programDir) {
    const QString name = QStringLiteral("spurwerk.html");
    return QDir(install::DirectoryWith(name, programDir, install::DataDirectory(programDir)))
        .filePath(name);
}

QString CheckHelpFile(Desktop& desktop, const QString& programDir) {
    const QString path = HelpFilePath(programDir);
    if (!QFileInfo(path).isFile())
        desktop.ShowMessage(QStringLiteral("Hilfe-Datei nicht gefunden") + QLatin1Char('\r') +
                            path);
    return path;
}

} // namespace help
