#include "decodeview/AnnotationRowsView.h"
#include "platform/Guard.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace {

// Distinct, light fills so the black text stays readable; one per row.
QColor RowColor(int row) {
    static constexpr int hues[] = {210, 120, 30, 280, 0, 170, 60, 330};
    return QColor::fromHsv(hues[row % 8], 70, 245);
}

} // namespace

AnnotationRowsView::AnnotationRowsView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AnnotationRows"));
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void AnnotationRowsView::SetResult(const sigrokdecode::DecodeResult* result) {
    result_ = result;
    shownRows_.clear();
    index_.clear();
    if (result_) {
        shownRows_ = result_->UsedRows();
        index_.resize(shownRows_.size());
        std::vector<int> slot(result_->rows.size(), -1);
        for (std::size_t i = 0; i < shownRows_.size(); ++i)
            slot[shownRows_[i]] = int(i);
        // Annotations are in start order, so each row's list is too.
        for (std::size_t i = 0; i < result_->annotations.size(); ++i) {
            const auto& a = result_->annotations[i];
            RowIndex& row = index_[slot[a.row]];
            row.byStart.push_back(i);
            row.longest = std::max(row.longest, a.end - std::min(a.start, a.end));
        }
    }
    setFixedHeight(std::max<int>(1, int(shownRows_.size())) * kRowHeight);
    updateGeometry();
    update();
}

void AnnotationRowsView::SetMapping(const decodeview::CellMapping& mapping) {
    if (mapping == mapping_) return;
    mapping_ = mapping;
    update();
}

QSize AnnotationRowsView::sizeHint() const {
    return {600, std::max<int>(1, int(shownRows_.size())) * kRowHeight};
}

std::pair<std::size_t, std::size_t> AnnotationRowsView::visibleRange(const RowIndex& row) const {
    const auto& anns = result_->annotations;
    const std::int64_t first =
        std::max<std::int64_t>(0, mapping_.firstCell - std::int64_t(row.longest));
    const std::int64_t last = mapping_.LastCell() + 1;
    const auto begin = std::lower_bound(
        row.byStart.begin(), row.byStart.end(), first,
        [&](std::size_t i, std::int64_t c) { return std::int64_t(anns[i].start) < c; });
    const auto end =
        std::lower_bound(begin, row.byStart.end(), last, [&](std::size_t i, std::int64_t c) {
            return std::int64_t(anns[i].start) < c;
        });
    return {std::size_t(begin - row.byStart.begin()), std::size_t(end - row.byStart.begin())};
}

void AnnotationRowsView::paintEvent(QPaintEvent*) {
    guard::Run(nullptr, [this] { paintRows(); });
}

void AnnotationRowsView::paintRows() {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!result_) return;
    const QFontMetrics fm(font());
    const int right = width();
    for (std::size_t r = 0; r < shownRows_.size(); ++r) {
        const int top = int(r) * kRowHeight;
        const QColor fill = RowColor(int(r));
        const auto [from, to] = visibleRange(index_[r]);
        p.setClipRect(mapping_.originX, top, right - mapping_.originX, kRowHeight);
        for (std::size_t k = from; k < to; ++k) {
            const auto& a = result_->annotations[index_[r].byStart[k]];
            const double x0 =
                std::max<double>(mapping_.XOf(std::int64_t(a.start)), mapping_.originX - 2);
            const double x1 = std::min<double>(
                mapping_.XOf(std::int64_t(std::max(a.end, a.start + 1))), right + 2);
            if (x1 < mapping_.originX || x0 > right) continue;
            const QRectF box(x0, top + 2, std::max(1.0, x1 - x0), kRowHeight - 4);
            p.setPen(fill.darker(160));
            p.setBrush(fill);
            p.drawRoundedRect(box, 3, 3);
            const int room = int(box.width()) - 6;
            if (room < fm.averageCharWidth()) continue;
            // The longest of the decoder's texts that fits, else the longest elided.
            QString text;
            for (const auto& t : a.texts) {
                const QString candidate = QString::fromStdString(t);
                if (fm.horizontalAdvance(candidate) <= room) {
                    text = candidate;
                    break;
                }
            }
            if (text.isEmpty())
                text = fm.elidedText(QString::fromStdString(a.texts.empty() ? "" : a.texts.back()),
                                     Qt::ElideRight, room);
            p.setPen(Qt::black);
            p.drawText(box, Qt::AlignCenter, text);
        }
        p.setClipping(false);
        // The row's name in the margin left of the diagram's origin.
        const auto& row = result_->rows[shownRows_[r]];
        const QString label =
            fm.elidedText(QString::fromStdString(row.instance + " " + row.rowDesc), Qt::ElideRight,
                          std::max(0, mapping_.originX - 4));
        p.setPen(Qt::darkGray);
        p.drawText(QRect(2, top, std::max(0, mapping_.originX - 4), kRowHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, label);
        p.drawLine(0, top + kRowHeight - 1, right, top + kRowHeight - 1);
    }
}

const sigrokdecode::Annotation* AnnotationRowsView::AnnotationAt(const QPoint& pos) const {
    if (!result_ || pos.y() < 0 || pos.x() < mapping_.originX) return nullptr;
    const std::size_t r = std::size_t(pos.y() / kRowHeight);
    if (r >= shownRows_.size()) return nullptr;
    const auto [from, to] = visibleRange(index_[r]);
    const sigrokdecode::Annotation* hit = nullptr;
    for (std::size_t k = from; k < to; ++k) {
        const auto& a = result_->annotations[index_[r].byStart[k]];
        if (pos.x() >= mapping_.XOf(std::int64_t(a.start)) &&
            pos.x() <= mapping_.XOf(std::int64_t(std::max(a.end, a.start + 1))))
            hit = &a;
    }
    return hit;
}

bool AnnotationRowsView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (const auto* a = AnnotationAt(help->pos()))
            QToolTip::showText(help->globalPos(), QString::fromStdString(a->Text()), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
