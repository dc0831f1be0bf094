#pragma once

#include <cstdint>
#include <functional>
#include <optional>

// The search through the sample buffer, apart from the dialog: plain
// functions over the buffer's cell accessors.
namespace search {

// The search kinds of the dialog's " Globalparameter " group.
enum Kind : int { KindBits = 0, KindNibbleLo = 1, KindNibbleHi = 2, KindByte = 3, KindWord = 4 };
// The edges of " Flanke " and the bytes of " Nibbel,Byte ".
enum Edge : int { EdgeRising = 0, EdgeFalling = 1 };
enum ByteChoice : int { ByteLow = 0, ByteHigh = 1 };

// The 16 lines of a range of cells at once (bit n is line n): which lines
// are high in every cell and which in at least one.
struct LineSpan {
    std::uint16_t all = 0xFFFF;
    std::uint16_t any = 0;
};

// Read access to the sample buffer; cells outside the buffer read as 0.
class CellReader {
  public:
    virtual ~CellReader() = default;
    virtual std::uint8_t GetCellLow(std::int32_t index) const = 0;
    virtual std::uint8_t GetCellHigh(std::int32_t index) const = 0;
    // The summary of cells first .. last-1, where the reader keeps one that
    // answers without reading every cell; the searches then step over ranges
    // that cannot hold a hit. Without one (nullopt) they read cell by cell.
    virtual std::optional<LineSpan> Summary(std::int32_t /*first*/, std::int32_t /*last*/) const {
        return std::nullopt;
    }
};

// Cells the searches ask a summary for at once, at multiples of it.
constexpr std::int32_t kSummaryCells = 4096;

// Cells between two calls of the block callback: the searches call it at
// every cell i with i mod kBlockCells = 1, to move a progress bar and let
// pending events run without slowing the per-cell loop.
constexpr std::int32_t kBlockCells = 10240;
using BlockCallback = std::function<void()>;

// The level (0 or 1) of line 0..15 in cell index.
int LineLevel(const CellReader& cells, std::int32_t index, int line);

// The first cell after cellsPos (up to cellsSize - 1) where line shows edge,
// having first seen the opposite level after cellsPos. A line or edge outside
// the choices never hits.
std::optional<std::int32_t> FindEdge(const CellReader& cells, std::int32_t cellsPos,
                                     std::int32_t cellsSize, int line, int edge,
                                     const BlockCallback& onBlock = {});

// The first cell from first (up to cellsSize - 1) whose chosen byte has
// value in the nibble of kind (KindNibbleLo: bits 0..3, KindNibbleHi: 4..7).
// A value outside 0..15, or a byte or kind outside the choices, never hits.
std::optional<std::int32_t> FindNibble(const CellReader& cells, std::int32_t first,
                                       std::int32_t cellsSize, std::int32_t value, int byte,
                                       int kind, const BlockCallback& onBlock = {});

// The scroll bar position (range 0..8192) that shows cellsPos.
int ScrollBarPosition(std::int32_t cellsPos, std::int32_t cellsSize);

} // namespace search
