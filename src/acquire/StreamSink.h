#pragma once

#include "acquire/SampleSource.h"
#include "sigrok/SessionStream.h"

#include <functional>

namespace acquire {

// A run's cells straight into a session file as they come: memory holds one
// chunk, whatever the length of the capture. A watcher (the window's summary
// of the capture) sees every cell on its way.
class StreamSink final : public SampleSink {
  public:
    using Watcher = std::function<void(const std::uint16_t* words, std::size_t count)>;
    explicit StreamSink(sigrok::SessionStream& stream, Watcher watcher = {})
        : stream_(stream), watcher_(std::move(watcher)) {}
    // Cells come in order; a gap or a repeat cannot be mended in a file that
    // is already on the disk, so nothing of it is kept.
    std::size_t Write(std::uint64_t first, const std::uint16_t* words, std::size_t count) override {
        if (first != stream_.Samples()) return 0;
        stream_.Append(words, count);
        if (watcher_) watcher_(words, count);
        return count;
    }
    // Nothing lies beyond the last cell written.
    void EndAt(std::uint64_t) override {}

  private:
    sigrok::SessionStream& stream_;
    Watcher watcher_;
};

} // namespace acquire
