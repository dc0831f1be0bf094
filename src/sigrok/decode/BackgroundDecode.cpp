#include "sigrok/decode/BackgroundDecode.h"

#include "sigrok/decode/Decode.h"
#include "sigrok/decode/DecodeError.h"

namespace sigrokdecode {

BackgroundDecode::BackgroundDecode(Library& library, DecodeJob job)
    : job_(std::move(job)), thread_([this, &library](std::stop_token stop) { Run(stop, library); }) {}

BackgroundDecode::~BackgroundDecode() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
}

void BackgroundDecode::Run(std::stop_token stop, Library& library) {
    try {
        const std::size_t cells = job_.planes.size() / 2;
        const SampleSpan span{job_.planes.data(), job_.planes.data() + cells, cells};
        auto result = RunDecoders(library, job_.stacks, span, job_.sampleRateHz,
                                  [this, &stop](std::uint64_t done, std::uint64_t total) {
                                      progress_ = total ? double(done) / double(total) : 1.0;
                                      return !stop.stop_requested();
                                  });
        const std::lock_guard lock(mutex_);
        result_ = std::move(result);
    } catch (...) {
        const std::lock_guard lock(mutex_);
        error_ = std::current_exception();
    }
    finished_ = true;
}

DecodeResult BackgroundDecode::TakeResult() {
    const std::lock_guard lock(mutex_);
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    if (!result_) throw DecodeError("Die Dekodierung ist noch nicht fertig.");
    DecodeResult r = std::move(*result_);
    result_.reset();
    return r;
}

} // namespace sigrokdecode
