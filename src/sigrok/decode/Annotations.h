#pragma once

#include "sampling/TimeBase.h"

#include <cstdint>
#include <string>
#include <vector>

// The result of a decoding run: rows of annotations, each annotation a span
// of samples with its texts. Plain values, free of the library's types.
namespace sigrokdecode {

struct AnnotationRow {
    std::string instance;  // "uart-1": decoder id and its number in the run
    std::string decoderId; // "uart"
    std::string rowId;     // "rx-data" (the class id for a decoder without rows)
    std::string rowDesc;   // "RX data"
    bool topOfStack = false; // the stack's last decoder: what a user asked for
};

struct Annotation {
    std::uint64_t start = 0; // first sample
    std::uint64_t end = 0;   // sample after the last one, as the decoders give it
    int row = 0;             // index into DecodeResult::rows
    int annClass = 0;
    std::string classId;     // "rx-data"
    std::vector<std::string> texts; // longest first, then shorter forms

    const std::string& Text() const;
    // The longest text that has at most `maxChars` characters (UTF-8 aware),
    // or an empty text when none fits.
    std::string TextFitting(std::size_t maxChars) const;
};

struct DecodeResult {
    std::vector<AnnotationRow> rows;
    // In time order: by start sample, then by row.
    std::vector<Annotation> annotations;
    bool cancelled = false;

    // Sorts annotations into time order (stable for equal starts).
    void SortByTime();
    // Rows that hold at least one annotation, in row order.
    std::vector<int> UsedRows() const;
};

// A row chosen by "instance or decoder id" = "row id or class id", as the
// command line's -A gives it ("uart=rx-data").
bool RowMatches(const AnnotationRow& row, const Annotation& a, const std::string& decoder,
                const std::string& rowOrClass);

// "uart-1: H" lines as the command line prints them.
std::string AnnotationLine(const DecodeResult& result, const Annotation& a);

// Export of all annotations with start and end time (from the buffer's time
// base), decoder, row and text: a readable text or CSV (comma separated,
// quoted text, times in seconds with a decimal point).
class AnnotationSource;
std::string ExportText(const AnnotationSource& annotations, const sampling::TimeBase& timeBase);
std::string ExportCsv(const AnnotationSource& annotations, const sampling::TimeBase& timeBase);

} // namespace sigrokdecode
