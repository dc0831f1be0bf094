#include "TNewHintWindow.h"

#include <QGuiApplication>
#include <QList>
#include <QScreen>
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
        const QScreen* screen =
            owner_->screen() ? owner_->screen() : QGuiApplication::primaryScreen();
        const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const int clientWidth = owner_->width();
        const int x0 = (work.right() + 1 - clientWidth) / 2;
        const QList<QScrollBar*> bars = owner_->findChildren<QScrollBar*>();
        const QScrollBar* bar = bars.isEmpty() ? nullptr : bars.last();
        const int scrollMax = bar ? bar->maximum() : 8192;
        const int barTop = bar ? bar->mapTo(owner_, QPoint(0, 0)).y() : owner_->height();
        rect.setLeft(x0 + AnchorOffset(hintAnchorPos_, scrollMax, clientWidth));
        rect.setTop(barTop - 19);
        rect.setBottom(owner_->height());
    }
    lastRect_ = rect;
    setText(text);
    adjustSize();
    move(rect.left(), rect.top());
    show();
}
