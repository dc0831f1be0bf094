#include "persistence/Cp1252.h"

#include <QList>
#include <array>
#include <cstdint>

namespace cp1252 {
namespace {

// Bytes 0x80..0x9F; the other bytes map to the code point of the same value.
// The five holes of the code page (0x81, 0x8D, 0x8F, 0x90, 0x9D) are read as
// the C1 control of the same value, as Windows itself does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t toUnicode(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
    return byte;
}

char toByte(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == code) return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QByteArray encode(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    // Walk code points, so a character outside the BMP becomes one '?', not two.
    for (const char32_t code : text.toUcs4())
        out.append(toByte(code));
    return out;
}

QString decode(QByteArrayView bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char byte : bytes)
        out.append(QChar(toUnicode(static_cast<std::uint8_t>(byte))));
    return out;
}

} // namespace cp1252
