#include "Report.h"

#include <algorithm>
#include <cmath>

namespace k8055 {

Report BuildReport(Command command, const Outputs& outputs) {
    // Bytes 4 and 5 are the counter reset values; a reset sets the counter to 0.
    return {static_cast<std::uint8_t>(command),
            outputs.digital,
            outputs.analog1,
            outputs.analog2,
            0,
            0,
            outputs.debounce1,
            outputs.debounce2};
}

std::uint8_t DebounceByte(long milliseconds) {
    constexpr long MaxMilliseconds = 7450;
    const long ms = std::clamp(milliseconds, 0L, MaxMilliseconds);
    const long value = std::lround(std::sqrt(static_cast<double>(ms) / 0.115));
    return static_cast<std::uint8_t>(std::min(value, 255L));
}

std::uint8_t UnscrambleInputs(std::uint8_t raw) {
    // Input 1 = bit 4, 2 = bit 5, 3 = bit 0, 4 = bit 6, 5 = bit 7.
    return static_cast<std::uint8_t>(((raw >> 4) & 0x03) | ((raw << 2) & 0x04) |
                                     ((raw >> 3) & 0x18));
}

std::optional<InputState> ParseInputReport(const Report& report, int received, int cardAddress) {
    if (received != ReportSize) return std::nullopt;
    // The board puts its card address + 1 into the low nibble of the status
    // byte; anything else is not a report of this board.
    if ((report[1] & 0x0F) != cardAddress + 1) return std::nullopt;
    InputState state;
    state.digital = UnscrambleInputs(report[0]);
    state.analog1 = report[2];
    state.analog2 = report[3];
    state.counter1 = static_cast<std::uint16_t>(report[4] | (report[5] << 8));
    state.counter2 = static_cast<std::uint16_t>(report[6] | (report[7] << 8));
    return state;
}

} // namespace k8055
