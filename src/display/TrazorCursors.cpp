// The two measuring cursors: kept as cells, drawn over the picture when it is
// shown (so dragging one repaints without drawing the diagram anew), moved by
// dragging their lines and set by keys at the pointer.
#include "display/TTrazor.h"

#include "display/TrazorCanvas.h"
#include "display/TrazorGeometry.h"

#include <QKeyEvent>
#include <QPainter>

namespace {
// A press this close to a cursor line takes the cursor rather than the view.
constexpr int kGrabPixels = 3;

// Dashed and in colours of their own, so that they are not taken for the
// markers (solid, one colour) or a trace.
QColor cursorColor(int which) {
    return which == 0 ? QColor(230, 120, 0) : QColor(0, 130, 230);
}
} // namespace

void TTrazor::SetCursorCell(int which, std::optional<long long> cell) {
    if (which < 0 || which > 1) return;
    if (cell) *cell = std::clamp<long long>(*cell, 0, ShownCells());
    if (cursors_.cells[std::size_t(which)] == cell) return;
    cursors_.cells[std::size_t(which)] = cell;
    update();
    emit cursorsChanged();
}

void TTrazor::ClearCursors() {
    SetCursorCell(0, std::nullopt);
    SetCursorCell(1, std::nullopt);
}

void TTrazor::PlaceCursorsInView() {
    const trazor::ViewGeometry view = View();
    const long long span =
        std::max(0, std::min(view.visibleCells, ShownCells() - view.cellsPos));
    SetCursorCell(0, view.cellsPos + span / 3);
    SetCursorCell(1, view.cellsPos + 2 * span / 3);
}

int TTrazor::CursorAnchorX() const {
    return ZoomAnchorX();
}

bool TTrazor::cursorKey(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_A:
    case Qt::Key_B:
        SetCursorCell(event.key() == Qt::Key_A ? 0 : 1,
                      trazor::cursorCellAtX(View(), CursorAnchorX(), ShownCells()));
        return true;
    case Qt::Key_C:
        ClearCursors();
        return true;
    default:
        return false;
    }
}

bool TTrazor::grabCursor(int x) {
    cursorDrag_ = trazor::cursorNear(cursors_, View(), x, kGrabPixels);
    return cursorDrag_.has_value();
}

bool TTrazor::dragCursor(int x) {
    if (!cursorDrag_) return false;
    SetCursorCell(*cursorDrag_, trazor::cursorCellAtX(View(), x, ShownCells()));
    return true;
}

bool TTrazor::releaseCursor() {
    return std::exchange(cursorDrag_, std::nullopt).has_value();
}

void TTrazor::hoverCursor(int x) {
    if (drag_) return;
    const bool near = cursorDrag_ || trazor::cursorNear(cursors_, View(), x, kGrabPixels);
    setCursor(near ? Qt::SizeHorCursor : Qt::CrossCursor);
}

void TTrazor::drawCursors(QPainter& painter) const {
    if (!cursors_.any()) return;
    const trazor::ViewGeometry view = View();
    const int bottom = trazor::markerBaseY(lineOption_->Line_distance(), option_->Digits());
    const QFont font = trazor::Canvas::nameFont();
    painter.setFont(font);
    for (int i = 0; i < 2; ++i) {
        const auto& cell = cursors_.cells[std::size_t(i)];
        if (!cell) continue;
        const std::optional<int> x = trazor::cursorX(view, *cell);
        if (!x) continue;
        QPen pen(cursorColor(i));
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(*x, 12, *x, bottom);
        painter.drawText(*x + 3, 10, i == 0 ? QStringLiteral("A") : QStringLiteral("B"));
    }
}

QImage TTrazor::PictureWithMarks() const {
    QImage picture = bitmap_;
    QPainter painter(&picture);
    drawTriggerMark(painter);
    drawCursors(painter);
    return picture;
}

// The trigger point of a triggered capture: a solid line over every row with
// a "T" above it, in a colour of its own beside the dashed cursors.
void TTrazor::drawTriggerMark(QPainter& painter) const {
    const std::optional<long long> cell = buffer_.TriggerCell();
    if (!cell) return;
    const std::optional<int> x = trazor::cursorX(View(), *cell);
    if (!x) return;
    const int bottom = trazor::markerBaseY(lineOption_->Line_distance(), option_->Digits());
    const QColor color(230, 120, 0);
    painter.setPen(QPen(color, 2));
    painter.drawLine(*x, 12, *x, bottom);
    painter.setFont(trazor::Canvas::nameFont());
    painter.drawText(*x + 3, 10, QStringLiteral("T"));
}
