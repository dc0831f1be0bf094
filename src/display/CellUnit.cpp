#include "display/CellUnit.h"

#include <cmath>
#include <limits>

namespace trazor {

namespace {

struct Unit {
    const char* name;
    std::uint64_t picoseconds;
};
constexpr Unit kUnits[] = {{"s", 1'000'000'000'000}, {"ms", 1'000'000'000}, {"µs", 1'000'000},
                           {"ns", 1'000}, {"ps", 1}};
constexpr std::uint64_t kSecondPs = 1'000'000'000'000;

} // namespace

CellUnit CellUnitForRate(std::uint64_t rateHz) {
    if (rateHz == 0) rateHz = 1;
    constexpr double kIntMax = double(std::numeric_limits<int>::max());
    // Exact: the period (1e12 / rate ps) is a whole number of the unit.
    for (const Unit& u : kUnits) {
        if (rateHz > kSecondPs / u.picoseconds) continue; // shorter than one unit
        const std::uint64_t perUnit = rateHz * u.picoseconds;
        if (kSecondPs % perUnit == 0 && double(kSecondPs / perUnit) <= kIntMax)
            return {QString::fromUtf8(u.name), int(kSecondPs / perUnit)};
    }
    for (const Unit& u : kUnits) {
        const double value = double(kSecondPs) / (double(rateHz) * double(u.picoseconds));
        const double rounded = std::round(value);
        if (rounded < 1.0 || rounded > kIntMax) continue;
        if (std::fabs(rounded - value) <= 0.002 * value)
            return {QString::fromUtf8(u.name), int(rounded)};
    }
    // Faster than a picosecond per sample: the smallest unit there is.
    return {QStringLiteral("ps"), 1};
}

} // namespace trazor
