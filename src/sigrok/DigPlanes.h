#pragma once

#include "sigrok/LogicFrames.h"

#include <cstdint>
#include <vector>

namespace sigrok {

// A recording file's byte stream is two planes (lines D00..D07, then D08..D15),
// each half the stream long. These turn it into one word per sample and back.
// A trailing odd byte belongs to no cell and is dropped, as the display does.
std::vector<std::uint16_t> SamplesFromPlanes(const std::vector<std::uint8_t>& stream);
std::vector<std::uint8_t> PlanesFromSamples(const std::vector<std::uint16_t>& samples);

} // namespace sigrok
