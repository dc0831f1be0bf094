#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>

class QPaintDevice;

namespace trazor {

// Texts of the diagram laid out once and kept between drawing passes. The
// scale's labels, the line names and the legend come back with every scroll
// step and every option change, and laying text out (shaping it into glyphs)
// costs far more than drawing the glyphs. Bounded: when full it starts again.
class TextCache {
  public:
    // `text` laid out in `font`; the reference holds until the next call.
    const QStaticText& Text(const QString& text, const QFont& font);
    // QFontMetrics(font, device).ascent(), remembered per font and resolution.
    int Ascent(const QFont& font, const QPaintDevice& device);
    // QFontMetrics(font, device).horizontalAdvance(text), remembered.
    int Width(const QString& text, const QFont& font, const QPaintDevice& device);

  private:
    static constexpr qsizetype MaxTexts = 2048;
    QHash<QString, QStaticText> texts_;
    QHash<QString, int> ascents_;
    QHash<QString, int> widths_;
};

} // namespace trazor
