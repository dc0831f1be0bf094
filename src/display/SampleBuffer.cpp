#include "display/SampleBuffer.h"

#include <algorithm>

void SampleBuffer::Clear() {
    std::fill(bytes_.begin(), bytes_.end(), std::uint8_t{0});
    noteReshaped();
}

void SampleBuffer::Resize(std::size_t cells) {
    bytes_.assign(2 * cells, 0);
    half_ = bytes_.size() / 2;
    noteReshaped();
}

void SampleBuffer::Load(std::vector<std::uint8_t> bytes) {
    bytes_ = std::move(bytes);
    half_ = bytes_.size() / 2;
    noteReshaped();
    timeBase_ = sampling::TimeBase::Nominal();
    triggerCell_.reset();
}

std::vector<std::uint8_t> SampleBuffer::TakeBytes() {
    std::vector<std::uint8_t> bytes = std::move(bytes_);
    Load(std::vector<std::uint8_t>{});
    return bytes;
}

void SampleBuffer::Load(const QByteArray& bytes) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    Load(std::vector<std::uint8_t>(first, first + bytes.size()));
}

std::size_t SampleBuffer::WriteWords(int first, const std::uint16_t* words, std::size_t count) {
    if (first < 0 || static_cast<std::size_t>(first) >= half_) return 0;
    const std::size_t n = std::min(count, half_ - static_cast<std::size_t>(first));
    std::uint8_t* low = bytes_.data() + first;
    std::uint8_t* high = low + half_;
    for (std::size_t i = 0; i < n; ++i) {
        low[i] = static_cast<std::uint8_t>(words[i]);
        high[i] = static_cast<std::uint8_t>(words[i] >> 8);
    }
    if (n > 0) {
        noteChanged(first);
        noteChanged(first + static_cast<int>(n) - 1);
    }
    return n;
}

void SampleBuffer::noteReshaped() {
    reshaped_ = true;
    changedFirst_ = 0;
    changedLast_ = 0;
}

SampleBuffer::Changes SampleBuffer::TakeChanges() {
    const Changes changes{reshaped_, changedFirst_, changedLast_};
    reshaped_ = false;
    // An empty range that any write widens: First above every cell, Last below.
    changedFirst_ = Cells();
    changedLast_ = 0;
    return changes;
}
