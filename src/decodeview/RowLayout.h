#pragma once

#include "display/ViewScale.h"
#include "sigrok/decode/AnnotationStore.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Where one annotation row's items lie in the diagram's pixels. Plain
// arithmetic over an annotation source, checked without a widget.
namespace decodeview {

// The diagram's view: `firstCell` at pixel `originX`, cells put into pixels
// as `scale` says, pixels up to `width` shown. The same view the time axis
// and the traces are drawn with, so annotation and edge line up.
struct RowView {
    long long firstCell = 0;
    trazor::ViewScale scale;
    int originX = 0;
    int width = 0;

    // The left pixel of cell `cell` (left of the origin for earlier cells).
    long long XOf(long long cell) const { return originX + scale.columnsFor(cell - firstCell); }
    // The cell under pixel x, left of the origin the first one shown.
    long long CellAt(int x) const;
    bool operator==(const RowView&) const = default;
};

// What a row shows: boxes for annotations wide enough to read, and bands
// where annotations are too dense to tell apart (a zoomed-out view). A band
// covers the pixels of every annotation in it.
struct RowItem {
    long long x0 = 0; // first pixel
    long long x1 = 0; // pixel after the last
    bool band = false;
    std::size_t first = 0; // a box's annotation, a band's first (index in the row)
    std::size_t count = 1; // annotations in a band
};

// A box needs this many pixels; narrower annotations merge into bands.
inline constexpr int kMinBoxPixels = 4;

// The items of `row` in the view, left to right. Costs a few searches per
// pixel column at most, whatever the number of annotations.
std::vector<RowItem> LayoutRow(const sigrokdecode::AnnotationSource& source, int row,
                               const RowView& view);

// The item at pixel x, if any.
std::optional<RowItem> ItemAt(const std::vector<RowItem>& items, int x);

} // namespace decodeview
