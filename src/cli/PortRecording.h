#pragma once

#include "sampling/RunTiming.h"
#include "sigrok/LogicFrames.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace cli {

// The program's own sources: the parallel ports LPT1/LPT2 and the K8055
// boards with card addresses 1..4.
struct PortSource {
    enum class Kind { Lpt, Board };
    Kind kind = Kind::Lpt;
    int number = 1; // LPT1/LPT2, board 1..4

    // "lpt1", "lpt2", "usb1".."usb4"; nullopt for anything else.
    static std::optional<PortSource> Parse(const std::string& text);
    std::string Name() const;
    // One sample per 10 us from the port, per 10 ms from the board, as in the window.
    std::int64_t NominalPeriodNs() const;
    std::uint64_t NominalRateHz() const { return std::uint64_t(1'000'000'000 / NominalPeriodNs()); }
};

// As many samples as the window's buffer holds at most.
constexpr std::uint64_t MaxPortSamples = 0x100000;

struct PortRecordingRequest {
    PortSource source;
    std::uint64_t samples = 0;
    bool simulate = false; // the simulated port and board the window uses with --simulate
    // A board library the user names, searched as the window does; empty: the program's own.
    std::string boardLibrary;
    // Where the program's board libraries lie (empty: beside the running program).
    std::string programDir;
};

struct PortRecording {
    sigrok::LogicFrames frames; // D00..D11 from the port, D00..D04 from the board
    std::optional<sampling::RunTiming> timing;
    bool stoppedEarly = false;
    std::string error;   // German; empty when the source could be used
    std::string warning; // German; the recording went ahead
};

// Opens the source, prepares it as the window does before a recording, takes
// up to request.samples samples paced by its nominal period (time base: the
// measured one, as the window's), ends the run as the window does and lets the
// source go (a parallel port stays programmed for input). `stop` ends the run early, keeping what was taken;
// progress(samples) runs about every 100 ms.
PortRecording RecordFromPort(const PortRecordingRequest& request, const std::atomic<bool>& stop,
                             const std::function<void(std::uint64_t)>& progress);

} // namespace cli
