#pragma once

#include "display/SamplePyramid.h"
#include "display/ViewScale.h"
#include "sampling/TimeBase.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace trazor {

// A capture longer than the sample buffer, which lives in a file: the diagram
// shows it from a min/max summary that is built from the samples on their way
// to the file, and reads the cells at the ends of a range from the file. The
// summary starts at blocks of kBlock cells, so that it stays small (4 bytes per
// 256 cells, 16 MiB for 1 Gi cells); each level above sums up 16 entries.
class LongCapture {
  public:
    using Span = SamplePyramid::Span;
    // Reads cells first .. first+count-1 (all of them below Readable()).
    using Reader = std::function<void(std::uint64_t first, std::size_t count, std::uint16_t* out)>;
    static constexpr int kBlock = 256;
    static constexpr int kFan = 16;

    LongCapture(std::string path, Reader reader);

    // The samples in order as they go to the file.
    void Append(const std::uint16_t* words, std::size_t count);
    // How many of them the reader can give by now.
    void SetReadable(std::uint64_t cells) { readable_ = cells; }
    // The cells that can be shown: appended and readable.
    std::uint64_t Cells() const { return std::min(appended_, readable_); }

    // Cells first .. last-1, clipped to Cells(); an empty range gives an
    // empty span.
    Span Summary(std::uint64_t first, std::uint64_t last) const;
    // What each pixel column shows, as summarizeColumns does for the buffer;
    // columns past the end read as low.
    std::vector<Span> Columns(long long firstCell, const ViewScale& scale, int columns) const;
    // One cell, for the zoom steps that draw cell by cell; 0 past the end.
    std::uint16_t Word(std::uint64_t cell) const;

    const std::string& Path() const { return path_; }
    const sampling::TimeBase& GetTimeBase() const { return timeBase_; }
    void SetTimeBase(const sampling::TimeBase& timeBase) { timeBase_ = timeBase; }

  private:
    // Grown a piece at a time: a vector that doubles would copy megabytes at
    // once while the capture runs.
    using Level = std::deque<Span>;
    void closeBlock();
    // Adds the cells of [first, last), all within one block, from the file.
    void addCells(Span& span, std::uint64_t first, std::uint64_t last) const;

    std::string path_;
    Reader reader_;
    // levels_[0]: one entry per whole block; each further level one per 16.
    std::vector<Level> levels_;
    Span open_; // the block being filled
    std::uint64_t appended_ = 0;
    std::uint64_t readable_ = 0;
    sampling::TimeBase timeBase_;
    // The block last read: neighbouring columns meet inside the same block.
    mutable std::uint64_t cachedBlock_ = ~std::uint64_t{0};
    mutable std::vector<std::uint16_t> cache_;
};

} // namespace trazor
