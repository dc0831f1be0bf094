#include "persistence/PrintDiagram.h"

#include "platform/Desktop.h"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

QRect PrintTargetRect(const QRect& displayGeometry) {
    const int left = displayGeometry.left();
    const int top = displayGeometry.top();
    const int right = displayGeometry.width() * 3;
    const int bottom = displayGeometry.height() * 3;
    return QRect(left, top, right - left, bottom - top);
}

double PrintFitFactor(const QRect& target, const QSizeF& page) {
    const double right = double(target.left()) + target.width();
    const double bottom = double(target.top()) + target.height();
    double factor = 1.0;
    if (right > 0) factor = std::min(factor, page.width() / right);
    if (bottom > 0) factor = std::min(factor, page.height() / bottom);
    return std::max(factor, 0.0);
}

void PrintDiagram(QPaintDevice& device, const QImage& picture, const QRect& displayGeometry) {
    QPainter painter;
    if (!painter.begin(&device)) throw EPrintError("Der Druckauftrag kann nicht begonnen werden.");
    const QRect target = PrintTargetRect(displayGeometry);
    // A display placed further right or down than its stretched size leaves
    // no area to fill; there is nothing sensible to mirror it into.
    const int dpiX = device.logicalDpiX();
    const int dpiY = device.logicalDpiY();
    if (target.isValid() && !picture.isNull() && dpiX > 0 && dpiY > 0) {
        const double toDeviceX = dpiX / kPrinterPixelsPerInch;
        const double toDeviceY = dpiY / kPrinterPixelsPerInch;
        // The painter's origin is the top left of the printable area.
        const QSizeF page(device.width() / toDeviceX, device.height() / toDeviceY);
        const double fit = PrintFitFactor(target, page);
        painter.scale(toDeviceX * fit, toDeviceY * fit);
        // JPEG would smear the one-pixel lines of the diagram.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.drawImage(target, picture);
    }
    painter.end();
}

bool PrintDiagramWithDialog(Desktop& desktop, QPrinter& printer, const QImage& picture,
                            const QRect& displayGeometry) {
    if (!desktop.PrintDialog(printer)) return false;
    PrintDiagram(printer, picture, displayGeometry);
    return true;
}
