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
}

void SampleBuffer::Load(const QByteArray& bytes) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    Load(std::vector<std::uint8_t>(first, first + bytes.size()));
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
