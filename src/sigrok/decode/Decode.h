#pragma once

#include "sigrok/decode/Annotations.h"
#include "sigrok/decode/DecodeSetup.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace sigrokdecode {

class Library;

// Samples in the two planes the program keeps: lines D00..D07 in `low`,
// D08..D15 in `high`, one byte per cell each; or, when `words` is set, one
// 16-bit word per cell with line n in bit n.
struct SampleSpan {
    const std::uint8_t* low = nullptr;
    const std::uint8_t* high = nullptr;
    std::size_t cells = 0;
    const std::uint16_t* words = nullptr;
};

// Receives the annotations of a run as the decoders emit them: in the order
// each decoder finishes them, which is not the order of their start samples.
// Rows() and Add() are called with the run's lock held, from the decoders'
// threads; Done() on the caller's thread after each block, also under the lock.
class AnnotationSink {
  public:
    virtual ~AnnotationSink() = default;
    // Once, before the first annotation: every row the run can fill.
    virtual void Rows(const std::vector<AnnotationRow>& rows) = 0;
    virtual void Add(Annotation&& annotation) = 0;
    // The decoders have read every sample before `samples`.
    virtual void Done(std::uint64_t samples) { (void)samples; }
};

// Called after each block with the cells done so far; returning false stops
// the run, which then ends with the annotations so far and `cancelled` set.
using ProgressFn = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Runs all stacks side by side over the samples at the given rate. Blocks
// until done; call it off the GUI thread. Throws DecodeError when a decoder
// cannot start or fails (a Python exception), with the decoder's message.
DecodeResult RunDecoders(Library& library, const std::vector<ResolvedStack>& stacks, const SampleSpan& samples,
                         std::uint64_t sampleRateHz, const ProgressFn& progress = {});

// The same run, handing every annotation to `sink` as it comes instead of
// keeping them. Returns false when `progress` stopped the run.
bool StreamDecoders(Library& library, const std::vector<ResolvedStack>& stacks,
                    const SampleSpan& samples, std::uint64_t sampleRateHz, AnnotationSink& sink,
                    const ProgressFn& progress = {});

// One decoding session fed piece by piece, for samples that arrive as a file
// is read: memory stays one block whatever the length. Samples go to the
// library in blocks of kDecodeBlockCells however they are handed in, so the
// annotations and the calls of the sink's Done() do not depend on how the
// caller cuts them. Throws DecodeError like StreamDecoders.
class DecodeRun {
  public:
    DecodeRun(Library& library, const std::vector<ResolvedStack>& stacks,
              std::uint64_t sampleRateHz, AnnotationSink& sink);
    ~DecodeRun();
    DecodeRun(const DecodeRun&) = delete;
    DecodeRun& operator=(const DecodeRun&) = delete;

    // The next samples, one 16-bit word per cell with line n in bit n.
    void Send(const std::uint16_t* words, std::size_t cells);
    // Hands on the samples still held back. Send may not follow.
    void Finish();
    // Cells the decoders have read so far.
    std::uint64_t Decoded() const;

  private:
    struct Session;
    std::unique_ptr<Session> session_;
};

// Cells handed to the library at once: small enough for a quick stop and
// smooth progress, large enough that the per-block cost does not count.
inline constexpr std::size_t kDecodeBlockCells = 1 << 16;

} // namespace sigrokdecode
