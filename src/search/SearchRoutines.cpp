#include "search/SearchRoutines.h"

#include <algorithm>

namespace search {

namespace {
constexpr int kLines = 16;
constexpr std::int32_t kScrollBarRange = 8192;

bool blockStarts(std::int64_t i) {
    return i % kBlockCells == 1;
}

// The block callbacks a cell-by-cell walk over first .. last-1 would make.
void blocksOver(std::int64_t first, std::int64_t last, const BlockCallback& onBlock) {
    if (!onBlock) return;
    std::int64_t i = first + ((1 - first) % kBlockCells + kBlockCells) % kBlockCells;
    for (; i < last; i += kBlockCells)
        onBlock();
}

// The summary of the whole summary block starting at i, if i starts one that
// lies inside the range and the reader keeps summaries.
std::optional<LineSpan> wholeBlock(const CellReader& cells, std::int64_t i, std::int32_t end) {
    if (i % kSummaryCells != 0 || i + kSummaryCells > end) return std::nullopt;
    return cells.Summary(static_cast<std::int32_t>(i), static_cast<std::int32_t>(i + kSummaryCells));
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
    const auto mask = std::uint16_t(1u << line);
    const int armingLevel = edge == EdgeRising ? 0 : 1;
    bool armed = false;
    for (std::int64_t i = std::int64_t{cellsPos} + 1; i < cellsSize;) {
        // A block where the line keeps one level is decided by that level alone.
        if (const auto span = wholeBlock(cells, i, cellsSize);
            span && ((span->all ^ span->any) & mask) == 0) {
            const int level = (span->any & mask) != 0;
            if (level != armingLevel && armed) {
                blocksOver(i, i + 1, onBlock);
                return static_cast<std::int32_t>(i);
            }
            armed = armed || level == armingLevel;
            blocksOver(i, i + kSummaryCells, onBlock);
            i += kSummaryCells;
            continue;
        }
        if (onBlock && blockStarts(i)) onBlock();
        const int level = LineLevel(cells, static_cast<std::int32_t>(i), line);
        if (level == armingLevel)
            armed = true;
        else if (armed)
            return static_cast<std::int32_t>(i);
        ++i;
    }
    return std::nullopt;
}

std::optional<std::int32_t> FindNibble(const CellReader& cells, std::int32_t first,
                                       std::int32_t cellsSize, std::int32_t value, int byte,
                                       int kind, const BlockCallback& onBlock) {
    const bool choicesValid =
        (byte == ByteLow || byte == ByteHigh) && (kind == KindNibbleLo || kind == KindNibbleHi);
    const std::int64_t begin = std::max<std::int64_t>(first, 0);
    if (!choicesValid || value < 0 || value > 15) {
        blocksOver(begin, cellsSize, onBlock);
        return std::nullopt;
    }
    const int shift = kind == KindNibbleHi ? 4 : 0;
    // The nibble's lines among all 16, and the levels the value asks of them.
    const int wordShift = shift + (byte == ByteHigh ? 8 : 0);
    const auto mask = std::uint16_t(0x0Fu << wordShift);
    const auto wanted = std::uint16_t(std::uint32_t(value) << wordShift);
    for (std::int64_t i = begin; i < cellsSize;) {
        // A block holds the value only if each of its high lines is high
        // somewhere there and each of its low lines low somewhere.
        if (const auto span = wholeBlock(cells, i, cellsSize);
            span && ((span->any & wanted) != wanted || (span->all & mask & ~wanted) != 0)) {
            blocksOver(i, i + kSummaryCells, onBlock);
            i += kSummaryCells;
            continue;
        }
        if (onBlock && blockStarts(i)) onBlock();
        const auto index = static_cast<std::int32_t>(i);
        const std::uint8_t b = byte == ByteLow ? cells.GetCellLow(index) : cells.GetCellHigh(index);
        if (((b >> shift) & 0x0F) == value) return index;
        ++i;
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
