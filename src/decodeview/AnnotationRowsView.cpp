#include "decodeview/AnnotationRowsView.h"

#include "platform/Guard.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

using decodeview::RowItem;

namespace {

// Distinct, light fills so the black text stays readable; one per row.
QColor RowColor(int row) {
    static constexpr int hues[] = {210, 120, 30, 280, 0, 170, 60, 330};
    return QColor::fromHsv(hues[row % 8], 70, 245);
}

QString FromView(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

AnnotationRowsView::AnnotationRowsView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AnnotationRows"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
}

void AnnotationRowsView::SetSource(const sigrokdecode::AnnotationSource* source) {
    source_ = source;
    shownRows_ = source_ ? source_->UsedRows() : std::vector<int>{};
    updateGeometry();
    update();
}

void AnnotationRowsView::SetView(const decodeview::RowView& view) {
    if (view == view_) return;
    view_ = view;
    update();
}

QSize AnnotationRowsView::sizeHint() const {
    return {600, std::max(1, RowsHeight())};
}

QString AnnotationRowsView::rowName(int shown) const {
    const auto& row = source_->Rows()[std::size_t(shownRows_[std::size_t(shown)])];
    return QString::fromStdString(row.instance) + QLatin1Char('\n') +
           QString::fromStdString(row.rowDesc);
}

void AnnotationRowsView::paintEvent(QPaintEvent*) {
    guard::Run(nullptr, [this] { paintRows(); });
}

void AnnotationRowsView::paintRows() {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!source_) return;
    const QFontMetrics fm(font());
    const int right = width();
    decodeview::RowView view = view_;
    view.width = right;
    for (std::size_t r = 0; r < shownRows_.size(); ++r) {
        const int top = int(r) * kRowHeight;
        const int row = shownRows_[r];
        const QColor fill = RowColor(int(r));
        p.setClipRect(view.originX, top, std::max(0, right - view.originX), kRowHeight);
        for (const RowItem& item : decodeview::LayoutRow(*source_, row, view)) {
            const double x0 = double(std::max<long long>(item.x0, view.originX - 2));
            const double x1 = double(std::min<long long>(item.x1, right + 2));
            const QRectF box(x0, top + 3, std::max(1.0, x1 - x0), kRowHeight - 6);
            if (item.band) {
                // Too many to read: one band, as dark as a box's edge.
                p.fillRect(box, fill.darker(130));
                continue;
            }
            p.setPen(fill.darker(160));
            p.setBrush(fill);
            p.drawRoundedRect(box, 3, 3);
            const int room = int(box.width()) - 6;
            if (room < fm.averageCharWidth()) continue;
            // The longest of the decoder's texts that fits, else the shortest elided.
            const auto a = source_->InRow(row, item.first);
            const std::size_t count = source_->TextCount(a);
            QString text;
            for (std::size_t k = 0; k < count && text.isEmpty(); ++k) {
                const QString candidate = FromView(source_->Text(a, k));
                if (fm.horizontalAdvance(candidate) <= room) text = candidate;
            }
            if (text.isEmpty() && count > 0)
                text = fm.elidedText(FromView(source_->Text(a, count - 1)), Qt::ElideRight, room);
            p.setPen(Qt::black);
            p.drawText(box, Qt::AlignCenter, text);
        }
        p.setClipping(false);
        // The row's name in the margin: decoder on the first line, row on the second.
        const QRect label(2, top, std::max(0, view.originX - 4), kRowHeight);
        const QStringList lines = rowName(int(r)).split(QLatin1Char('\n'));
        p.setPen(Qt::darkGray);
        p.drawText(label.adjusted(0, 1, 0, 0), Qt::AlignTop | Qt::AlignLeft,
                   fm.elidedText(lines.value(0), Qt::ElideRight, label.width()));
        p.drawText(label.adjusted(0, 0, 0, -1), Qt::AlignBottom | Qt::AlignLeft,
                   fm.elidedText(lines.value(1), Qt::ElideRight, label.width()));
        p.drawLine(0, top + kRowHeight - 1, right, top + kRowHeight - 1);
    }
}

std::optional<RowItem> AnnotationRowsView::ItemAt(const QPoint& pos) const {
    if (!source_ || pos.y() < 0 || pos.x() < view_.originX) return std::nullopt;
    const std::size_t r = std::size_t(pos.y() / kRowHeight);
    if (r >= shownRows_.size()) return std::nullopt;
    decodeview::RowView view = view_;
    view.width = width();
    return decodeview::ItemAt(decodeview::LayoutRow(*source_, shownRows_[r], view), pos.x());
}

QString AnnotationRowsView::RowNameAt(const QPoint& pos) const {
    if (!source_ || pos.y() < 0 || pos.x() >= view_.originX) return {};
    const std::size_t r = std::size_t(pos.y() / kRowHeight);
    if (r >= shownRows_.size()) return {};
    return rowName(int(r)).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

bool AnnotationRowsView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        guard::Run(nullptr, [this, event] {
            const auto* help = static_cast<QHelpEvent*>(event);
            QString tip = RowNameAt(help->pos());
            if (const auto item = ItemAt(help->pos())) {
                const int row = shownRows_[std::size_t(help->pos().y() / kRowHeight)];
                tip = item->band
                          ? (item->count == 1 ? QStringLiteral("1 Annotation")
                                              : QStringLiteral("%1 Annotationen").arg(item->count))
                          : FromView(source_->Text(source_->InRow(row, item->first)));
            }
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), tip, this);
        });
        return true;
    }
    return QWidget::event(event);
}
