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

int overviewRowHeight(int height, int digits) {
    return std::max(2, height / std::max(1, digits));
}

QImage renderOverview(const SampleBuffer& buffer, const SamplePyramid& pyramid,
                      const OverviewStyle& style) {
    QImage image(std::max(1, style.width), std::max(1, style.height), QImage::Format_RGB32);
    image.fill(colors::toQColor(style.background));
    if (style.width <= 0 || style.height <= 0) return image;
    const OverviewScale scale{pyramid.Cells(), style.width};
    const int digits = std::clamp(style.digits, 1, 16);
    const int rowHeight = overviewRowHeight(style.height, digits);
    // A one-pixel gap keeps neighbouring rows apart once they are tall enough.
    const int gap = rowHeight >= 4 ? 1 : 0;

    std::array<QRgb, 16> rgb{};
    std::array<bool, 16> shown{};
    for (int line = 0; line < digits; ++line) {
        rgb[std::size_t(line)] = colors::toQColor(style.lineColors[std::size_t(line)]).rgb();
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
            int from = top, to = top;
            switch (columnLevel(span, line)) {
            case ColumnLevel::Nothing:
                continue;
            case ColumnLevel::High:
                break;
            case ColumnLevel::Low:
                from = to = bottom;
                break;
            case ColumnLevel::Toggling:
                to = bottom;
                break;
            }
            for (int y = from; y <= to; ++y)
                reinterpret_cast<QRgb*>(image.scanLine(y))[x] = rgb[std::size_t(line)];
        }
    }
    return image;
}

} // namespace trazor
