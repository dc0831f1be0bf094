#pragma once

#include "acquire/SampleSource.h"

class TTrazor;

// The display's sample buffer as the place a run writes to: from cell 0 up to
// its length; the cells after the last one taken are zeroed, the buffer keeps
// its length.
class BufferSink final : public acquire::SampleSink {
  public:
    // `cells` bounds the run's cells (a live burst writes only its first ones).
    BufferSink(TTrazor& trazor, std::uint64_t cells) : trazor_(trazor), cells_(cells) {}
    std::size_t Write(std::uint64_t first, const std::uint16_t* words, std::size_t count) override;
    void EndAt(std::uint64_t cells) override;

  private:
    std::uint64_t end() const;

    TTrazor& trazor_;
    std::uint64_t cells_;
};
