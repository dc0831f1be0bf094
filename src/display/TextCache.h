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
// costs far more than drawing the glyphs. Bounded: a screen shows well under
// a hundred texts, and a full cache gives up one entry for each new one.
class TextCache {
  public:
    // `text` laid out in `font`; the reference holds until the next call.
    const QStaticText& Text(const QString& text, const QFont& font);
    // QFontMetrics(font, device).horizontalAdvance(text), remembered.
    int Width(const QString& text, const QFont& font, const QPaintDevice& device);

    struct Key {
        QFont font;
        QString text;
        int dpi = 0;
        bool operator==(const Key& other) const {
            return dpi == other.dpi && text == other.text && font == other.font;
        }
    };

  private:
    static constexpr qsizetype MaxTexts = 512;
    QHash<Key, QStaticText> texts_;
    QHash<Key, int> widths_;
};

size_t qHash(const TextCache::Key& key, size_t seed = 0);

} // namespace trazor
