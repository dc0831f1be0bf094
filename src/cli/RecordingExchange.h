#pragma once

#include "sigrok/LogicFrames.h"

#include <cstddef>
#include <string>

namespace sigrok {
class Context;
}

namespace cli {

// Reads or writes a recording in any format Spurwerk knows, chosen by the
// extension: .DIG natively (all 16 lines D00..D15 at the nominal 10 us),
// .sr, .vcd and .csv through libsigrok. Errors raise exceptions whose what()
// is a German message.
bool KnownRecordingExtension(const std::string& path);
sigrok::LogicFrames ReadRecording(sigrok::Context& context, const std::string& path);
void WriteRecording(sigrok::Context& context, const sigrok::LogicFrames& frames,
                    const std::string& path);

// The longest recording read from another format: as many samples as the
// largest recording file holds.
std::size_t MaxConvertSamples();

} // namespace cli
