#pragma once

#include "sigrok/ExchangeFormat.h"
#include "sigrok/LogicFrames.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sigrok {

class Context;

// Lines of the buffer that belong to one vector of the file (a VCD "reg [7:0]
// bus"), most significant bit first, so that the diagram can show them as a bus.
struct LineGroup {
    std::string name; // "bus"
    std::vector<int> lines;

    bool operator==(const LineGroup&) const = default;
};

struct ImportOptions {
    // Reading stops soon after this many samples.
    std::size_t maxSamples = 0;
    // The file's channels to take, in the order of the buffer's lines: names as
    // the file has them, or ranges "D16-D31" (see ChooseChannels). Empty: the
    // first 16 logic channels.
    std::vector<std::string> channels;
};

struct ImportResult {
    // At most 16 logic channels with their names, at most maxSamples samples,
    // and the file's sample rate as an exact time base (TimeBase::Nominal(),
    // which is not Known(), when the file gives none).
    LogicFrames frames;
    // True when the file holds more samples than were taken.
    bool cut = false;
    // Every logic channel of the file, in the file's order.
    std::vector<std::string> fileChannels;
    // For each line of `frames`: its index in fileChannels.
    std::vector<int> taken;
    // Vectors of the file whose bits became lines.
    std::vector<LineGroup> buses;
    // What was read in a way of its own or left out (German sentences): skipped
    // variables, undefined values read as 0.
    std::vector<std::string> notes;

    // The file's channels that are not in the buffer.
    std::vector<std::string> Dropped() const;
};

// Reads a file of the given format: VCD with the program's own reader (see
// VcdReader.h), session files and CSV through libsigrok. A file that cannot be
// read, that is no regular file or that has no logic channel raises Error, and
// so do channel names in options.channels that the file does not have.
ImportResult ImportFile(Context& context, ExchangeFormat format, const std::string& path,
                        const ImportOptions& options);
ImportResult ImportFile(Context& context, ExchangeFormat format, const std::string& path,
                        std::size_t maxSamples);

// Takes a file's samples block by block as they are read, so that reading a
// file of any length holds one block of it.
class SampleReceiver {
  public:
    virtual ~SampleReceiver() = default;
    // Once, before any samples (also for a file without samples): the file's
    // channels, the lines taken, the rate and the notes known from its head;
    // frames.samples is empty.
    virtual void Begin(const ImportResult& head) = 0;
    // The next samples, one word per sample with line n in bit n.
    virtual void Take(const std::uint16_t* words, std::size_t count) = 0;
};

// Reads like ImportFile, but hands every sample to `receiver` instead of
// keeping it, however many there are (options.maxSamples does not apply).
// Returns what ImportFile returns, without samples; its notes may name more
// than Begin saw (undefined values show only as they come).
ImportResult StreamFile(Context& context, ExchangeFormat format, const std::string& path,
                        const ImportOptions& options, SampleReceiver& receiver);

} // namespace sigrok
