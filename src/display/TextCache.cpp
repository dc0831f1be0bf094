#include "display/TextCache.h"

#include <QFontMetrics>
#include <QPaintDevice>

namespace trazor {

namespace {

QFontMetrics metrics(const QFont& font, const QPaintDevice& device) {
    // QFontMetrics wants a non-const device only to read its resolution.
    return QFontMetrics(font, const_cast<QPaintDevice*>(&device));
}

// Room for one more entry: giving up one old entry for each new one keeps
// allocations and releases in balance once the cache is full.
template <typename Value> void makeRoom(QHash<TextCache::Key, Value>& cache, qsizetype limit) {
    if (cache.size() >= limit) cache.erase(cache.begin());
}

} // namespace

size_t qHash(const TextCache::Key& key, size_t seed) {
    return qHashMulti(seed, key.font, key.text, key.dpi);
}

const QStaticText& TextCache::Text(const QString& text, const QFont& font) {
    Key key{font, text, 0};
    auto found = texts_.find(key);
    if (found != texts_.end()) return *found;
    makeRoom(texts_, MaxTexts);
    QStaticText laidOut(text);
    laidOut.setTextFormat(Qt::PlainText);
    laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
    laidOut.prepare(QTransform(), font);
    return *texts_.insert(std::move(key), laidOut);
}

int TextCache::Width(const QString& text, const QFont& font, const QPaintDevice& device) {
    Key key{font, text, device.logicalDpiX()};
    auto found = widths_.find(key);
    if (found != widths_.end()) return *found;
    makeRoom(widths_, MaxTexts);
    return *widths_.insert(std::move(key), metrics(font, device).horizontalAdvance(text));
}

} // namespace trazor
