#include "support/HexDigits.h"

namespace hexdigits {

namespace {
const QString kDigits = QStringLiteral("0123456789ABCDEF");
} // namespace

int DigitOf(QChar c) {
    const QChar upper = c.toUpper();
    for (int i = 0; i < kDigits.size(); ++i)
        if (kDigits[i] >= upper) return i;
    return 0;
}

bool IsAcceptedChar(QChar c) {
    const char16_t u = c.unicode();
    return u == u'\b' || (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') ||
           (u >= u'a' && u <= u'f');
}

std::int32_t TextToValue(const QString& text) {
    // Accumulating modulo 2^32 equals the exact sum for up to eight digits and
    // keeps longer (pasted) texts from overflowing.
    std::uint32_t value = 0;
    for (const QChar c : text)
        value = value * 16u + static_cast<std::uint32_t>(DigitOf(c));
    return static_cast<std::int32_t>(value);
}

QString ValueToText(std::int32_t value, int minDigits) {
    return QString::number(static_cast<std::uint32_t>(value), 16)
        .toUpper()
        .rightJustified(minDigits, QLatin1Char('0'));
}

} // namespace hexdigits
