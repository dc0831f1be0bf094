#pragma once

#include <cstdint>

class TPortIO;

// Which parallel-port source is chosen, as far as the register sequences care.
struct LptMode {
    bool adapter = false;        // "LPT 1/2 Input 8 Bit" checked
    bool printerSignals = false; // "ACK,BSY,PAP,OFON + 4 Bit" checked as well
    bool adapterWithSignals() const { return adapter && printerSignals; }
};

// The register sequences written to the printer port at the start and end of
// a recording or a live run. Read-modify-write steps read the control
// register afresh each time, as the port may not keep every bit.
namespace portprep {

void ControlAnd(TPortIO& io, std::int32_t base, std::uint8_t mask);
void ControlOr(TPortIO& io, std::int32_t base, std::uint8_t mask);
void ControlXor(TPortIO& io, std::int32_t base, std::uint8_t mask);

// The plain port (no adapter) programmed for input, with its data lines
// switched to input, and back to output when nothing reads from it any more.
void InputStart(TPortIO& io, std::int32_t base);
void OutputRestore(TPortIO& io, std::int32_t base);

void RecordingStart(TPortIO& io, std::int32_t base, LptMode mode);
void LiveStart(TPortIO& io, std::int32_t base, LptMode mode);
// Recording end and live stop share one sequence.
void RunEnd(TPortIO& io, std::int32_t base, LptMode mode);

} // namespace portprep
