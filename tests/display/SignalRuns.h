#pragma once

#include "display/SampleBuffer.h"

#include <optional>
#include <utility>
#include <vector>

// Small buffers described by the runs of one line: {level, length} pairs
// from cell 0 on. Other lines stay low unless a test sets them.
inline SampleBuffer bufferFromRuns(int line, const std::vector<std::pair<bool, int>>& runs) {
    int cells = 0;
    for (const auto& run : runs)
        cells += run.second;
    SampleBuffer buffer;
    buffer.Resize(std::size_t(cells));
    int cell = 0;
    const auto mask = std::uint8_t(1u << (line % 8));
    for (const auto& [high, length] : runs) {
        for (int i = 0; i < length; ++i, ++cell) {
            if (!high) continue;
            if (line < 8)
                buffer.SetCellLow(cell, std::uint8_t(buffer.GetCellLow(cell) | mask));
            else
                buffer.SetCellHigh(cell, std::uint8_t(buffer.GetCellHigh(cell) | mask));
        }
    }
    return buffer;
}

// The answers the pyramid must give, found cell by cell in two passes:
// next[c] and previous[c] for every cell of one line.
struct SlowChanges {
    std::vector<std::optional<int>> next, previous;
};
inline SlowChanges slowChanges(const SampleBuffer& b, int line) {
    const int n = b.Cells();
    SlowChanges out{std::vector<std::optional<int>>(std::size_t(n)),
                    std::vector<std::optional<int>>(std::size_t(n))};
    for (int c = n - 2; c >= 0; --c)
        out.next[std::size_t(c)] =
            b.Bit(c + 1, line) != b.Bit(c, line) ? std::optional<int>(c + 1) : out.next[std::size_t(c + 1)];
    for (int c = 1; c < n; ++c)
        out.previous[std::size_t(c)] =
            b.Bit(c - 1, line) != b.Bit(c, line) ? std::optional<int>(c - 1) : out.previous[std::size_t(c - 1)];
    return out;
}
