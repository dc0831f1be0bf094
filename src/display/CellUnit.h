#pragma once

#include <QString>
#include <cstdint>

namespace trazor {

// The display's time per cell for a source with a fixed sample rate: a unit
// and a whole factor (the axis and the marker texts count in Timefactor x
// TimeUnit). The largest unit in which the period is a whole number is taken
// (1 MHz -> 1 µs, 16 MHz -> 62500 ps); where none is, the largest in which
// the rounded factor is within two thousandths of the period (3 MHz -> 333 ns,
// 24 MHz -> 41667 ps): the times shown are then the real ones, not those of a
// rounded unit.
struct CellUnit {
    QString unit;
    int factor = 1;

    bool operator==(const CellUnit&) const = default;
};

// rateHz 0 counts as 1 Hz.
CellUnit CellUnitForRate(std::uint64_t rateHz);

} // namespace trazor
