#include "decodeview/AnnotationRowsView.h"

#include "decodeview/RowNames.h"
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
    layOutNames();
    update();
}

void AnnotationRowsView::SetView(const decodeview::RowView& view) {
    if (view == view_) return;
    const bool margin = view.originX != view_.originX;
    view_ = view;
    if (margin) layOutNames();
    update();
}

void AnnotationRowsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) guard::Run(nullptr, [this] { layOutNames(); });
}

int AnnotationRowsView::lineStep() const {
    // Two lines fill a row of the least height, as they always did.
    const QFontMetrics fm(font());
    return std::max(fm.height(), kRowHeight - 2 - fm.height());
}

void AnnotationRowsView::layOutNames() {
    const QFontMetrics fm(font());
    const int width = std::max(1, view_.originX - 4);
    const auto advance = [&fm](const QString& s) { return fm.horizontalAdvance(s); };
    names_.clear();
    tops_.assign(1, 0);
    for (std::size_t r = 0; r < shownRows_.size(); ++r) {
        const auto& row = source_->Rows()[std::size_t(shownRows_[r])];
        names_.push_back(decodeview::NameLines(QString::fromStdString(row.instance),
                                               QString::fromStdString(row.rowDesc), width,
                                               advance));
        tops_.push_back(tops_.back() + decodeview::RowHeightFor(int(names_.back().size()),
                                                                lineStep(), kRowHeight));
    }
    updateGeometry();
}

std::optional<std::size_t> AnnotationRowsView::rowAt(int y) const {
    if (y < 0) return std::nullopt;
    const auto after = std::upper_bound(tops_.begin(), tops_.end(), y);
    if (after == tops_.begin() || after == tops_.end()) return std::nullopt;
    return std::size_t(after - tops_.begin() - 1);
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
        const int top = tops_[r];
        const int height = tops_[r + 1] - top;
        const int row = shownRows_[r];
        const QColor fill = RowColor(int(r));
        p.setClipRect(view.originX, top, std::max(0, right - view.originX), height);
        for (const RowItem& item : decodeview::LayoutRow(*source_, row, view)) {
            const double x0 = double(std::max<long long>(item.x0, view.originX - 2));
            const double x1 = double(std::min<long long>(item.x1, right + 2));
            const QRectF box(x0, top + 3, std::max(1.0, x1 - x0), height - 6);
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
        // The row's name in the margin, decoder above row, as many lines as it takes.
        p.setPen(Qt::darkGray);
        const int width = std::max(0, view.originX - 4);
        const int step = lineStep();
        int y = top + 1;
        for (const QString& line : names_[r]) {
            p.drawText(QRect(2, y, width, fm.height()), Qt::AlignTop | Qt::AlignLeft, line);
            y += step;
        }
        p.drawLine(0, top + height - 1, right, top + height - 1);
    }
}

std::optional<RowItem> AnnotationRowsView::ItemAt(const QPoint& pos) const {
    if (!source_ || pos.x() < view_.originX) return std::nullopt;
    const auto r = rowAt(pos.y());
    if (!r) return std::nullopt;
    decodeview::RowView view = view_;
    view.width = width();
    return decodeview::ItemAt(decodeview::LayoutRow(*source_, shownRows_[*r], view), pos.x());
}

QString AnnotationRowsView::RowNameAt(const QPoint& pos) const {
    if (!source_ || pos.x() >= view_.originX) return {};
    const auto r = rowAt(pos.y());
    if (!r) return {};
    return rowName(int(*r)).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

bool AnnotationRowsView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        guard::Run(nullptr, [this, event] {
            const auto* help = static_cast<QHelpEvent*>(event);
            QString tip = RowNameAt(help->pos());
            if (const auto item = ItemAt(help->pos())) {
                const int row = shownRows_[*rowAt(help->pos().y())];
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
