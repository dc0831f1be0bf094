#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

// The text rules of the hexadecimal edit field, apart from the widget.
namespace hexdigits {

// The value a character counts for in a commit: the index of the first entry
// of "0123456789ABCDEF" that is not less than the (upper-case) character, or 0
// when there is none. Hex digits give their value; pasted strays count as
// 0 (up to "0" and above "F") or 10 (between "9" and "A").
int DigitOf(QChar c);

// Whether a typed character passes the field's input filter.
bool IsAcceptedChar(QChar c);

// The field's text as a 32-bit value: eight "F" give -1. Only the last eight
// characters can contribute, since higher digits fall outside 32 bits.
std::int32_t TextToValue(const QString& text);

// The value in upper-case hexadecimal with at least minDigits digits;
// a negative value shows as its eight-digit two's complement.
QString ValueToText(std::int32_t value, int minDigits);

} // namespace hexdigits
