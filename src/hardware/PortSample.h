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

// The parallel port's data and status registers, data first: a port that
// counts its reads (the simulated one) takes the status of the same sample.
inline Sample ReadPortSample(TPortIO& io, std::int32_t portBase) {
    Sample sample;
    sample.low = io.ReadPortByte(std::uint32_t(portBase));
    sample.high = io.ReadPortByte(std::uint32_t(portBase + 1));
    return sample;
}

// The board's five inputs.
inline Sample ReadBoardSample(TPortUSB& usb) {
    return {std::uint8_t(usb.ReadUsbInputs()), 0};
}

// A sample as the 16 lines D00..D15 of a buffer word: the data lines, then the
// status register's upper four bits as D08..D11.
constexpr std::uint16_t SampleWord(Sample sample) {
    return std::uint16_t(sample.low | (sample.high >> 4) << 8);
}

// Reads a sample the way both the recording and the live mode do. Any other
// source keeps what `sample` held.
inline void ReadSample(Sample& sample, std::uint8_t inputSource, std::int32_t portBase, TPortIO& io,
                       TPortUSB& usb) {
    if (inputSource == 0)
        sample = ReadPortSample(io, portBase);
    else if (inputSource == 1)
        sample = ReadBoardSample(usb);
}
