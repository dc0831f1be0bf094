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
        StoreSink sink;
        const bool whole =
            StreamDecoders(library, job_.stacks, span, job_.sampleRateHz, sink,
                           [this, &stop](std::uint64_t done, std::uint64_t total) {
                               progress_ = total ? double(done) / double(total) : 1.0;
                               return !stop.stop_requested();
                           });
        // The samples are no longer needed: their memory goes before sorting needs some.
        job_.planes = {};
        sink.store.cancelled = !whole;
        sink.store.Finish();
        const std::lock_guard lock(mutex_);
        result_ = std::move(sink.store);
    } catch (...) {
        const std::lock_guard lock(mutex_);
        error_ = std::current_exception();
    }
    finished_ = true;
}

AnnotationStore BackgroundDecode::TakeResult() {
    const std::lock_guard lock(mutex_);
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    if (!result_) throw DecodeError("Die Dekodierung ist noch nicht fertig.");
    AnnotationStore r = std::move(*result_);
    result_.reset();
    return r;
}

} // namespace sigrokdecode
