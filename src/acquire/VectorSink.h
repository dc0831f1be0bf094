#pragma once

#include "acquire/SampleSource.h"

#include <cstdint>
#include <vector>

namespace acquire {

// A growing vector of words: a run's cells in order, nothing after the last.
class VectorSink final : public SampleSink {
  public:
    explicit VectorSink(std::vector<std::uint16_t>& words) : words_(words) {}
    std::size_t Write(std::uint64_t first, const std::uint16_t* words, std::size_t count) override {
        if (first != words_.size()) words_.resize(std::size_t(first));
        words_.insert(words_.end(), words, words + count);
        return count;
    }
    void EndAt(std::uint64_t cells) override {
        if (cells < words_.size()) words_.resize(std::size_t(cells));
    }

  private:
    std::vector<std::uint16_t>& words_;
};

} // namespace acquire
