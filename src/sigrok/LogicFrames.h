#pragma once

#include "sampling/TimeBase.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sigrok {

// Samples of up to 16 logic lines in the shape every exchange format shares:
// one 16-bit word per sample with line n in bit n, the line names (UTF-8, one
// per line in use) and the time base of the samples.
struct LogicFrames {
    std::vector<std::string> names;
    std::vector<std::uint16_t> samples;
    sampling::TimeBase timeBase;

    int Lines() const { return static_cast<int>(names.size()); }
    bool operator==(const LogicFrames&) const = default;
};

// "D00".."D15": the names of lines that have none of their own.
std::string DefaultLineName(int line);

} // namespace sigrok
