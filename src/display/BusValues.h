#pragma once

#include "display/SamplePyramid.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// Buses: several lines read together as one number, shown in hexadecimal.
// Plain functions on samples and column summaries, checked without drawing.
namespace trazor {

struct BusDef {
    QString name;
    std::vector<int> lines; // buffer lines 0..15, most significant bit first

    bool operator==(const BusDef&) const = default;
};

// The bus's value in one sample (bit i of the sample is line i).
std::uint32_t busValue(std::uint16_t sample, const std::vector<int>& linesMsbFirst);

// Upper-case hexadecimal with as many digits as the bus has nibbles:
// 0x5 on 3 lines -> "5", 0x0A on 8 lines -> "0A".
QString busHex(std::uint32_t value, int bitCount);

// A run of pixel columns: [first, end). A value where the bus stays at it
// through every column of the run; nullopt where it changes inside a column
// (too dense to show: drawn as a band).
struct BusSegment {
    int first = 0;
    int end = 0;
    std::optional<std::uint32_t> value;

    bool operator==(const BusSegment&) const = default;
};

// The runs of a bus over column summaries (see summarizeColumns): equal
// values and consecutive changing columns merge.
std::vector<BusSegment> busSegments(const std::vector<SamplePyramid::Span>& columns,
                                    const std::vector<int>& linesMsbFirst);

// Lines as the bus dialog shows and reads them: "7,6,5,4" (most significant
// first). Reading accepts blanks and ranges "7-4" and refuses anything but
// lines 0..15, each at most once, with nullopt.
QString linesText(const std::vector<int>& linesMsbFirst);
std::optional<std::vector<int>> parseLines(const QString& text);

} // namespace trazor
