#include "decodeview/RowLayout.h"

#include <algorithm>
#include <limits>

namespace decodeview {

using sigrokdecode::AnnotationRef;

long long RowView::CellAt(int x) const {
    if (x < originX) return firstCell;
    return firstCell + scale.cellsAt(x - originX).first;
}

namespace {

std::uint64_t FromCell(long long cell) {
    return cell < 0 ? 0 : std::uint64_t(cell);
}

// Builds a row's items left to right; bands grow while they touch.
class RowBuilder {
  public:
    void Box(std::size_t k, long long x0, long long x1, std::uint64_t endCell) {
        closeBand();
        items_.push_back({x0, x1, false, k, 1});
        boxedTo_ = std::max(boxedTo_, x1);
        boxedCells_ = std::max(boxedCells_, endCell);
    }
    void Band(long long x0, long long x1, std::size_t first, std::size_t count) {
        if (band_ && x0 <= band_->x1) {
            band_->x1 = std::max(band_->x1, x1);
            band_->count += count;
            return;
        }
        closeBand();
        band_ = RowItem{x0, x1, true, first, count};
    }
    void closeBand() {
        if (band_) items_.push_back(*band_);
        band_.reset();
    }
    // Pixels before this lie under a box already drawn.
    long long BoxedTo() const { return boxedTo_; }
    // Cells before this lie in a box already drawn.
    std::uint64_t BoxedCells() const { return boxedCells_; }
    std::vector<RowItem> Take() {
        closeBand();
        return std::move(items_);
    }

  private:
    std::vector<RowItem> items_;
    std::optional<RowItem> band_;
    long long boxedTo_ = std::numeric_limits<long long>::min();
    std::uint64_t boxedCells_ = 0;
};

} // namespace

std::vector<RowItem> LayoutRow(const sigrokdecode::AnnotationSource& source, int row,
                               const RowView& view) {
    const trazor::ViewScale& scale = view.scale;
    if (scale.cellWidth <= 0 || scale.cellsPerColumn <= 0 || view.width <= view.originX ||
        source.CountInRow(row) == 0)
        return {};
    // One unit is what one step of the scale covers: a cell several pixels
    // wide, or a pixel column holding several cells.
    const long long unitPixels = scale.cellWidth;
    const long long unitCells = scale.cellsPerColumn;
    const long long units = (view.width - view.originX + unitPixels - 1) / unitPixels;
    const auto span = [&](const AnnotationRef& a) {
        const long long x0 = view.XOf((long long)a.start);
        // An annotation of no length still marks its sample.
        const long long x1 = view.XOf((long long)std::max(a.end, a.start + 1));
        return std::pair{x0, std::max(x1, x0 + 1)};
    };
    const auto wide = [&](const AnnotationRef& a) {
        const auto [x0, x1] = span(a);
        return x1 - x0 >= kMinBoxPixels;
    };

    RowBuilder items;
    std::size_t lo = source.FirstInRowFrom(row, FromCell(view.firstCell));
    // The last annotation started before the view may reach into it.
    if (lo > 0) {
        const AnnotationRef before = source.InRow(row, lo - 1);
        if ((long long)before.end > view.firstCell && wide(before)) {
            const auto [x0, x1] = span(before);
            items.Box(lo - 1, x0, x1, before.end);
        }
    }
    for (long long u = 0; u < units; ++u) {
        const long long firstCell = view.firstCell + u * unitCells;
        const long long x0 = view.originX + u * unitPixels;
        const long long x1 = x0 + unitPixels;
        const std::size_t hi = source.FirstInRowFrom(row, FromCell(firstCell + unitCells));
        const std::size_t starts = hi - lo;
        // A handful of readable annotations starting here are boxes; more, or
        // narrow ones, are too dense to tell apart.
        bool boxes = starts > 0 && starts <= 4;
        for (std::size_t k = lo; boxes && k < hi; ++k)
            boxes = wide(source.InRow(row, k));
        if (boxes) {
            for (std::size_t k = lo; k < hi; ++k) {
                const AnnotationRef a = source.InRow(row, k);
                const auto [b0, b1] = span(a);
                items.Box(k, b0, b1, a.end);
            }
        } else if (starts > 0) {
            items.Band(x0, x1, lo, starts);
        } else if (x0 >= items.BoxedTo()) {
            // Nothing starts here: still covered by an annotation from before?
            // (Not by a box: its last column may share cells with this one.)
            const std::uint64_t reach = hi > 0 ? source.EndSoFar(row, hi - 1) : 0;
            if ((long long)reach > firstCell && reach > items.BoxedCells())
                items.Band(x0, x1, hi - 1, 0);
            else
                items.closeBand();
        }
        lo = hi;
    }
    return items.Take();
}

std::optional<RowItem> ItemAt(const std::vector<RowItem>& items, int x) {
    std::optional<RowItem> hit;
    // Later items lie on top when they overlap.
    for (const RowItem& item : items)
        if (x >= item.x0 && x < item.x1) hit = item;
    return hit;
}

} // namespace decodeview
