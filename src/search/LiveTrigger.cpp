#include "search/LiveTrigger.h"

#include <algorithm>

std::optional<std::size_t> FindLiveTrigger(std::span<const std::uint16_t> words,
                                           std::size_t searchable, const TriggerSettings& trigger,
                                           bool bitTriggerArmed) {
    const std::size_t end = std::min(searchable, words.size());
    for (std::size_t i = 0; i < end; ++i) {
        const std::uint8_t low = std::uint8_t(words[i] & 0xFF);
        const std::uint8_t high = std::uint8_t(words[i] >> 8);
        switch (trigger.SyncKind) {
        case 0:
            if (!bitTriggerArmed) return std::nullopt;
            if ((low & trigger.SyncBitMask) != 0 || (high & trigger.SyncBitMask) != 0) return i;
            break;
        case 3:
            if (low == trigger.SyncByte) return i;
            break;
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}
