#pragma once

#include "sigrok/decode/AnnotationStore.h"
#include "sigrok/decode/DecodeSetup.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>
#include <utility>
#include <optional>
#include <thread>
#include <vector>

namespace sigrokdecode {

class Library;

// What a run decodes: its own copy of the samples (two planes, as the sample
// buffer keeps them), so the buffer may change while the run goes on.
struct DecodeJob {
    std::vector<ResolvedStack> stacks;
    std::vector<std::uint8_t> planes;
    std::uint64_t sampleRateHz = 0;
};

// One decoding run on a thread of its own. The owner polls Progress() and
// Finished() (from a timer) and takes the result once; nothing here calls
// back into the owner's thread. The destructor stops the run and waits for it.
class BackgroundDecode {
  public:
    BackgroundDecode(Library& library, DecodeJob job);
    ~BackgroundDecode();
    BackgroundDecode(const BackgroundDecode&) = delete;
    BackgroundDecode& operator=(const BackgroundDecode&) = delete;

    // Asks the run to stop after the current block; returns at once.
    void Cancel() { thread_.request_stop(); }
    // 0 .. 1
    double Progress() const { return progress_.load(); }
    bool Finished() const { return finished_.load(); }
    // Blocks until the run has ended (Finished() then holds); for callers
    // that need the result now rather than from a timer.
    void Wait() {
        if (thread_.joinable()) thread_.join();
    }
    // After Finished(): the annotations, sorted and indexed on the run's own
    // thread (so taking them costs the caller nothing), or the run's
    // DecodeError rethrown.
    AnnotationStore TakeResult();

  private:
    void Run(std::stop_token stop, Library& library);

    DecodeJob job_;
    std::atomic<double> progress_{0.0};
    std::atomic<bool> finished_{false};
    std::mutex mutex_;
    std::optional<AnnotationStore> result_;
    std::exception_ptr error_;
    std::jthread thread_; // last: starts after everything it uses exists
};

} // namespace sigrokdecode
