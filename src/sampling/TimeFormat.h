#pragma once

#include "sampling/TimeBase.h"

#include <string>

// German texts for durations and frequencies, in one place so that every
// readout, status line and export label looks the same: a value between 1 and
// 999,99 with two decimals, a decimal comma and an SI prefix (UTF-8 "µ"):
//   FormatDuration(10.4857)      -> "10,49 s"
//   FormatDuration(2.03e-6)      -> "2,03 µs"
//   FormatFrequency(1500)        -> "1,50 kHz"
//   FormatPerSample(period)      -> "10,00 µs je Wert"
// Durations of 1000 s and more stay in seconds; zero gives "0,00 s" / "0,00 Hz";
// values that are not finite give "-".
namespace sampling {

std::string FormatDuration(double seconds);
std::string FormatFrequency(double hertz);
std::string FormatPerSample(const SamplePeriod& period);
// "10,00 µs je Wert (gemessen)" and the like: the period with its origin.
std::string DescribeTimeBase(const TimeBase& timeBase);

} // namespace sampling
