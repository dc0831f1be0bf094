#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The K8055's two 8-byte reports as plain values: building what goes out to
// the board and reading what comes back. Nothing here touches USB.
namespace k8055 {

constexpr int ReportSize = 8;
using Report = std::array<std::uint8_t, ReportSize>;

constexpr int CardCount = 4;
constexpr std::uint16_t VendorId = 0x10CF;
// A board's product id is this plus its card address (jumpers SK5, SK6).
constexpr std::uint16_t FirstProductId = 0x5500;

enum class Command : std::uint8_t {
    Reset = 0,
    SetDebounce1 = 1,
    SetDebounce2 = 2,
    ResetCounter1 = 3,
    ResetCounter2 = 4,
    SetOutputs = 5,
};

// What the host last sent. The board cannot report its outputs, so this copy
// is the only record of them; every report carries all of it.
struct Outputs {
    std::uint8_t digital = 0; // bit 0 = output 1 .. bit 7 = output 8
    std::uint8_t analog1 = 0;
    std::uint8_t analog2 = 0;
    std::uint8_t debounce1 = 0;
    std::uint8_t debounce2 = 0;
    friend bool operator==(const Outputs&, const Outputs&) = default;
};

Report BuildReport(Command command, const Outputs& outputs);

// The debounce byte for a time in milliseconds: round(sqrt(ms / 0.115)), the
// time clamped to 0..7450 ms first.
std::uint8_t DebounceByte(long milliseconds);

// Digital inputs 1..5 in bits 0..4 from the board's scrambled byte.
std::uint8_t UnscrambleInputs(std::uint8_t raw);

struct InputState {
    std::uint8_t digital = 0; // inputs 1..5 in bits 0..4
    std::uint8_t analog1 = 0;
    std::uint8_t analog2 = 0;
    // Unsigned 16-bit counts: 32,768 and more stay positive.
    std::uint16_t counter1 = 0;
    std::uint16_t counter2 = 0;
    friend bool operator==(const InputState&, const InputState&) = default;
};

// A report of `received` bytes from the board at cardAddress, or nothing when
// it is short or its status byte names another card.
std::optional<InputState> ParseInputReport(const Report& report, int received, int cardAddress);

} // namespace k8055
