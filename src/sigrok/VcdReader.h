#pragma once

#include "sigrok/SigrokImport.h"

#include <string>

namespace sigrok {

// Reads a value change dump as simulators (iverilog, GHDL, Verilator) and
// logic analysers write it. libsigrok 0.5.2 stops at the first vector value
// without a word, so the program reads VCD itself; the format is plain text.
//
// How the file becomes samples:
// - One sample per step of $timescale (1 fs steps only in whole picoseconds,
//   up to 100 s); the recording starts at the first time stamp and ends at the
//   last one, as libsigrok reads it. Without $timescale the rate is unknown.
// - Every one-bit variable is a channel named as its reference ("clk",
//   "a[3]"); a vector "reg [7:0] bus" gives the channels "bus[7]".."bus[0]",
//   most significant first, and a LineGroup. Names that occur in several
//   scopes get the scope path in front ("top.dut.clk").
// - 1 and H are high; 0, L, x, z and the other undefined values (U, W, -) are
//   low, also while $dumpoff holds every value at x. A note says when the file
//   had undefined values.
// - integer, real, time, event and string variables are skipped with a note.
// Anything else that does not fit the format raises Error with the line number.
ImportResult ReadVcd(const std::string& path, const ImportOptions& options);
// The same, handing the samples to `receiver` (see StreamFile).
ImportResult StreamVcd(const std::string& path, const ImportOptions& options,
                       SampleReceiver& receiver);

} // namespace sigrok
