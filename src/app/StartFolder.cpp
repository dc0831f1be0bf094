#include "StartFolder.h"

#include "persistence/RecordingData.h"

#include <QDir>

QString EnterDocumentsFolder() {
    const QString folder = recording::DataDirectory();
    if (!QDir().mkpath(folder) || !QDir::setCurrent(folder)) return QString();
    return folder;
}
