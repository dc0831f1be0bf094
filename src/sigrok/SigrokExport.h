#pragma once

#include "sigrok/ExchangeFormat.h"
#include "sigrok/LogicFrames.h"

#include <cstdint>
#include <string>

namespace sigrok {

class Context;

// Writes the frames (all their lines, with their names and the rate of their
// time base) as a file of the given format through libsigrok's output module.
// The file appears complete or not at all: it is written beside the target
// under a temporary name and renamed over it; on an error (raised as Error)
// an existing file stays as it was.
void ExportFile(Context& context, const LogicFrames& frames, ExchangeFormat format,
                const std::string& path);

// The sample rate in whole hertz that the exchange formats store for a time
// base: exact where the period allows it, else the nearest (at least 1 Hz).
std::uint64_t ExportRateHz(const sampling::TimeBase& timeBase);

} // namespace sigrok
