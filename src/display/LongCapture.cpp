#include "display/LongCapture.h"

#include <algorithm>

namespace trazor {

namespace {
// Up to this many cells on screen are read from the file at once and summed
// up directly: cheaper than a read per column once columns hold few cells.
constexpr std::uint64_t kReadWholeView = std::uint64_t{1} << 20;
} // namespace

LongCapture::LongCapture(std::string path, Reader reader)
    : path_(std::move(path)), reader_(std::move(reader)) {}

void LongCapture::Append(const std::uint16_t* words, std::size_t count) {
    while (count > 0) {
        const std::size_t n =
            std::min<std::size_t>(count, std::size_t(kBlock - appended_ % kBlock));
        std::uint16_t all = open_.all;
        std::uint16_t any = open_.any;
        for (std::size_t i = 0; i < n; ++i) {
            all &= words[i];
            any |= words[i];
        }
        open_ = Span{all, any};
        words += n;
        count -= n;
        appended_ += n;
        if (appended_ % kBlock == 0) closeBlock();
    }
}

void LongCapture::closeBlock() {
    // A whole block: it joins level 0 and every entry above that covers it;
    // a level that grows to a second entry gets a level above it.
    std::uint64_t index = appended_ / kBlock - 1;
    if (levels_.empty()) levels_.emplace_back();
    for (std::size_t level = 0;; ++level) {
        Level& entries = levels_[level];
        if (index == entries.size()) entries.emplace_back();
        entries[std::size_t(index)].Add(open_);
        index /= kFan;
        if (level + 1 < levels_.size()) continue;
        if (entries.size() > 1) {
            Level above((entries.size() + kFan - 1) / kFan);
            for (std::size_t j = 0; j < entries.size(); ++j)
                above[j / kFan].Add(entries[j]);
            levels_.push_back(std::move(above));
        }
        break;
    }
    open_ = Span{};
}

void LongCapture::addCells(Span& span, std::uint64_t first, std::uint64_t last) const {
    if (first >= last) return;
    const std::uint64_t block = first / kBlock;
    if (block != cachedBlock_) {
        const std::uint64_t begin = block * kBlock;
        cache_.resize(std::size_t(std::min<std::uint64_t>(kBlock, Cells() - begin)));
        reader_(begin, cache_.size(), cache_.data());
        cachedBlock_ = block;
    }
    const std::uint64_t begin = block * kBlock;
    for (std::uint64_t i = first; i < last && i - begin < cache_.size(); ++i)
        span.Add(cache_[std::size_t(i - begin)]);
}

std::uint16_t LongCapture::Word(std::uint64_t cell) const {
    if (cell >= Cells()) return 0;
    Span span;
    addCells(span, cell, cell + 1);
    return span.any;
}

LongCapture::Span LongCapture::Summary(std::uint64_t first, std::uint64_t last) const {
    Span span;
    last = std::min(last, Cells());
    if (first >= last) return span;
    // Whole blocks from the summary, the cells around them from the file.
    std::uint64_t b0 = (first + kBlock - 1) / kBlock;
    std::uint64_t b1 = last / kBlock;
    if (b0 >= b1) {
        for (std::uint64_t at = first; at < last; at = (at / kBlock + 1) * kBlock)
            addCells(span, at, std::min(last, (at / kBlock + 1) * kBlock));
        return span;
    }
    addCells(span, first, b0 * kBlock);
    addCells(span, b1 * kBlock, last);
    for (std::size_t level = 0; b0 < b1; ++level) {
        const Level& entries = levels_[level];
        if (level + 1 == levels_.size()) {
            for (std::uint64_t i = b0; i < b1; ++i)
                span.Add(entries[std::size_t(i)]);
            break;
        }
        while (b0 < b1 && b0 % kFan != 0)
            span.Add(entries[std::size_t(b0++)]);
        while (b0 < b1 && b1 % kFan != 0)
            span.Add(entries[std::size_t(--b1)]);
        b0 /= kFan;
        b1 /= kFan;
    }
    return span;
}

std::vector<LongCapture::Span> LongCapture::Columns(long long firstCell, const ViewScale& scale,
                                                    int columns) const {
    std::vector<Span> out(std::size_t(std::max(columns, 0)), Span{0, 0});
    const auto cells = static_cast<long long>(Cells());
    if (columns <= 0 || firstCell < 0 || firstCell >= cells) return out;
    const long long end = std::min(cells, firstCell + scale.cellsAt(columns - 1).last);
    std::vector<std::uint16_t> view;
    if (std::uint64_t(end - firstCell) <= kReadWholeView) {
        view.resize(std::size_t(end - firstCell));
        reader_(std::uint64_t(firstCell), view.size(), view.data());
    }
    for (int c = 0; c < columns; ++c) {
        const ViewScale::Range range = scale.cellsAt(c);
        const long long first = firstCell + range.first;
        const long long last = std::min(firstCell + range.last, end);
        if (first >= last) break;
        Span span;
        if (view.empty()) {
            span = Summary(std::uint64_t(first), std::uint64_t(last));
        } else {
            for (long long i = first; i < last; ++i)
                span.Add(view[std::size_t(i - firstCell)]);
        }
        out[std::size_t(c)] = span;
    }
    return out;
}

} // namespace trazor
