#include "display/BusRows.h"

#include "display/ColumnSummary.h"
#include "display/TTrazor.h"
#include "display/TrazorCanvas.h"
#include "platform/Guard.h"

#include <QPainter>
#include <QPolygon>

namespace {
// Space between a row's edges and its value shape.
constexpr int kMargin = 4;
// Pixels the shape takes to slant into a change of value.
constexpr int kSlant = 2;
} // namespace

BusRows::BusRows(QWidget* parent, TTrazor& trazor, Desktop& desktop)
    : QWidget(parent), trazor_(trazor), desktop_(desktop) {
    setObjectName(QStringLiteral("BusRows"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&trazor_, &TTrazor::pictureChanged, this, qOverload<>(&QWidget::update));
}

void BusRows::SetBuses(std::vector<trazor::BusDef> buses) {
    buses_ = std::move(buses);
    update();
}

std::vector<SamplePyramid::Span> BusRows::columns() const {
    const trazor::ViewGeometry view = trazor_.View();
    const int columns = std::max(0, width() - view.originX);
    return trazor::summarizeColumns(trazor_.Buffer(), trazor_.Pyramid(), view.cellsPos,
                                    trazor_.Scale(), columns);
}

std::vector<trazor::BusSegment> BusRows::Segments(int bus) const {
    if (bus < 0 || bus >= int(buses_.size())) return {};
    return trazor::busSegments(columns(), buses_[std::size_t(bus)].lines);
}

void BusRows::paintEvent(QPaintEvent*) {
    guard::Run(&desktop_, [this] {
        QPainter painter(this);
        const TTrazorproperty& opt = trazor_.Option();
        painter.fillRect(rect(), colors::toQColor(opt.ColorBackground()));
        if (buses_.empty()) return;
        const int gx = trazor_.View().originX;
        const QColor text = colors::toQColor(opt.ColorFont());
        const QFont font = trazor::Canvas::nameFont();
        painter.setFont(font);
        const QFontMetrics metrics(font);
        const std::vector<SamplePyramid::Span> spans = columns();
        for (int b = 0; b < int(buses_.size()); ++b) {
            const trazor::BusDef& bus = buses_[std::size_t(b)];
            const int top = b * RowHeight + kMargin;
            const int bottom = (b + 1) * RowHeight - kMargin;
            const int mid = (top + bottom) / 2;
            const QColor color =
                colors::toQColor(opt.DigiColor().Get(bus.lines.empty() ? 0 : bus.lines.front()));
            painter.setPen(text);
            painter.drawText(QRect(2, top - kMargin, gx - 4, RowHeight), Qt::AlignVCenter,
                             metrics.elidedText(bus.name, Qt::ElideRight, gx - 4));
            for (const trazor::BusSegment& s : trazor::busSegments(spans, bus.lines)) {
                const int xs = gx + s.first;
                const int xe = gx + s.end;
                if (!s.value) {
                    painter.fillRect(QRect(xs, top, xe - xs, bottom - top + 1), color);
                    continue;
                }
                const int slant = std::min(kSlant, (xe - xs) / 2);
                painter.setPen(color);
                painter.drawPolygon(QPolygon(
                    {QPoint(xs, mid), QPoint(xs + slant, top), QPoint(xe - slant, top),
                     QPoint(xe, mid), QPoint(xe - slant, bottom), QPoint(xs + slant, bottom)}));
                const QString hex = trazor::busHex(*s.value, int(bus.lines.size()));
                if (metrics.horizontalAdvance(hex) + 2 * slant > xe - xs) continue;
                painter.setPen(text);
                painter.drawText(QRect(xs, top, xe - xs, bottom - top + 1), Qt::AlignCenter, hex);
            }
        }
    });
}
