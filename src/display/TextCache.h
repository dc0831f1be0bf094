#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>
#include <cstddef>
#include <vector>

class QPaintDevice;

namespace trazor {

// Texts of the diagram laid out once and kept between drawing passes. The
// scale's labels, the line names and the legend come back with every scroll
// step and every option change, and laying text out (shaping it into glyphs)
// costs far more than drawing the glyphs. Bounded: a screen shows well under
// a hundred texts, and a full cache gives up its oldest entry for each new one.
class TextCache {
  public:
    // `text` laid out in `font`; the reference holds until the next call.
    const QStaticText& Text(const QString& text, const QFont& font);
    // QFontMetrics(font, device).horizontalAdvance(text), remembered.
    int Width(const QString& text, const QFont& font, const QPaintDevice& device);
    // Gives back every laid-out text; the next drawing lays them out again.
    void Clear();

    struct Key {
        QFont font;
        QString text;
        int dpi = 0;
        bool operator==(const Key& other) const {
            return dpi == other.dpi && text == other.text && font == other.font;
        }
    };

    // Entries in the order they came, the oldest given up first once there
    // are `limit` of them. Finding the oldest through the order kept here
    // costs one lookup; walking the hash for some entry to drop costs a scan
    // over the slots emptied before.
    template <typename Value> class Bounded {
      public:
        explicit Bounded(std::size_t limit) : limit_(limit) {}
        const Value* Find(const Key& key) const {
            const auto found = entries_.constFind(key);
            return found == entries_.cend() ? nullptr : &*found;
        }
        const Value& Insert(const Key& key, Value value);
        void Clear() {
            entries_ = {};
            order_ = {};
            oldest_ = 0;
        }

      private:
        std::size_t limit_;
        QHash<Key, Value> entries_;
        std::vector<Key> order_; // a ring once full, order_[oldest_] the oldest
        std::size_t oldest_ = 0;
    };

  private:
    static constexpr std::size_t MaxTexts = 512;
    Bounded<QStaticText> texts_{MaxTexts};
    Bounded<int> widths_{MaxTexts};
};

size_t qHash(const TextCache::Key& key, size_t seed = 0);

} // namespace trazor
