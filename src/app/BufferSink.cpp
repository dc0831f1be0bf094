#include "BufferSink.h"

#include "display/TTrazor.h"

#include <algorithm>

std::uint64_t BufferSink::end() const {
    // A record-length command from the pumped events may shrink the buffer.
    return std::min<std::uint64_t>(cells_, std::uint64_t(trazor_.Option().CellsSize()));
}

std::size_t BufferSink::Write(std::uint64_t first, const std::uint16_t* words, std::size_t count) {
    const std::uint64_t last = end();
    if (first >= last) return 0;
    const std::size_t n = std::size_t(std::min<std::uint64_t>(count, last - first));
    return trazor_.WriteWords(int(first), words, n);
}

void BufferSink::EndAt(std::uint64_t cells) {
    const std::uint64_t last = end();
    for (std::uint64_t i = cells; i < last; ++i) {
        trazor_.SetCellLow(int(i), 0);
        trazor_.SetCellHigh(int(i), 0);
    }
}
