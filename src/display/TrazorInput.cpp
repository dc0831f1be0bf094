// Mouse input on the diagram: the press position that markers are placed at,
// the context menu, and the move notification.
#include "display/TTrazor.h"
#include "platform/Guard.h"

#include <QMenu>
#include <QMouseEvent>

void TTrazor::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    guard::Run(&desktop_, [this, event] {
        if (!ready_) return;
        const QPoint pos = event->position().toPoint();
        mouseX_ = pos.x();
        mouseY_ = pos.y();
        if (event->button() == Qt::RightButton && popupMenu_)
            popupMenu_->popup(event->globalPosition().toPoint());
    });
}

void TTrazor::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    guard::Run(&desktop_, [this] { emit mouseMovedOverDisplay(); });
}
