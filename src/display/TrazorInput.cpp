// Mouse and key input on the diagram: the press position that markers are
// placed at, the context menu, the move notification, and the navigation
// requests of the wheel, dragging and the keys. Moves are only asked for
// here; the owner carries them out.
#include "display/TTrazor.h"
#include "platform/Guard.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {
// One notch of a common mouse wheel, in eighths of a degree.
constexpr int kNotch = 120;
} // namespace

// Every handler runs its logic inside the guard: what the receivers of the
// requests throw must not travel through Qt's event loop.
void TTrazor::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    guard::Run(&desktop_, [this, event] {
        if (!ready_) return;
        const QPoint pos = event->position().toPoint();
        mouseX_ = pos.x();
        mouseY_ = pos.y();
        if (event->button() == Qt::RightButton && popupMenu_) {
            popupMenu_->popup(event->globalPosition().toPoint());
        } else if (event->button() == Qt::LeftButton && grabCursor(pos.x())) {
            setCursor(Qt::SizeHorCursor);
        } else if (event->button() == Qt::LeftButton) {
            drag_ = Drag{pos.x(), option_->CellsPos()};
            setCursor(Qt::ClosedHandCursor);
        }
    });
}

void TTrazor::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    guard::Run(&desktop_, [this, event] {
        const QPoint pos = event->position().toPoint();
        pointer_ = pos;
        if (event->buttons() & Qt::LeftButton) dragCursor(pos.x());
        hoverCursor(pos.x());
        if (drag_ && (event->buttons() & Qt::LeftButton)) {
            const int wanted = trazor::dragPos(View(), drag_->pressPos, drag_->pressX, pos.x());
            if (wanted != option_->CellsPos()) emit positionRequested(wanted);
        }
        emit mouseMovedOverDisplay();
        emit pointerMoved();
    });
}

void TTrazor::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    releaseCursor();
    drag_.reset();
    setCursor(Qt::CrossCursor);
}

void TTrazor::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    pointer_.reset();
    guard::Run(&desktop_, [this] { emit pointerMoved(); });
}

void TTrazor::wheelEvent(QWheelEvent* event) {
    if (!ready_) return;
    event->accept();
    guard::Run(&desktop_, [this, event] {
        // With Alt some platforms turn the vertical wheel into a horizontal one.
        const QPoint angle = event->angleDelta();
        const int delta = angle.y() != 0 ? angle.y() : angle.x();
        wheelRest_ += delta;
        const int notches = wheelRest_ / kNotch;
        wheelRest_ -= notches * kNotch;
        if (notches == 0) return;
        const Qt::KeyboardModifiers mods = event->modifiers();
        const int x = event->position().toPoint().x();
        // Turning the wheel away from the user goes back in time, zooms in, or
        // jumps to the previous edge.
        if (mods & Qt::ControlModifier) {
            emit zoomRequested(notches > 0 ? +1 : -1, x);
        } else if (mods & Qt::AltModifier) {
            pointer_ = event->position().toPoint();
            emit edgeJumpRequested(notches < 0);
        } else {
            emit scrollRequested(-notches * trazor::wheelCells(visibleCells_));
        }
    });
}

void TTrazor::keyPressEvent(QKeyEvent* event) {
    if (!ready_) {
        QWidget::keyPressEvent(event);
        return;
    }
    bool known = true;
    guard::Run(&desktop_, [this, event, &known] {
        if (cursorKey(*event)) return;
        switch (event->key()) {
        // One cell, or in a zoomed-out view one pixel column of cells.
        case Qt::Key_Left:
            emit scrollRequested(-Scale().cellsPerColumn);
            break;
        case Qt::Key_Right:
            emit scrollRequested(+Scale().cellsPerColumn);
            break;
        case Qt::Key_PageUp:
            emit scrollRequested(-std::max(1, visibleCells_));
            break;
        case Qt::Key_PageDown:
            emit scrollRequested(+std::max(1, visibleCells_));
            break;
        case Qt::Key_Home:
            emit positionRequested(0);
            break;
        case Qt::Key_End:
            emit positionRequested(View().lastPos);
            break;
        case Qt::Key_Plus:
            emit zoomRequested(+1, ZoomAnchorX());
            break;
        case Qt::Key_Minus:
            emit zoomRequested(-1, ZoomAnchorX());
            break;
        case Qt::Key_N:
            emit edgeJumpRequested(true);
            break;
        case Qt::Key_P:
            emit edgeJumpRequested(false);
            break;
        default:
            known = false;
            break;
        }
    });
    if (!known) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

trazor::ViewGeometry TTrazor::View() const {
    trazor::ViewGeometry view;
    view.cellsPos = option_->CellsPos();
    const trazor::ViewScale scale = Scale();
    view.cellWidth = scale.cellWidth;
    view.cellsPerColumn = scale.cellsPerColumn;
    view.originX = lineOption_->Global_Xpos();
    view.visibleCells = visibleCells_;
    // The position setter keeps CellsPos within CellsSize; a loaded file may
    // hold fewer cells than that.
    const int cells = std::min(ShownCells(), option_->CellsSize());
    view.lastPos = trazor::endPos(cells, visibleCells_);
    return view;
}

int TTrazor::ZoomAnchorX() const {
    if (pointer_) return pointer_->x();
    const int gx = lineOption_->Global_Xpos();
    return gx + std::max(0, width() - gx) / 2;
}

std::optional<int> TTrazor::LineAt(int y) const {
    return trazor::lineAtY(y, lineOption_->Row(0).HighY, lineOption_->Line_distance(),
                           lineOption_->Line_Maxhigh(), option_->Digits());
}

std::optional<trazor::PulseMeasure> TTrazor::MeasureAt(QPoint p) {
    const std::optional<int> line = LineAt(p.y());
    const std::optional<int> cell = trazor::cellAtX(View(), p.x());
    if (!line || !cell) return std::nullopt;
    const SamplePyramid& pyramid = Pyramid();
    return trazor::measurePulse(buffer_, pyramid, *line, *cell);
}

const SamplePyramid& TTrazor::Pyramid() {
    if (pyramid_.Update(buffer_)) ++pyramidVersion_;
    return pyramid_;
}
