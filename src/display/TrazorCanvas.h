#pragma once

#include "platform/Color.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRegion>
#include <optional>

class QImage;

namespace trazor {

class TextCache;

// Drawing primitives on the diagram's bitmap for the length of one drawing
// operation. Strokes leave out their end point, so consecutive strokes meet
// without painting a pixel twice; text is placed by the top-left corner of its
// cell and drawn without a background.
class Canvas {
  public:
    // With a cache, texts are laid out once and drawn from it afterwards.
    Canvas(QImage& image, const std::optional<QRegion>& clip, TextCache* texts = nullptr);

    void stroke(int x1, int y1, int x2, int y2, TColor color);
    void fill(const QRect& rect, TColor color);
    void text(int x, int y, const QString& text, const QFont& font, TColor color);
    // Escapement in tenths of a degree, counter-clockwise (2700: reads downward).
    void rotatedText(int x, int y, const QString& text, const QFont& font, TColor color,
                     int escapement);
    int textWidth(const QString& text, const QFont& font) const;

    // Arial bold 9 pt for names and legend; Arial 6 pt for the level marks;
    // the rotated labels are 12 pixels high in the same face.
    static QFont nameFont();
    static QFont markFont();
    static QFont rotatedFont();

  private:
    QImage& image_;
    QPainter painter_;
    TextCache* texts_;
    TColor fillColor_ = 0;
    QColor fillQColor_;
    const QColor& qcolor(TColor color);
    // Draws `text` with its cell's top-left corner at the painter's `topLeft`.
    void drawText(QPoint topLeft, const QString& text, const QFont& font);
};

} // namespace trazor
