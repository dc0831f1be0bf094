#pragma once

#include "sigrok/decode/DecoderInfo.h"

#include <string>
#include <utility>
#include <vector>

// The user's decoder set-up as text, and its check against the library's
// decoders and the buffer's lines. One text form serves the command line and
// the settings file:
//   "uart:rx=D00:baudrate=9600"            one decoder, a channel and an option
//   "i2c:scl=D00:sda=D01,eeprom24xx"       a stack: each next decoder reads the one before
namespace sigrokdecode {

struct DecoderSetup {
    std::string id;
    // name=value pairs in the order given; names are channel or option ids.
    std::vector<std::pair<std::string, std::string>> settings;

    bool operator==(const DecoderSetup&) const = default;
};

// Bottom decoder first.
using DecoderStack = std::vector<DecoderSetup>;

// Throws DecodeError on an empty decoder name or a setting without "=".
DecoderStack ParseStack(const std::string& text);
std::string StackText(const DecoderStack& stack);

// A decoder of a stack checked and with its lines found.
struct ResolvedDecoder {
    const DecoderInfo* info = nullptr;
    std::vector<std::pair<std::string, int>> channels; // channel id, line 0..15
    std::vector<std::pair<std::string, OptionValue>> options;
};
using ResolvedStack = std::vector<ResolvedDecoder>;

// How a channel setting names a line. The window offers D00..D15 beside the
// user's names; a file on the command line has only its own channel names,
// so "D1" must not fall back to line 1 there.
enum class LineNaming { NamesOrNumbers, ExactNames };

// The line a text names: one of the line names (index = line) or, with
// NamesOrNumbers, "D00".."D15" (also "d3", "D3"); -1 when it names none.
// `lineNames` has one entry (maybe empty) per line the samples hold, at most 16.
int FindLine(const std::string& text, const std::vector<std::string>& lineNames,
             LineNaming naming = LineNaming::NamesOrNumbers);

// Checks every name, value and stacking rule; throws DecodeError with a German
// message naming the decoder and what is wrong.
ResolvedStack Resolve(const DecoderStack& stack, const Catalogue& catalogue,
                      const std::vector<std::string>& lineNames,
                      LineNaming naming = LineNaming::NamesOrNumbers);

} // namespace sigrokdecode
