#include "sigrok/DigPlanes.h"

#include <cstdio>

namespace sigrok {

std::string DefaultLineName(int line) {
    char name[8];
    std::snprintf(name, sizeof name, "D%02d", line);
    return name;
}

std::vector<std::uint16_t> SamplesFromPlanes(const std::vector<std::uint8_t>& stream) {
    const std::size_t cells = stream.size() / 2;
    std::vector<std::uint16_t> samples(cells);
    const std::uint8_t* low = stream.data();
    const std::uint8_t* high = stream.data() + cells;
    for (std::size_t i = 0; i < cells; ++i)
        samples[i] = static_cast<std::uint16_t>(low[i] | (high[i] << 8));
    return samples;
}

std::vector<std::uint8_t> PlanesFromSamples(const std::vector<std::uint16_t>& samples) {
    const std::size_t cells = samples.size();
    std::vector<std::uint8_t> stream(cells * 2);
    for (std::size_t i = 0; i < cells; ++i) {
        stream[i] = static_cast<std::uint8_t>(samples[i] & 0xFF);
        stream[cells + i] = static_cast<std::uint8_t>(samples[i] >> 8);
    }
    return stream;
}

} // namespace sigrok
