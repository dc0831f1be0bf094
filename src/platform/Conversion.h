#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

// The error the program's number conversions raise; its text is the one the
// user sees in the general error display.
class EConvertError : public std::runtime_error {
  public:
    explicit EConvertError(const QString& message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// Whole-number conversion as the program's settings and zoom field use it:
// optional leading blanks, an optional sign, decimal digits or "$"/"0x" and
// hexadecimal digits, within the 32-bit range. Anything else raises
// EConvertError with "'<text>' ist kein gültiger Integerwert".
std::int32_t StrToInt(const QString& text);
