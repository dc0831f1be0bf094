#pragma once

#include "sigrok/decode/Annotations.h"
#include "sigrok/decode/DecodeSetup.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace sigrokdecode {

class Library;

// Samples in the two planes the program keeps: lines D00..D07 in `low`,
// D08..D15 in `high`, one byte per cell each.
struct SampleSpan {
    const std::uint8_t* low = nullptr;
    const std::uint8_t* high = nullptr;
    std::size_t cells = 0;
};

// Called after each block with the cells done so far; returning false stops
// the run, which then ends with the annotations so far and `cancelled` set.
using ProgressFn = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Runs all stacks side by side over the samples at the given rate. Blocks
// until done; call it off the GUI thread. Throws DecodeError when a decoder
// cannot start or fails (a Python exception), with the decoder's message.
DecodeResult RunDecoders(Library& library, const std::vector<ResolvedStack>& stacks, const SampleSpan& samples,
                         std::uint64_t sampleRateHz, const ProgressFn& progress = {});

// Cells handed to the library at once: small enough for a quick stop and
// smooth progress, large enough that the per-block cost does not count.
inline constexpr std::size_t kDecodeBlockCells = 1 << 16;

} // namespace sigrokdecode
