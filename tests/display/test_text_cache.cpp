#include "display/TextCache.h"
#include "display/TrazorCanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

// Drawing from the cache must give the very pixels of drawing the text
// directly: a scroll shifts what one way drew and fills in with the other.
TEST(TextCache, DrawsTheSamePixelsAsDirectDrawing) {
    struct Case {
        QString text;
        QFont font;
        int escapement; // -1: upright
    };
    const Case cases[] = {
        {QStringLiteral("D07"), trazor::Canvas::nameFont(), -1},
        {QStringLiteral("10 µs"), trazor::Canvas::nameFont(), -1},
        {QStringLiteral("t"), trazor::Canvas::nameFont(), -1},
        {QStringLiteral("Übertrag"), trazor::Canvas::nameFont(), -1},
        {QStringLiteral("H"), trazor::Canvas::markFont(), -1},
        {QStringLiteral("1250"), trazor::Canvas::rotatedFont(), 2700},
        {QStringLiteral("-3,5 ms"), trazor::Canvas::rotatedFont(), 2700},
        {QStringLiteral("0"), trazor::Canvas::rotatedFont(), 2700},
    };
    trazor::TextCache cache;
    for (const Case& c : cases) {
        for (const int x : {7, 40, 41}) {
            QImage direct(120, 120, QImage::Format_RGB32);
            direct.fill(Qt::white);
            QImage cached = direct;
            // Twice from the cache: the second draws what the first laid out.
            for (int round = 0; round < 2; ++round) {
                trazor::Canvas a(direct, std::nullopt);
                trazor::Canvas b(cached, std::nullopt, &cache);
                if (c.escapement < 0) {
                    a.text(x, 30, c.text, c.font, colors::Black);
                    b.text(x, 30, c.text, c.font, colors::Black);
                } else {
                    a.rotatedText(x, 10, c.text, c.font, colors::Black, c.escapement);
                    b.rotatedText(x, 10, c.text, c.font, colors::Black, c.escapement);
                }
                EXPECT_EQ(a.textWidth(c.text, c.font), b.textWidth(c.text, c.font));
            }
            EXPECT_EQ(direct, cached) << c.text.toStdString() << " at x " << x;
        }
    }
}

// A full cache gives up its oldest entries for new ones: texts beyond its
// size, and old ones asked for again after being given up or after the cache
// was emptied, still come out as themselves, laid out and measured.
TEST(TextCache, KeepsAnsweringRightWhenFull) {
    trazor::TextCache cache;
    const QFont font = trazor::Canvas::rotatedFont();
    QImage device(10, 10, QImage::Format_RGB32);
    const QFontMetrics metrics(font, &device);
    for (int round = 0; round < 3; ++round) {
        // Emptied when full: the order of giving up starts again from empty.
        if (round == 1) cache.Clear();
        for (int i = 0; i < 1500; i += 7) {
            const QString text = QString::number(i);
            ASSERT_EQ(cache.Text(text, font).text(), text) << "round " << round;
            ASSERT_EQ(cache.Width(text, font, device), metrics.horizontalAdvance(text))
                << text.toStdString();
        }
    }
}
