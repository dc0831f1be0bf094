#include "persistence/PrintDiagram.h"

#include "platform/Desktop.h"

#include <QPainter>
#include <QPrinter>

QRect PrintTargetRect(const QRect& displayGeometry) {
    const int left = displayGeometry.left();
    const int top = displayGeometry.top();
    const int right = displayGeometry.width() * 3;
    const int bottom = displayGeometry.height() * 3;
    return QRect(left, top, right - left, bottom - top);
}

void PrintDiagram(QPaintDevice& device, const QImage& picture, const QRect& displayGeometry) {
    QPainter painter;
    if (!painter.begin(&device)) throw EPrintError("Der Druckauftrag kann nicht begonnen werden.");
    const QRect target = PrintTargetRect(displayGeometry);
    // A display placed further right or down than its stretched size leaves
    // no area to fill; there is nothing sensible to mirror it into.
    if (target.isValid() && !picture.isNull()) painter.drawImage(target, picture);
    painter.end();
}

bool PrintDiagramWithDialog(Desktop& desktop, QPrinter& printer, const QImage& picture,
                            const QRect& displayGeometry) {
    if (!desktop.PrintDialog(printer)) return false;
    PrintDiagram(printer, picture, displayGeometry);
    return true;
}
