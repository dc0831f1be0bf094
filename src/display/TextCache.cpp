#include "display/TextCache.h"

#include <QFontMetrics>
#include <QPaintDevice>

namespace trazor {

namespace {

QString keyOf(const QFont& font, const QString& text) {
    QString key = font.key();
    key += QChar(0x1F);
    key += text;
    return key;
}

QFontMetrics metrics(const QFont& font, const QPaintDevice& device) {
    // QFontMetrics wants a non-const device only to read its resolution.
    return QFontMetrics(font, const_cast<QPaintDevice*>(&device));
}

} // namespace

const QStaticText& TextCache::Text(const QString& text, const QFont& font) {
    const QString key = keyOf(font, text);
    auto found = texts_.find(key);
    if (found != texts_.end()) return *found;
    if (texts_.size() >= MaxTexts) texts_.clear();
    QStaticText laidOut(text);
    laidOut.setTextFormat(Qt::PlainText);
    laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
    laidOut.prepare(QTransform(), font);
    return *texts_.insert(key, laidOut);
}

int TextCache::Ascent(const QFont& font, const QPaintDevice& device) {
    const QString key = keyOf(font, QString::number(device.logicalDpiY()));
    auto found = ascents_.find(key);
    if (found != ascents_.end()) return *found;
    return *ascents_.insert(key, metrics(font, device).ascent());
}

int TextCache::Width(const QString& text, const QFont& font, const QPaintDevice& device) {
    const QString key = keyOf(font, QString::number(device.logicalDpiX()) + QChar(0x1F) + text);
    auto found = widths_.find(key);
    if (found != widths_.end()) return *found;
    if (widths_.size() >= MaxTexts) widths_.clear();
    return *widths_.insert(key, metrics(font, device).horizontalAdvance(text));
}

} // namespace trazor
