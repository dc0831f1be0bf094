#include "support/ProgramIcon.h"

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {32, 48, 64, 256})
        icon.addFile(QStringLiteral(":/spurwerk/spurwerk-%1.png").arg(size), QSize(size, size));
    return icon;
}
