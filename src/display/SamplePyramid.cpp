#include "display/SamplePyramid.h"

#include <algorithm>

namespace {
constexpr int kFan = SamplePyramid::kFanOut;

int ceilDiv(int a, int b) {
    return a / b + (a % b != 0);
}

// The bit a span must show for its block to hold no cell other than `level`.
bool leaves(const SamplePyramid::Span& span, std::uint16_t mask, bool level) {
    return level ? (span.all & mask) == 0 : (span.any & mask) != 0;
}
} // namespace

int SamplePyramid::count(int level) const {
    return level < 0 ? cells_ : static_cast<int>(levels_[std::size_t(level)].size());
}

SamplePyramid::Span SamplePyramid::entry(const SampleBuffer& buffer, int level, int index) const {
    if (level < 0) {
        const std::uint16_t word = CellWord(buffer, index);
        return Span{word, word};
    }
    return levels_[std::size_t(level)][std::size_t(index)];
}

void SamplePyramid::Build(const SampleBuffer& buffer) {
    cells_ = buffer.Cells();
    levels_.clear();
    int entries = ceilDiv(cells_, kFan);
    while (entries > 0) {
        levels_.emplace_back(std::size_t(entries));
        if (entries == 1) break;
        entries = ceilDiv(entries, kFan);
    }
    for (int level = 0; level < Levels(); ++level)
        sumUp(buffer, level, 0, count(level));
}

bool SamplePyramid::Update(SampleBuffer& buffer) {
    const SampleBuffer::Changes changes = buffer.TakeChanges();
    if (changes.Reshaped || buffer.Cells() != cells_) {
        Build(buffer);
        return true;
    }
    if (changes.First >= changes.Last) return false;
    int first = changes.First;
    int last = changes.Last;
    for (int level = 0; level < Levels(); ++level) {
        first /= kFan;
        last = ceilDiv(last, kFan);
        sumUp(buffer, level, first, last);
    }
    return true;
}

void SamplePyramid::sumUp(const SampleBuffer& buffer, int level, int first, int last) {
    std::vector<Span>& out = levels_[std::size_t(level)];
    last = std::min(last, count(level));
    if (level == 0) {
        // The cells straight from the two planes: this loop is the whole cost
        // of building a pyramid over a fresh recording.
        const std::uint8_t* low = buffer.Bytes().data();
        const std::uint8_t* high = low + cells_;
        for (int block = first; block < last; ++block) {
            const int begin = block * kFan;
            const int end = std::min(begin + kFan, cells_);
            std::uint8_t allLow = 0xFF, anyLow = 0, allHigh = 0xFF, anyHigh = 0;
            for (int i = begin; i < end; ++i) {
                allLow &= low[i];
                anyLow |= low[i];
                allHigh &= high[i];
                anyHigh |= high[i];
            }
            out[std::size_t(block)] = Span{std::uint16_t(allLow | allHigh << 8),
                                           std::uint16_t(anyLow | anyHigh << 8)};
        }
        return;
    }
    const std::vector<Span>& below = levels_[std::size_t(level - 1)];
    const int belowCount = static_cast<int>(below.size());
    for (int block = first; block < last; ++block) {
        Span span;
        const int end = std::min((block + 1) * kFan, belowCount);
        for (int i = block * kFan; i < end; ++i)
            span.Add(below[std::size_t(i)]);
        out[std::size_t(block)] = span;
    }
}

SamplePyramid::Span SamplePyramid::Summary(const SampleBuffer& buffer, int first,
                                           int last) const {
    Span span;
    first = std::max(first, 0);
    last = std::min(last, cells_);
    // Take single entries at both ends until the range is whole blocks of the
    // level above, then continue there: at most 2 x 15 entries per level.
    for (int level = -1; first < last; ++level) {
        while (first < last && first % kFan != 0)
            span.Add(entry(buffer, level, first++));
        while (first < last && last % kFan != 0)
            span.Add(entry(buffer, level, --last));
        if (first >= last) break;
        first /= kFan;
        last /= kFan;
    }
    return span;
}

std::optional<int> SamplePyramid::NextChange(const SampleBuffer& buffer, int line, int cell) const {
    if (line < 0 || line > 15 || cell < 0 || cell >= cells_) return std::nullopt;
    const auto mask = std::uint16_t(1u << line);
    const bool level = (CellWord(buffer, cell) & mask) != 0;
    // Climb: walk right through the rest of each block; a walk that reaches
    // the next block boundary continues one level up, where one entry stands
    // for the whole block that follows.
    int at = -1;
    int index = cell + 1;
    while (true) {
        if (index >= count(at)) return std::nullopt;
        if (index % kFan == 0 && at + 1 < Levels()) {
            index /= kFan;
            ++at;
            continue;
        }
        if (leaves(entry(buffer, at, index), mask, level)) break;
        ++index;
    }
    // Descend into the first child that holds the other level, down to the cell.
    while (at >= 0) {
        const int end = std::min((index + 1) * kFan, count(at - 1));
        int child = index * kFan;
        while (child < end && !leaves(entry(buffer, at - 1, child), mask, level))
            ++child;
        index = child;
        --at;
    }
    return index;
}

std::optional<int> SamplePyramid::PreviousChange(const SampleBuffer& buffer, int line,
                                                 int cell) const {
    if (line < 0 || line > 15 || cell < 0 || cell >= cells_) return std::nullopt;
    const auto mask = std::uint16_t(1u << line);
    const bool level = (CellWord(buffer, cell) & mask) != 0;
    int at = -1;
    int index = cell - 1;
    while (true) {
        if (index < 0) return std::nullopt;
        if (index % kFan == kFan - 1 && at + 1 < Levels()) {
            index /= kFan;
            ++at;
            continue;
        }
        if (leaves(entry(buffer, at, index), mask, level)) break;
        --index;
    }
    while (at >= 0) {
        const int begin = index * kFan;
        int child = std::min((index + 1) * kFan, count(at - 1)) - 1;
        while (child > begin && !leaves(entry(buffer, at - 1, child), mask, level))
            --child;
        index = child;
        --at;
    }
    return index;
}
