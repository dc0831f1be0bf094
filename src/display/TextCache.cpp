#include "display/TextCache.h"

#include <QFontMetrics>
#include <QPaintDevice>

namespace trazor {

namespace {

QFontMetrics metrics(const QFont& font, const QPaintDevice& device) {
    // QFontMetrics wants a non-const device only to read its resolution.
    return QFontMetrics(font, const_cast<QPaintDevice*>(&device));
}

} // namespace

template <typename Value>
const Value& TextCache::Bounded<Value>::Insert(const Key& key, Value value) {
    // Giving up one old entry for each new one keeps allocations and releases
    // in balance once the cache is full.
    if (order_.size() < limit_) {
        if (order_.empty()) order_.reserve(limit_);
        order_.push_back(key);
    } else {
        entries_.remove(order_[oldest_]);
        order_[oldest_] = key;
        oldest_ = (oldest_ + 1) % limit_;
    }
    return *entries_.insert(key, std::move(value));
}

size_t qHash(const TextCache::Key& key, size_t seed) {
    return qHashMulti(seed, key.font, key.text, key.dpi);
}

const QStaticText& TextCache::Text(const QString& text, const QFont& font) {
    const Key key{font, text, 0};
    if (const QStaticText* found = texts_.Find(key)) return *found;
    QStaticText laidOut(text);
    laidOut.setTextFormat(Qt::PlainText);
    laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
    laidOut.prepare(QTransform(), font);
    return texts_.Insert(key, std::move(laidOut));
}

int TextCache::Width(const QString& text, const QFont& font, const QPaintDevice& device) {
    const Key key{font, text, device.logicalDpiX()};
    if (const int* found = widths_.Find(key)) return *found;
    return widths_.Insert(key, metrics(font, device).horizontalAdvance(text));
}

void TextCache::Clear() {
    texts_.Clear();
    widths_.Clear();
}

} // namespace trazor
