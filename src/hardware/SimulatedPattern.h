#pragma once

#include <cstdint>

// The input signals of the simulated parallel port, as a pure function of the
// sample number n (0, 1, 2, ...), so that a test can predict every sample.
//
// Data lines (what the data register reads while control bit 5 is 1):
//   bits 0..3  a counter: the low four bits of n
//   bit 4      square wave, period 50 samples   (25 low, then 25 high)
//   bit 5      square wave, period 200 samples
//   bit 6      square wave, period 1000 samples
//   bit 7      square wave, period 5000 samples
// Status register:
//   bit 4      square wave, period 6 samples    (3 low, then 3 high)
//   bit 5      square wave, period 20 samples
//   bit 6      square wave, period 100 samples
//   bit 7      square wave, period 2000 samples
//   bits 0..3  always 1111, as an idle port without error reads them
//
// What advances the pattern: every read of the data register takes the next
// sample number (the first read takes 0); status reads give the status of the
// sample the last data read took (sample 0 before any data read). A sample as
// the program takes it, data then status, thus reads Data(n) and Status(n).
namespace SimulatedPattern {

constexpr std::uint8_t Square(std::uint64_t n, std::uint64_t halfPeriod) {
    return std::uint8_t((n / halfPeriod) & 1u);
}

constexpr std::uint8_t Data(std::uint64_t n) {
    return std::uint8_t((n & 0x0Fu) | Square(n, 25) << 4 | Square(n, 100) << 5 |
                        Square(n, 500) << 6 | Square(n, 2500) << 7);
}

constexpr std::uint8_t Status(std::uint64_t n) {
    return std::uint8_t(0x0Fu | Square(n, 3) << 4 | Square(n, 10) << 5 | Square(n, 50) << 6 |
                        Square(n, 1000) << 7);
}

} // namespace SimulatedPattern
