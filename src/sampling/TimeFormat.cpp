#include "sampling/TimeFormat.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace sampling {

namespace {

struct Prefix {
    double factor;
    const char* unit;
};

// Picks the largest prefix whose value, rounded to two decimals, is at least 1.
std::string formatScaled(double value, const Prefix* prefixes, std::size_t count) {
    if (!std::isfinite(value)) return "-";
    const double magnitude = std::fabs(value);
    const Prefix* chosen = &prefixes[count - 1];
    if (magnitude == 0) {
        // Zero reads in the base unit (the entry with factor 1).
        for (std::size_t i = 0; i < count; ++i)
            if (prefixes[i].factor == 1) chosen = &prefixes[i];
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            if (std::round(magnitude / prefixes[i].factor * 100) >= 100) {
                chosen = &prefixes[i];
                break;
            }
        }
    }
    double shown = value / chosen->factor;
    if (std::round(std::fabs(shown) * 100) == 0) shown = 0; // no "-0,00"
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %s", shown, chosen->unit);
    std::string out = text;
    for (char& c : out)
        if (c == '.') c = ',';
    return out;
}

constexpr std::array<Prefix, 5> kTimePrefixes{{
    {1, "s"},
    {1e-3, "ms"},
    {1e-6, "\u00b5s"},
    {1e-9, "ns"},
    {1e-12, "ps"},
}};

constexpr std::array<Prefix, 4> kFrequencyPrefixes{{
    {1e9, "GHz"},
    {1e6, "MHz"},
    {1e3, "kHz"},
    {1, "Hz"},
}};

} // namespace

std::string FormatDuration(double seconds) {
    return formatScaled(seconds, kTimePrefixes.data(), kTimePrefixes.size());
}

std::string FormatFrequency(double hertz) {
    return formatScaled(hertz, kFrequencyPrefixes.data(), kFrequencyPrefixes.size());
}

std::string FormatPerSample(const SamplePeriod& period) {
    return FormatDuration(period.Seconds()) + " je Wert";
}

std::string DescribeTimeBase(const TimeBase& timeBase) {
    std::string text = FormatPerSample(timeBase.period);
    switch (timeBase.origin) {
    case TimingOrigin::Paced:
        return text;
    case TimingOrigin::Measured:
        return text + " (gemessen)";
    case TimingOrigin::UnknownNominal:
        return text + " (angenommen, Zeitbasis unbekannt)";
    case TimingOrigin::Exact:
        return text;
    }
    return text;
}

} // namespace sampling
