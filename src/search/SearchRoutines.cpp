#include "search/SearchRoutines.h"

#include <algorithm>

namespace search {

namespace {
constexpr int kLines = 16;
constexpr std::int32_t kScrollBarRange = 8192;

bool blockStarts(std::int64_t i) {
    return i % kBlockCells == 1;
}
} // namespace

int LineLevel(const CellReader& cells, std::int32_t index, int line) {
    const std::uint8_t byte = line < 8 ? cells.GetCellLow(index) : cells.GetCellHigh(index);
    return (byte >> (line % 8)) & 1;
}

std::optional<std::int32_t> FindEdge(const CellReader& cells, std::int32_t cellsPos,
                                     std::int32_t cellsSize, int line, int edge,
                                     const BlockCallback& onBlock) {
    if (line < 0 || line >= kLines || (edge != EdgeRising && edge != EdgeFalling))
        return std::nullopt;
    const int armingLevel = edge == EdgeRising ? 0 : 1;
    bool armed = false;
    for (std::int64_t i = std::int64_t{cellsPos} + 1; i < cellsSize; ++i) {
        if (onBlock && blockStarts(i)) onBlock();
        const int level = LineLevel(cells, static_cast<std::int32_t>(i), line);
        if (level == armingLevel)
            armed = true;
        else if (armed)
            return static_cast<std::int32_t>(i);
    }
    return std::nullopt;
}

std::optional<std::int32_t> FindNibble(const CellReader& cells, std::int32_t first,
                                       std::int32_t cellsSize, std::int32_t value, int byte,
                                       int kind, const BlockCallback& onBlock) {
    const bool choicesValid =
        (byte == ByteLow || byte == ByteHigh) && (kind == KindNibbleLo || kind == KindNibbleHi);
    const int shift = kind == KindNibbleHi ? 4 : 0;
    for (std::int64_t i = std::max<std::int64_t>(first, 0); i < cellsSize; ++i) {
        if (onBlock && blockStarts(i)) onBlock();
        if (!choicesValid) continue;
        const auto index = static_cast<std::int32_t>(i);
        const std::uint8_t b = byte == ByteLow ? cells.GetCellLow(index) : cells.GetCellHigh(index);
        if (((b >> shift) & 0x0F) == value) return index;
    }
    return std::nullopt;
}

int ScrollBarPosition(std::int32_t cellsPos, std::int32_t cellsSize) {
    // A buffer holds at least 8192 cells, so the factor is at least 1; the
    // guard keeps a smaller buffer from dividing by zero.
    const std::int32_t factor = std::max(cellsSize / kScrollBarRange, 1);
    return static_cast<int>(std::clamp(cellsPos / factor, 0, kScrollBarRange));
}

} // namespace search
