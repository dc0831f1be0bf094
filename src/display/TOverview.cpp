#include "display/TOverview.h"

#include "display/TTrazor.h"
#include "platform/Guard.h"

#include <QMouseEvent>
#include <QPainter>

TOverview::TOverview(QWidget* parent, TTrazor& trazor) : QWidget(parent), trazor_(trazor) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Übersicht: Klicken oder Ziehen zeigt diese Stelle im Diagramm"));
    // Whatever the diagram draws or shows may change the strip.
    connect(&trazor_, &TTrazor::pictureChanged, this, qOverload<>(&QWidget::update));
    connect(&trazor_, &TTrazor::viewChanged, this, qOverload<>(&QWidget::update));
}

trazor::OverviewStyle TOverview::style() const {
    trazor::OverviewStyle s;
    s.width = width();
    s.height = height();
    const TTrazorproperty& opt = trazor_.Option();
    s.digits = opt.Digits();
    s.background = opt.ColorBackground();
    for (int line = 0; line < 16; ++line)
        s.lineColors[std::size_t(line)] = opt.DigiColor().Get(line);
    return s;
}

trazor::OverviewScale TOverview::scale() const {
    return trazor::OverviewScale{trazor_.Buffer().Cells(), width()};
}

const QImage& TOverview::Picture() {
    const SamplePyramid& pyramid = trazor_.Pyramid();
    const trazor::OverviewStyle now = style();
    if (trazor_.PyramidVersion() != pictureVersion_ || !(now == pictureStyle_)) {
        picture_ = trazor::renderOverview(trazor_.Buffer(), pyramid, now);
        pictureStyle_ = now;
        pictureVersion_ = trazor_.PyramidVersion();
        ++renderings_;
    }
    return picture_;
}

trazor::OverviewFrame TOverview::Frame() const {
    return trazor::overviewFrame(scale(), trazor_.Option().CellsPos(), trazor_.VisibleCells());
}

int TOverview::PositionAt(int x) const {
    return trazor::overviewPos(scale(), trazor_.View(), x);
}

void TOverview::paintEvent(QPaintEvent*) {
    guard::Run(nullptr, [this] { paintStrip(); });
}

void TOverview::paintStrip() {
    QPainter painter(this);
    painter.drawImage(0, 0, Picture());
    const trazor::OverviewFrame frame = Frame();
    const QRect shown(frame.left, 0, frame.right - frame.left, height());
    QColor tint = palette().color(QPalette::Highlight);
    tint.setAlpha(60);
    painter.fillRect(shown, tint);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
    painter.drawRect(shown.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, width() - 1, 0);
}

void TOverview::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int x = event->position().toPoint().x();
    guard::Run(nullptr, [this, x] { emit positionRequested(PositionAt(x)); });
}

void TOverview::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const int x = event->position().toPoint().x();
    guard::Run(nullptr, [this, x] {
        const int wanted = PositionAt(x);
        if (wanted != trazor_.Option().CellsPos()) emit positionRequested(wanted);
    });
}
