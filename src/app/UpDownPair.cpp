#include "UpDownPair.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <algorithm>

UpDownPair::UpDownPair(QWidget* parent)
    : QWidget(parent), back_(new QToolButton(this)), forward_(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    back_->setArrowType(Qt::LeftArrow);
    forward_->setArrowType(Qt::RightArrow);
    back_->setAutoRepeat(true);
    forward_->setAutoRepeat(true);
    layout->addWidget(back_);
    layout->addWidget(forward_);
    connect(back_, &QToolButton::clicked, this, [this] { Press(Arrow::Back); });
    connect(forward_, &QToolButton::clicked, this, [this] { Press(Arrow::Forward); });
}

void UpDownPair::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
}

void UpDownPair::Press(Arrow arrow) {
    if (!isEnabled()) return;
    // Like the native control, the counter stops at its ends but the press is still reported.
    SetPosition(position_ + (arrow == Arrow::Forward ? 1 : -1));
    emit clicked(arrow);
}
