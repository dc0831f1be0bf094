#pragma once

#include "sigrok/ExchangeFormat.h"
#include "sigrok/LogicFrames.h"

#include <cstddef>
#include <string>

namespace sigrok {

class Context;

struct ImportResult {
    // The first 16 logic channels with their names, at most maxSamples samples,
    // and the file's sample rate as an exact time base (the nominal one when
    // the file gives none).
    LogicFrames frames;
    // True when the file holds more samples than were taken.
    bool cut = false;
};

// Reads a file of the given format through libsigrok. A file that libsigrok
// cannot read, that is no regular file or that has no logic channel raises
// Error. Reading stops soon after maxSamples, so an overlong file costs little.
ImportResult ImportFile(Context& context, ExchangeFormat format, const std::string& path,
                        std::size_t maxSamples);

} // namespace sigrok
