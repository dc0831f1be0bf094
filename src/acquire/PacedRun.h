#pragma once

#include "acquire/SampleSource.h"
#include "sampling/MonotonicClock.h"
#include "sampling/PacedRecording.h"

#include <array>
#include <chrono>
#include <cstdint>

namespace acquire {

// The run of a source the program paces itself (port, board): one read() per
// period against absolute deadlines. Samples gather in a small block that
// goes to the sink whenever the caller gets control and when it is full, so
// that the loop itself only reads and stores. The time base is the measured
// one, stamped with the wall time of the start.
template <typename Read>
RunResult RunPaced(sampling::MonotonicClock& clock, std::int64_t periodNs, int lines,
                   std::uint64_t cells, SampleSink& sink, const RunControl& control, Read&& read) {
    std::array<std::uint16_t, 4096> block;
    std::size_t held = 0;
    std::uint64_t stored = 0;
    const auto flush = [&] {
        stored += sink.Write(stored, block.data(), held);
        held = 0;
    };
    const auto wallStart = std::chrono::system_clock::now();
    const sampling::PacedRun run = sampling::RecordPaced(
        clock, periodNs,
        [&](std::int64_t i) { return std::uint64_t(i) < cells && !control.Stopped(); }, read,
        [&](std::int64_t, std::uint16_t word) {
            block[held++] = word;
            if (held == block.size()) flush();
        },
        [&](std::int64_t, std::int64_t) {
            flush();
            if (control.progress) control.progress(stored);
        });
    flush();
    RunResult result;
    result.cells = stored;
    result.stopped = std::uint64_t(run.samples) < cells;
    result.lines = lines;
    result.timing = run.timing;
    result.timeBase = run.timing.ToTimeBase();
    result.timeBase.start = wallStart;
    return result;
}

} // namespace acquire
