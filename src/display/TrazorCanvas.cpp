#include "display/TrazorCanvas.h"

#include "display/TextCache.h"

#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <cstdlib>

namespace trazor {

Canvas::Canvas(QImage& image, const std::optional<QRegion>& clip, TextCache* texts)
    : image_(image), painter_(&image), texts_(texts) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    if (clip) painter_.setClipRegion(*clip);
    fillQColor_ = colors::toQColor(fillColor_);
}

const QColor& Canvas::qcolor(TColor color) {
    if (color != fillColor_) {
        fillColor_ = color;
        fillQColor_ = colors::toQColor(color);
    }
    return fillQColor_;
}

void Canvas::stroke(int x1, int y1, int x2, int y2, TColor color) {
    if (x1 == x2 && y1 == y2) return;
    if (y1 == y2) {
        // Pixels from x1 towards x2, x2 itself left out.
        const int left = x1 < x2 ? x1 : x2 + 1;
        painter_.fillRect(QRect(left, y1, std::abs(x2 - x1), 1), qcolor(color));
        return;
    }
    if (x1 == x2) {
        const int top = y1 < y2 ? y1 : y2 + 1;
        painter_.fillRect(QRect(x1, top, 1, std::abs(y2 - y1)), qcolor(color));
        return;
    }
    // Slanted strokes: Bresenham's walk, stopping before the end point.
    painter_.setPen(QPen(qcolor(color), 0));
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        painter_.drawPoint(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void Canvas::fill(const QRect& rect, TColor color) {
    painter_.fillRect(rect, qcolor(color));
}

void Canvas::text(int x, int y, const QString& text, const QFont& font, TColor color) {
    if (text.isEmpty()) return;
    painter_.setFont(font);
    painter_.setPen(qcolor(color));
    drawText(QPoint(x, y), text, font);
}

void Canvas::drawText(QPoint topLeft, const QString& text, const QFont& font) {
    if (!texts_) {
        painter_.drawText(topLeft + QPoint(0, QFontMetrics(font, &image_).ascent()), text);
        return;
    }
    // A laid-out text is placed by the top of its line, as the cell is.
    painter_.drawStaticText(topLeft, texts_->Text(text, font));
}

void Canvas::rotatedText(int x, int y, const QString& text, const QFont& font, TColor color,
                         int escapement) {
    if (text.isEmpty()) return;
    painter_.save();
    painter_.translate(x, y);
    // Escapement turns counter-clockwise on a y-up page; Qt turns clockwise on
    // the y-down bitmap, hence the sign.
    painter_.rotate(-escapement / 10.0);
    painter_.setFont(font);
    painter_.setPen(qcolor(color));
    drawText(QPoint(0, 0), text, font);
    painter_.restore();
}

int Canvas::textWidth(const QString& text, const QFont& font) const {
    if (texts_) return texts_->Width(text, font, image_);
    return QFontMetrics(font, &image_).horizontalAdvance(text);
}

QFont Canvas::nameFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setBold(true);
    return font;
}

QFont Canvas::markFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(6);
    return font;
}

QFont Canvas::rotatedFont() {
    QFont font(QStringLiteral("Arial"));
    // A 12-pixel character cell; Arial's em is about 0.9 of it.
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

} // namespace trazor
