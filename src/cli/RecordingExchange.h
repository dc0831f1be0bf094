#pragma once

#include "sigrok/LogicFrames.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sigrok {
class Context;
}

namespace cli {

// Reads or writes a recording in any format Spurwerk knows, chosen by the
// extension: .DIG natively (all 16 lines D00..D15 at the nominal 10 us),
// .sr, .vcd and .csv through libsigrok. Errors raise exceptions whose what()
// is a German message.
bool KnownRecordingExtension(const std::string& path);

// What the command line says about the input: --channels and --samplerate.
struct InputChoice {
    std::vector<std::string> channels;   // names or ranges; empty: the first 16
    std::optional<std::uint64_t> rateHz; // for an input that gives no rate
};

// A recording read, and what the user should hear about it on standard error:
// dropped channels, an assumed rate, skipped variables.
struct InputRecording {
    sigrok::LogicFrames frames;
    std::vector<std::string> warnings;
    // The file's channels that are not among the lines.
    std::vector<std::string> dropped;
};

InputRecording ReadRecording(sigrok::Context& context, const std::string& path,
                             const InputChoice& choice);
sigrok::LogicFrames ReadRecording(sigrok::Context& context, const std::string& path);

// Takes a recording block by block as it is read (see StreamRecording).
class RecordingReceiver {
  public:
    virtual ~RecordingReceiver() = default;
    // Once, before any samples: the recording without its samples, with the
    // warnings known so far.
    virtual void Begin(InputRecording&& head) = 0;
    // The next samples, one word per sample with line n in bit n.
    virtual void Take(const std::uint16_t* words, std::size_t count) = 0;
};

// Reads like ReadRecording but hands the samples to `receiver` as they are
// read, so that a recording of any length (no limit to the buffer's 64 Mi)
// takes one block of memory; an exception thrown by the receiver ends the
// reading and comes out of here. Returns the warnings that only came up after
// Begin (undefined values of a VCD).
std::vector<std::string> StreamRecording(sigrok::Context& context, const std::string& path,
                                         const InputChoice& choice, RecordingReceiver& receiver);

// Reads the values of --channels and --samplerate that follow args[i] (as
// "--channels A,B" or "--channels=A,B"), moving i past them. Returns false
// when args[i] is neither; throws std::invalid_argument with a German message
// for a missing or unreadable value.
bool ReadInputOption(const std::vector<std::string>& args, std::size_t& i, InputChoice& choice);
void WriteRecording(sigrok::Context& context, const sigrok::LogicFrames& frames,
                    const std::string& path);

// The longest recording read from another format: as many samples as the
// largest recording file holds.
std::size_t MaxConvertSamples();

} // namespace cli
