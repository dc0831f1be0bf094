#pragma once

#include <cstdint>

// Only the window converts colours for painting; the declarations below need
// no QtGui, so a program without a display can use the colour values.
class QColor;

// Colours are kept as the program stores them in its settings: red in the low
// byte, then green, then blue. Values with the top bit set name system colours.
using TColor = std::uint32_t;

namespace colors {
constexpr TColor Black = 0x000000;
constexpr TColor White = 0xFFFFFF;
constexpr TColor Red = 0x0000FF;
constexpr TColor Green = 0x008000;
constexpr TColor Aqua = 0xFFFF00;
constexpr TColor SystemMenu = 0x80000004;

// Resolves system colours to the palette of the running application.
QColor toQColor(TColor c);
TColor fromQColor(const QColor& c);
} // namespace colors
