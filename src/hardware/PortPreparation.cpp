#include "hardware/PortPreparation.h"

#include "hardware/TPortIO.h"

namespace portprep {

void ControlAnd(TPortIO& io, std::int32_t base, std::uint8_t mask) {
    io.WritePortByte(base + 2, io.ReadPortByte(base + 2) & mask);
}

void ControlOr(TPortIO& io, std::int32_t base, std::uint8_t mask) {
    io.WritePortByte(base + 2, io.ReadPortByte(base + 2) | mask);
}

void ControlXor(TPortIO& io, std::int32_t base, std::uint8_t mask) {
    io.WritePortByte(base + 2, io.ReadPortByte(base + 2) ^ mask);
}

void InputStart(TPortIO& io, std::int32_t base) {
    ControlOr(io, base, 0x2F);
    io.WritePortByte(std::uint32_t(base), 0x00);
}

void OutputRestore(TPortIO& io, std::int32_t base) {
    ControlOr(io, base, 0x03);
    ControlAnd(io, base, 0xDD);
}

void RecordingStart(TPortIO& io, std::int32_t base, LptMode mode) {
    if (mode.adapter && !mode.printerSignals) {
        io.WritePortByte(base + 2, 0x2F);
        io.WritePortByte(base, 0xFF);
    }
    io.WritePortByte(base, 0x00);
    if (mode.adapterWithSignals()) {
        ControlAnd(io, base, 0xFC);
        ControlOr(io, base, 0x03);
    }
}

void LiveStart(TPortIO& io, std::int32_t base, LptMode mode) {
    if (!mode.adapterWithSignals()) {
        io.WritePortByte(base + 2, 0x2F);
        io.WritePortByte(base, 0xFF);
    } else {
        ControlAnd(io, base, 0xFC);
        ControlOr(io, base, 0x03);
    }
}

void RunEnd(TPortIO& io, std::int32_t base, LptMode mode) {
    if (!mode.adapterWithSignals()) return;
    ControlAnd(io, base, 0xFC);
    ControlOr(io, base, 0x04);
}

} // namespace portprep
