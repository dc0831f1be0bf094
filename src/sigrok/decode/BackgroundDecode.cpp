#include "sigrok/decode/BackgroundDecode.h"

#include "sigrok/decode/Decode.h"
#include "sigrok/decode/DecodeError.h"

namespace sigrokdecode {

BackgroundDecode::BackgroundDecode(Library& library, DecodeJob job)
    : job_(std::move(job)),
      thread_([this, &library](std::stop_token stop) { Run(stop, library); }) {}

BackgroundDecode::~BackgroundDecode() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
}

void BackgroundDecode::Run(std::stop_token stop, Library& library) {
    try {
        StoreSink sink;
        bool whole = false;
        {
            // Taken out of the job, so that the samples' memory goes before
            // sorting needs some, also when the decoder fails; and on this
            // thread, since giving back a long capture takes milliseconds.
            const std::vector<std::uint8_t> planes = std::move(job_.planes);
            const std::size_t cells = planes.size() / 2;
            const SampleSpan span{planes.data(), planes.data() + cells, cells};
            whole = StreamDecoders(library, job_.stacks, span, job_.sampleRateHz, sink,
                                   [this, &stop](std::uint64_t done, std::uint64_t total) {
                                       progress_ = total ? double(done) / double(total) : 1.0;
                                       return !stop.stop_requested();
                                   });
        }
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
