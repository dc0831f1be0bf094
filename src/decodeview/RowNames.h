#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// How an annotation row's name is set in the narrow margin left of the
// diagram's origin: the decoder's name, then the row's, each broken onto as
// many lines as it needs instead of cut, so the whole name stays readable.
// Plain text layout over a width function, checked without a widget.
namespace decodeview {

// The pixels a text takes (QFontMetrics::horizontalAdvance in the widget).
using TextAdvance = std::function<int(const QString&)>;

// `text` broken into lines no wider than `width`: after a space, '-', '_',
// '/', ':' or '.' where one lies in the line, else inside a word that alone is
// wider. Breaking spaces are dropped; an empty text gives no line.
QStringList WrapText(const QString& text, int width, const TextAdvance& advance);

// The decoder's lines, then the row's.
QStringList NameLines(const QString& decoder, const QString& row, int width,
                      const TextAdvance& advance);

// The height of a row whose name takes `lines` lines of `lineSpacing` pixels:
// `least` or, where the name needs more, as much as it needs (with a pixel
// above and below).
int RowHeightFor(int lines, int lineSpacing, int least);

} // namespace decodeview
