#include "display/OverviewImage.h"

#include "display/ViewNavigation.h"

#include <algorithm>

namespace trazor {

ColumnLevel columnLevel(const SamplePyramid::Span& span, int line) {
    if (span.Empty() || line < 0 || line > 15) return ColumnLevel::Nothing;
    const auto mask = std::uint16_t(1u << line);
    if (span.all & mask) return ColumnLevel::High;
    if (!(span.any & mask)) return ColumnLevel::Low;
    return ColumnLevel::Toggling;
}

TColor activityFill(TColor line, TColor background) {
    const QColor a = colors::toQColor(line), b = colors::toQColor(background);
    return colors::fromQColor(
        QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2));
}

int overviewRowHeight(int height, int digits) {
    return std::max(2, height / std::max(1, digits));
}

QImage renderOverview(const SampleBuffer& buffer, const SamplePyramid& pyramid,
                      const OverviewStyle& style) {
    QImage image(std::max(1, style.width), std::max(1, style.height), QImage::Format_RGB32);
    image.fill(colors::toQColor(style.background));
    if (style.width <= 0 || style.height <= 0) return image;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    auto pixel = [bits, stride](int x, int y) -> QRgb& {
        return reinterpret_cast<QRgb*>(bits + y * stride)[x];
    };
    const OverviewScale scale{pyramid.Cells(), style.width};
    const int digits = std::clamp(style.digits, 1, 16);
    const int rowHeight = overviewRowHeight(style.height, digits);
    // A one-pixel gap keeps neighbouring rows apart once they are tall enough.
    const int gap = rowHeight >= 4 ? 1 : 0;

    std::array<QRgb, 16> rgb{}, fill{};
    std::array<bool, 16> shown{};
    for (int line = 0; line < digits; ++line) {
        const TColor colour = style.lineColors[std::size_t(line)];
        rgb[std::size_t(line)] = colors::toQColor(colour).rgb();
        fill[std::size_t(line)] =
            colors::toQColor(activityFill(colour, style.background)).rgb();
        shown[std::size_t(line)] = style.lineColors[std::size_t(line)] != style.background;
    }

    for (int x = 0; x < style.width && scale.cells > 0; ++x) {
        const int first = scale.cellAt(x);
        // Every cell belongs to exactly one column; a column narrower than a
        // cell shows the cell under it.
        const int last = std::max(first + 1, x + 1 < style.width ? scale.cellAt(x + 1) : scale.cells);
        const SamplePyramid::Span span = pyramid.Summary(buffer, first, last);
        for (int line = 0; line < digits; ++line) {
            if (!shown[std::size_t(line)]) continue;
            const int top = line * rowHeight + gap;
            const int bottom = std::min((line + 1) * rowHeight - 1, style.height - 1);
            if (top > bottom) break;
            const QRgb full = rgb[std::size_t(line)];
            switch (columnLevel(span, line)) {
            case ColumnLevel::Nothing:
                break;
            case ColumnLevel::High:
                pixel(x, top) = full;
                break;
            case ColumnLevel::Low:
                pixel(x, bottom) = full;
                break;
            case ColumnLevel::Toggling:
                for (int y = top + 1; y < bottom; ++y)
                    pixel(x, y) = fill[std::size_t(line)];
                pixel(x, top) = full;
                pixel(x, bottom) = full;
                break;
            }
        }
    }
    return image;
}

} // namespace trazor
