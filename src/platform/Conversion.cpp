#include "platform/Conversion.h"

EConvertError::EConvertError(const QString& message) : std::runtime_error(message.toStdString()) {}

std::int32_t StrToInt(const QString& text) {
    const auto fail = [&text]() -> EConvertError {
        return EConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text));
    };
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n) throw fail();
    std::int64_t value = 0;
    for (; i < n; ++i) {
        const QChar c = text[i];
        const bool isDigit = c.isDigit() && c.unicode() < 128;
        const bool isHex = base == 16 && ((c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                                          (c >= QLatin1Char('A') && c <= QLatin1Char('F')));
        if (!isDigit && !isHex) throw fail();
        const int digit = isDigit ? c.unicode() - '0' : (c.toLower().unicode() - 'a' + 10);
        value = value * base + digit;
        // Hexadecimal text may fill all 32 bits (as "$FFFFFFFF" for -1); decimal may not.
        if (value > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL)) throw fail();
    }
    // Negation in 32 unsigned bits, which wrap by definition: "-$80000000" is
    // the smallest integer itself, and "-$FFFFFFFF" is the negated -1. Negating
    // the signed value would overflow for the smallest one.
    if (base == 16) {
        const auto bits = static_cast<std::uint32_t>(value);
        return static_cast<std::int32_t>(negative ? 0u - bits : bits);
    }
    if (negative) return static_cast<std::int32_t>(-value);
    if (value > 0x7FFFFFFFLL) throw fail();
    return static_cast<std::int32_t>(value);
}
