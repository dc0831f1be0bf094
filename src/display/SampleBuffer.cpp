#include "display/SampleBuffer.h"

#include <algorithm>

void SampleBuffer::Clear() {
    std::fill(bytes_.begin(), bytes_.end(), std::uint8_t{0});
}

void SampleBuffer::Resize(std::size_t cells) {
    bytes_.assign(2 * cells, 0);
    half_ = bytes_.size() / 2;
}

void SampleBuffer::Load(std::vector<std::uint8_t> bytes) {
    bytes_ = std::move(bytes);
    half_ = bytes_.size() / 2;
    timeBase_ = sampling::TimeBase::Nominal();
}

void SampleBuffer::Load(const QByteArray& bytes) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    Load(std::vector<std::uint8_t>(first, first + bytes.size()));
}
