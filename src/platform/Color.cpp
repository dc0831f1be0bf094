#include "platform/Color.h"

#include <QApplication>
#include <QPalette>

namespace colors {

QColor toQColor(TColor c) {
    if (c & 0x80000000u) {
        // The only system colour the program uses is the menu colour.
        return QApplication::palette().color(QPalette::Window);
    }
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TColor fromQColor(const QColor& c) {
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}

} // namespace colors
