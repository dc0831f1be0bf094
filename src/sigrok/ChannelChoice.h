#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sigrok {

// The buffer holds 16 lines; a file may have more channels.
inline constexpr int MaxImportLines = 16;

// Splits "D0,CLK,D16-D31" at the commas; empty parts are dropped.
std::vector<std::string> SplitChannelList(const std::string& text);

// The file channels the wanted names choose, as indexes into fileChannels in
// the order given. A name matches only exactly. A part "A-B" that is no
// channel's name is a range when A and B share a stem and end in numbers
// ("D16-D31", "bus[0]-bus[7]"), and chooses every channel from A to B whose
// name is the stem with a number in between (either direction). Throws
// sigrok::Error for a name the file does not have, a channel chosen twice or
// more than 16 channels. No wanted names: the first 16 channels.
std::vector<int> ChooseChannels(const std::vector<std::string>& wanted,
                                const std::vector<std::string>& fileChannels);

// The lines a recording keeps, from a list as --channels takes it ("D0,D2-D5")
// with the names of the source's lines (names[n] is line n, at most 16): one
// bit per line. Throws sigrok::Error as ChooseChannels does, and for a list
// that names no channel.
std::uint16_t ChooseLines(const std::string& text, const std::vector<std::string>& names);

} // namespace sigrok
