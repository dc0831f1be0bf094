#include "TNewHintWindow.h"

#include <QList>
#include <QScrollBar>
#include <algorithm>

TNewHintWindow::TNewHintWindow(QWidget* owner, int& hintAnchorPos)
    : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), owner_(owner),
      hintAnchorPos_(hintAnchorPos) {
    setObjectName(QStringLiteral("ScrollHint"));
    setMargin(2);
    setFrameShape(QFrame::Box);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

int TNewHintWindow::AnchorOffset(int anchorPos, int scrollMax, int clientWidth) {
    // A client wider than the scroll range would give a step of 0; treat it as 1.
    const int step = clientWidth > 0 ? std::max(1, scrollMax / clientWidth) : 1;
    return std::clamp(anchorPos / step, 20, 738);
}

void TNewHintWindow::SetTracking(bool value) {
    tracking_ = value;
    if (!value) {
        hide();
        hintAnchorPos_ = 0;
        return;
    }
    const QList<QScrollBar*> bars = owner_->findChildren<QScrollBar*>();
    QScrollBar* bar = bars.isEmpty() ? nullptr : bars.last();
    if (bar && hintAnchorPos_ == 0) hintAnchorPos_ = bar->value();
    ShowAtScrollPos(QRect(QPoint(0, 0), QPoint(0, 0)), text());
    tracking_ = false;
}

void TNewHintWindow::ShowAtScrollPos(QRect rect, const QString& text) {
    if (tracking_) {
        // Placed in screen coordinates from the window's client area as it
        // really lies, so the hint stays above the scroll bar wherever the
        // window was moved (for a centred window this is the centred left edge).
        const QList<QScrollBar*> bars = owner_->findChildren<QScrollBar*>();
        const QScrollBar* bar = bars.isEmpty() ? nullptr : bars.last();
        const int scrollMax = bar ? bar->maximum() : 8192;
        const int x0 = owner_->mapToGlobal(QPoint(0, 0)).x();
        const int barTop = bar ? bar->mapToGlobal(QPoint(0, 0)).y()
                               : owner_->mapToGlobal(QPoint(0, owner_->height())).y();
        rect.setLeft(x0 + AnchorOffset(hintAnchorPos_, scrollMax, owner_->width()));
        rect.setTop(barTop - 19);
        rect.setBottom(owner_->mapToGlobal(QPoint(0, owner_->height())).y());
    }
    lastRect_ = rect;
    setText(text);
    adjustSize();
    move(rect.left(), rect.top());
    show();
}
