#pragma once

#include <cstdint>

// The live mode's trigger condition. The main window owns it; the search
// dialog writes it when OK is pressed in set-up mode, the live mode reads it.
struct TriggerSettings {
    std::uint8_t SyncKind = 0; // 0 bits, 1 nibble low, 2 nibble high, 3 byte, 4 word
    std::uint8_t SyncBitMask = 0;
    std::uint8_t SyncEdge = 0; // 0 rising, 1 falling, 255 none chosen
    std::uint8_t SyncNibbleLo = 0;
    std::uint8_t SyncNibbleHi = 0;
    std::uint8_t SyncByte = 0;
    std::int16_t SyncWord = 0;
};
