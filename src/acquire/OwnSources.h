#pragma once

#include "acquire/SampleSource.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class Desktop;

namespace acquire {

// The program's own sources by the names a user types: the parallel ports
// LPT1/LPT2 and the K8055 boards with card addresses 1..4.
struct OwnSourceName {
    enum class Kind { Lpt, Board };
    Kind kind = Kind::Lpt;
    int number = 1; // LPT1/LPT2, board 1..4

    // "lpt1", "lpt2", "usb1".."usb4"; nullopt for anything else.
    static std::optional<OwnSourceName> Parse(const std::string& text);
    std::string Name() const;
    std::int64_t NominalPeriodNs() const;
    std::uint64_t NominalRateHz() const { return std::uint64_t(1'000'000'000 / NominalPeriodNs()); }
};

struct OwnSourceRequest {
    OwnSourceName name;
    bool simulate = false; // the simulated port and board the window uses with --simulate
    // A board library the user names, searched as the window does; empty: the program's own.
    std::string boardLibrary;
    // Where the program's board libraries lie (empty: beside the running program).
    std::string programDir;
};

// An opened source with the hardware it owns. A parallel port is programmed
// for input while it is open and stays so afterwards: as an output it would
// drive its data lines against the signals still connected, and nobody can
// confirm here that they were disconnected.
struct OpenedSource {
    std::unique_ptr<SampleSource> source; // null when it could not be opened
    std::string error;                    // German, why not
    std::string warning;                  // German; the source is usable
};

// Opens the port or board the way the window does on "Eingabe programmieren".
// `desktop` answers the hardware's boxes and sleeps the settling time; it
// must outlive the source.
OpenedSource OpenOwnSource(const OwnSourceRequest& request, Desktop& desktop);

} // namespace acquire
