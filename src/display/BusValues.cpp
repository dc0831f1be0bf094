#include "display/BusValues.h"

#include "display/ColumnSummary.h"

#include <QStringList>
#include <array>

namespace trazor {

namespace {
constexpr int kLines = 16;
}

std::uint32_t busValue(std::uint16_t sample, const std::vector<int>& linesMsbFirst) {
    std::uint32_t value = 0;
    for (const int line : linesMsbFirst)
        value = (value << 1) | ((line >= 0 && line < kLines && (sample >> line) & 1u) ? 1u : 0u);
    return value;
}

QString busHex(std::uint32_t value, int bitCount) {
    const int digits = std::max(1, (bitCount + 3) / 4);
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

std::vector<BusSegment> busSegments(const std::vector<SamplePyramid::Span>& columns,
                                    const std::vector<int>& linesMsbFirst) {
    std::uint16_t mask = 0;
    for (const int line : linesMsbFirst)
        if (line >= 0 && line < kLines) mask = std::uint16_t(mask | (1u << line));
    std::vector<BusSegment> segments;
    for (int c = 0; c < int(columns.size()); ++c) {
        const SamplePyramid::Span& span = columns[std::size_t(c)];
        // A line toggles in the column where some cell has it and another not.
        const bool changes = ((span.any & ~span.all) & mask) != 0;
        std::optional<std::uint32_t> value;
        if (!changes) value = busValue(span.all, linesMsbFirst);
        if (!segments.empty() && segments.back().value == value && segments.back().end == c)
            segments.back().end = c + 1;
        else
            segments.push_back({c, c + 1, value});
    }
    return segments;
}

QString linesText(const std::vector<int>& linesMsbFirst) {
    QStringList parts;
    for (const int line : linesMsbFirst)
        parts << QString::number(line);
    return parts.join(QLatin1Char(','));
}

std::optional<std::vector<int>> parseLines(const QString& text) {
    std::vector<int> lines;
    std::array<bool, kLines> used{};
    const auto take = [&](int line) {
        if (line < 0 || line >= kLines || used[std::size_t(line)]) return false;
        used[std::size_t(line)] = true;
        lines.push_back(line);
        return true;
    };
    const auto number = [](const QString& part, int* out) {
        bool ok = false;
        *out = part.trimmed().toInt(&ok);
        return ok;
    };
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (part.trimmed().isEmpty()) continue;
        const QStringList range = part.split(QLatin1Char('-'));
        int from = 0;
        int to = 0;
        if (range.size() == 1) {
            if (!number(range[0], &from) || !take(from)) return std::nullopt;
        } else if (range.size() == 2 && number(range[0], &from) && number(range[1], &to)) {
            const int step = from <= to ? 1 : -1;
            for (int line = from;; line += step) {
                if (!take(line)) return std::nullopt;
                if (line == to) break;
            }
        } else {
            return std::nullopt;
        }
    }
    if (lines.empty()) return std::nullopt;
    return lines;
}

} // namespace trazor
