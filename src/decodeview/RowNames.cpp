#include "decodeview/RowNames.h"

#include <algorithm>

namespace decodeview {

namespace {

bool breaksAfter(QChar c) {
    return c == u' ' || c == u'-' || c == u'_' || c == u'/' || c == u':' || c == u'.';
}

} // namespace

QStringList WrapText(const QString& text, int width, const TextAdvance& advance) {
    QStringList lines;
    QString rest = text.trimmed();
    while (!rest.isEmpty()) {
        if (advance(rest) <= width) {
            lines.append(rest);
            break;
        }
        // The longest start that fits, at least one character.
        qsizetype fits = 1;
        while (fits < rest.size() && advance(rest.left(fits + 1)) <= width)
            ++fits;
        // Back to the last break inside it, when there is one.
        qsizetype cut = fits;
        for (qsizetype i = fits; i > 0; --i) {
            if (breaksAfter(rest.at(i - 1)) || (i < rest.size() && rest.at(i) == u' ')) {
                cut = i;
                break;
            }
        }
        lines.append(rest.left(cut).trimmed());
        rest = rest.mid(cut).trimmed();
    }
    return lines;
}

QStringList NameLines(const QString& decoder, const QString& row, int width,
                      const TextAdvance& advance) {
    return WrapText(decoder, width, advance) + WrapText(row, width, advance);
}

int RowHeightFor(int lines, int lineSpacing, int least) {
    return std::max(least, std::max(0, lines) * lineSpacing + 2);
}

} // namespace decodeview
