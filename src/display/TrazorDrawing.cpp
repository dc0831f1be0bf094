// Drawing of the diagram into the bitmap: background, names, time axis,
// base lines and waveforms.
#include "display/TTrazor.h"

#include "display/TrazorCanvas.h"

using trazor::Canvas;

void TTrazor::DrawLine(int x1, int y1, int x2, int y2, TColor color) {
    canvas().stroke(x1, y1, x2, y2, color);
    update();
}

void TTrazor::DrawVerticalText(int x, int y, const QString& text, int escapement) {
    canvas().rotatedText(x, y, text, Canvas::rotatedFont(), option_->ColorFont(), escapement);
    update();
}

void TTrazor::ClearArea(TColor color) {
    if (!ready_ || deferPass(Pass::Clear, color)) return;
    shownPos_ = -1;
    canvas().fill(pictureRect(), color);
    pictureDrawn();
}

void TTrazor::DrawScale(int startCell) {
    if (!ready_ || deferPass(Pass::Scale, static_cast<std::uint32_t>(startCell))) return;
    shownPos_ = -1;
    Canvas canvas = this->canvas();
    drawScaleOn(canvas, startCell);
    pictureDrawn();
}

void TTrazor::drawNamesOn(Canvas& canvas) {
    const TTrazorproperty& opt = *option_;
    const TLineVariable& lines = *lineOption_;
    const TColor font = opt.ColorFont();
    canvas.fill(pictureRect(), opt.ColorBackground());

    const QFont nameFont = Canvas::nameFont();
    const QFont markFont = Canvas::markFont();
    // Level marks are offset by a third and a half of their point size.
    constexpr int MarkSize = 6;
    const int textLength = std::max(0, lines.Text_length());
    for (int r = 0; r < opt.Digits(); ++r) {
        const trazor::LineRow& row = lines.Row(r);
        canvas.text(2, row.TextY, opt.DigiName().Get(r).left(textLength), nameFont, font);
        canvas.text(57, row.HighY - MarkSize / 3, QStringLiteral("H"), markFont, font);
        canvas.text(57, row.TextY + MarkSize / 2, QStringLiteral("L"), markFont, font);
    }
}

void TTrazor::countVisibleCells(int cells) {
    const bool moreOrFewer = visibleCells_ != cells;
    visibleCells_ = cells;
    if (moreOrFewer) emit viewChanged();
}

void TTrazor::drawScaleOn(Canvas& canvas, int startCell) {
    if (TrueTimeAxis()) {
        drawTimeAxisOn(canvas, startCell);
        return;
    }
    const TTrazorproperty& opt = *option_;
    const TLineVariable& lines = *lineOption_;
    const TColor font = opt.ColorFont();
    drawNamesOn(canvas);
    const QFont nameFont = Canvas::nameFont();

    const int width = pictureRect().width();
    const int yAxis = trazor::axisY(lines.Line_distance(), opt.Digits(), lines.Line_Maxhigh());
    canvas.stroke(10, yAxis, width, yAxis, opt.ColorScale());

    const trazor::ScaleLayout layout =
        trazor::layoutScale(lines.Global_Xpos(), opt.TimeStep(), cellWidth(), width, startCell);
    for (const trazor::Tick& tick : layout.ticks) {
        canvas.stroke(tick.x, yAxis, tick.x, yAxis - tick.halfHeight, opt.ColorScale());
        canvas.stroke(tick.x, yAxis - tick.halfHeight, tick.x, yAxis + tick.halfHeight + 1,
                      opt.ColorScale());
    }
    const QFont labelFont = Canvas::rotatedFont();
    shownAxis_.labels.clear();
    for (const trazor::Tick& tick : layout.ticks) {
        if (!tick.labelled) continue;
        const QString label = QString::number(opt.TimeScale() * tick.cell);
        canvas.rotatedText(tick.x + 7, yAxis + 10, label, labelFont, font, 2700);
        shownAxis_.labels.push_back(label);
    }
    countVisibleCells(layout.visibleCells);

    // Unit legend: "t" centred over a rule, the time per cell below it.
    const QString factor = QString::number(opt.Timefactor());
    const int w = canvas.textWidth(factor, nameFont) +
                  canvas.textWidth(QStringLiteral(" "), nameFont) +
                  canvas.textWidth(opt.TimeUnit(), nameFont) + 4;
    const QString t = QStringLiteral("t");
    canvas.text((w - canvas.textWidth(t, nameFont)) / 2 + 7, yAxis + 10, t, nameFont, font);
    canvas.stroke(5, yAxis + 25, w + 5, yAxis + 25, font);
    shownAxis_.legend = factor + u' ' + opt.TimeUnit();
    canvas.text(7, yAxis + 25, shownAxis_.legend, nameFont, font);
}

void TTrazor::DrawBaseLines() {
    if (!ready_ || deferPass(Pass::BaseLines)) return;
    idle_ = false;
    Canvas canvas = this->canvas();
    const int gx = lineOption_->Global_Xpos();
    const int width = pictureRect().width();
    for (int r = 0; r < option_->Digits(); ++r) {
        const int y = lineOption_->Row(r).LowY;
        canvas.stroke(gx, y, width, y, option_->DigiColor().Get(r));
    }
    pictureDrawn();
    idle_ = true;
}

void TTrazor::DrawSignals() {
    if (!ready_ || deferPass(Pass::Signals)) return;
    idle_ = false;
    if (outScale_) {
        Canvas canvas = this->canvas();
        drawColumnsOn(canvas);
    } else {
        Canvas canvas = this->canvas();
        const TTrazorproperty& opt = *option_;
        const int gx = lineOption_->Global_Xpos();
        const int cw = cellWidth();
        const int maxHigh = lineOption_->Line_Maxhigh();
        const int pos = opt.CellsPos();
        const TColor background = opt.ColorBackground();
        const int digits = opt.Digits();
        // After a one-cell shift, cells lying wholly in the carried-over part
        // are already on the bitmap.
        const bool skipCarried = shiftClip_ && !shiftValid_.isEmpty() &&
                                 lineOption_->Row(digits - 1).LowY <= shiftValid_.bottom();
        for (int i = 0; i <= visibleCells_; ++i) {
            const int cell = pos + i;
            const int xs = gx + cw * i;
            const int xe = xs + cw;
            if (skipCarried && xs >= shiftValid_.left() && xe <= shiftValid_.right()) continue;
            for (int r = 0; r < digits; ++r) {
                const TColor color = opt.DigiColor().Get(r);
                // A line coloured like the background is hidden.
                if (color == background) continue;
                const int yL = lineOption_->Row(r).LowY;
                const int yH = lineOption_->Row(r).HighY;
                if (!cellBit(cell, r)) {
                    // The base line shows the low level; the first cell draws it anyway.
                    if (i == 0) canvas.stroke(xs, yL, xe, yL, color);
                    continue;
                }
                canvas.stroke(xs, yL, xe, yL, background);
                if (!cellBit(cell - 1, r) || (i == 0 && pos == 0))
                    canvas.stroke(xs, yL, xs, yH, color);
                canvas.stroke(xs, yH, xe, yH, color);
                if (!cellBit(cell + 1, r))
                    canvas.stroke(xe, yH, xe, yL, color);
                else
                    canvas.stroke(xs, yL - maxHigh, xe, yL - maxHigh, color);
            }
        }
    }
    DrawMarkers();
    pictureDrawn();
    shownPos_ = option_->CellsPos();
    idle_ = true;
}

void TTrazor::pictureDrawn() {
    update();
    emit pictureChanged();
}

void TTrazor::Redraw() {
    const DeferredDrawing once(*this); // the scale's fill covers the clearing
    ClearArea(option_->ColorBackground());
    // The axis is numbered from the shown position: the signals that callers
    // draw next come from there too.
    DrawScale(option_->CellsPos());
    DrawBaseLines();
}

void TTrazor::RedrawFrame() {
    drawMode_ = 2;
    DrawScale(0);
    DrawBaseLines();
    drawMode_ = 3;
}
