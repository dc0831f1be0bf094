// The views beyond the narrowest zoom step and the time axis taken from the
// buffer's time base.
#include "display/TTrazor.h"

#include "display/ColumnSummary.h"
#include "display/TimeAxis.h"
#include "display/TrazorCanvas.h"

#include <algorithm>
#include <limits>

using trazor::Canvas;

namespace {
// Axis labels of the time base stand at least this far apart.
constexpr int kLabelSpacing = 40;
// A label is drawn downward from 7 pixels right of its tick, its character
// cell reaching left from there.
constexpr int kLabelOffset = 7;
// The display's own time options at a port recording's 10 µs per cell: the
// axis they draw (TimeScale x cell, "10 µs") is the true one.
constexpr int kNominalFactor = 10;
constexpr std::int64_t kNominalPeriodPs = 10'000'000;
} // namespace

trazor::ViewScale TTrazor::Scale() const {
    if (outScale_) return *outScale_;
    return {cellWidth(), 1};
}

void TTrazor::SetZoomOut(std::optional<trazor::ViewScale> scale) {
    if (scale && (scale->cellWidth <= 0 || scale->cellsPerColumn <= 0)) scale.reset();
    const bool changed = outScale_ != scale;
    outScale_ = scale;
    if (!ready_) return;
    drawMode_ = 2;
    ClearArea(option_->ColorBackground());
    DrawScale(option_->CellsPos());
    DrawBaseLines();
    DrawSignals();
    drawMode_ = 3;
    if (changed) emit viewChanged();
}

void TTrazor::SetAxisFollowsTimeBase(bool on) {
    SettleDrawing();
    axisFollowsTimeBase_ = on;
}

bool TTrazor::TrueTimeAxis() const {
    if (outScale_) return true;
    if (!axisFollowsTimeBase_) return false;
    const TTrazorproperty& opt = *option_;
    const bool optionsAreNominal = opt.Timefactor() == kNominalFactor &&
                                   opt.TimeScale() == kNominalFactor &&
                                   opt.TimeUnit() == QStringLiteral("µs");
    return !(optionsAreNominal && buffer_.GetTimeBase().period.Picoseconds() == kNominalPeriodPs);
}

void TTrazor::drawTimeAxisOn(Canvas& canvas, int startCell) {
    const TTrazorproperty& opt = *option_;
    const TLineVariable& lines = *lineOption_;
    const TColor font = opt.ColorFont();
    drawNamesOn(canvas);

    const int width = pictureRect().width();
    const int gx = lines.Global_Xpos();
    const int yAxis = trazor::axisY(lines.Line_distance(), opt.Digits(), lines.Line_Maxhigh());
    canvas.stroke(10, yAxis, width, yAxis, opt.ColorScale());

    const trazor::ViewScale scale = Scale();
    const trazor::TimeAxisLayout layout = trazor::layoutTimeAxis(
        {startCell, scale, gx, width, kLabelOffset, buffer_.TriggerCell().value_or(0)},
        buffer_.GetTimeBase().period, kLabelSpacing);
    for (const trazor::TimeTick& tick : layout.ticks) {
        const int h = tick.labelled ? 5 : 2;
        canvas.stroke(tick.x, yAxis - h, tick.x, yAxis + h + 1, opt.ColorScale());
    }
    const QFont labelFont = Canvas::rotatedFont();
    shownAxis_.labels.clear();
    for (const trazor::TimeTick& tick : layout.ticks) {
        if (tick.label.isEmpty()) continue;
        canvas.rotatedText(tick.x + kLabelOffset, yAxis + 10, tick.label, labelFont, font, 2700);
        shownAxis_.labels.push_back(tick.label);
    }
    countVisibleCells(int(std::min<long long>(scale.cellsIn(std::max(0, width - 1 - gx)),
                                              std::numeric_limits<int>::max())));

    // Legend as at the zoom steps, with the labels' unit under the rule.
    const QFont nameFont = Canvas::nameFont();
    const int w = canvas.textWidth(layout.unit, nameFont) + 4;
    const QString t = QStringLiteral("t");
    canvas.text((w - canvas.textWidth(t, nameFont)) / 2 + 7, yAxis + 10, t, nameFont, font);
    canvas.stroke(5, yAxis + 25, w + 5, yAxis + 25, font);
    shownAxis_.legend = layout.unit;
    canvas.text(7, yAxis + 25, layout.unit, nameFont, font);
}

// Each line column by column: low columns leave the base line, high ones
// stand at the high level with edges where the level changes, and columns in
// which the line toggles are filled from low to high as one band.
void TTrazor::drawColumnsOn(Canvas& canvas) {
    const TTrazorproperty& opt = *option_;
    const int gx = lineOption_->Global_Xpos();
    const int width = pictureRect().width();
    const int columns = std::max(0, width - gx);
    const std::vector<SamplePyramid::Span> spans =
        longCapture_
            ? longCapture_->Columns(opt.CellsPos(), *outScale_, columns)
            : trazor::summarizeColumns(buffer_, Pyramid(), opt.CellsPos(), *outScale_, columns);
    const TColor background = opt.ColorBackground();
    using trazor::ColumnLevel;
    for (int r = 0; r < opt.Digits(); ++r) {
        const TColor color = opt.DigiColor().Get(r);
        if (color == background) continue;
        const int yL = lineOption_->Row(r).LowY;
        const int yH = lineOption_->Row(r).HighY;
        // The edge at the origin is drawn where the cell before the view is low.
        const int pos = opt.CellsPos();
        ColumnLevel before = pos > 0 && cellBit(pos - 1, r) ? ColumnLevel::High : ColumnLevel::Low;
        int c = 0;
        while (c < columns) {
            const ColumnLevel level = trazor::levelOf(spans[std::size_t(c)], r);
            int end = c + 1;
            while (end < columns && trazor::levelOf(spans[std::size_t(end)], r) == level)
                ++end;
            const int xs = gx + c;
            const int xe = gx + end;
            if (level == ColumnLevel::High) {
                canvas.stroke(xs, yL, xe, yL, background);
                if (before == ColumnLevel::Low) canvas.stroke(xs, yL, xs, yH, color);
                canvas.stroke(xs, yH, xe, yH, color);
                const bool lowAfter = end < columns && trazor::levelOf(spans[std::size_t(end)],
                                                                       r) == ColumnLevel::Low;
                if (lowAfter) canvas.stroke(xe, yH, xe, yL, color);
            } else if (level == ColumnLevel::Toggling) {
                canvas.fill(QRect(xs, yH, xe - xs, yL - yH + 1), color);
            }
            before = level;
            c = end;
        }
    }
}
