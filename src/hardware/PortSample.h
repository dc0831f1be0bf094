#pragma once

#include "hardware/TPortIO.h"
#include "hardware/TPortUSB.h"

#include <cstdint>

// One sample of the chosen source: the data register and the status
// register of the parallel port, or the board's five inputs.
struct Sample {
    std::uint8_t low = 0;
    std::uint8_t high = 0; // as read; stored shifted right by 4
};

// Reads a sample the way both the recording and the live mode do. Any other
// source keeps what `sample` held.
inline void ReadSample(Sample& sample, std::uint8_t inputSource, std::int32_t portBase, TPortIO& io,
                       TPortUSB& usb) {
    if (inputSource == 0) {
        sample.low = io.ReadPortByte(std::uint32_t(portBase));
        sample.high = io.ReadPortByte(std::uint32_t(portBase + 1));
    } else if (inputSource == 1) {
        sample.low = std::uint8_t(usb.ReadUsbInputs());
        sample.high = 0;
    }
}
