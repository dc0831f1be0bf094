#pragma once

#include <cstdint>
#include <optional>
#include <string>

// How long a capture is, as people write it on a command line or in a box.
namespace sampling {

// "500" (milliseconds, as sigrok-cli's --time), "250ms", "2s", "1,5s",
// "1.5 s", "800us"/"800µs": answers microseconds; nullopt for anything else,
// zero, or beyond a day.
std::optional<std::uint64_t> ParseDuration(const std::string& text);

// "10%", "10 %", "10": a share from 0 to 99 percent.
std::optional<int> ParsePercent(const std::string& text);

// The cells a duration takes at a rate, rounded up: 1 ms at 24 MHz is 24000.
std::uint64_t CellsForDuration(std::uint64_t rateHz, std::uint64_t microseconds);

} // namespace sampling
