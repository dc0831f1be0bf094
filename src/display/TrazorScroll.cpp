// Scrolling by whole cells and the zoom step.
#include "display/TTrazor.h"

#include "display/TrazorCanvas.h"

#include <algorithm>
#include <cstring>

bool TTrazor::shiftActive() const {
    return !outScale_ && option_->TimeStep() <= option_->CopyMode();
}

void TTrazor::Scroll(int direction, int count) {
    if (!ready_) return;
    SettleDrawing(); // the shift below starts from the picture as drawn
    const int oldPos = option_->CellsPos();
    const long long wanted = direction == 0 ? (long long)oldPos - count : (long long)oldPos + count;
    const int newPos = static_cast<int>(std::clamp<long long>(wanted, 0, option_->CellsSize()));
    bool markersPlaced = false;
    for (const auto& marker : markers_)
        for (const auto& point : marker.Points)
            markersPlaced |= !point.IsFree;
    // The bitmap shift only pays while cells are narrow. It needs the complete
    // diagram of the old position on the bitmap (callers may move CellsPos
    // before scrolling), and is skipped when the view does not really move by
    // one cell (at either end of the buffer) and when markers are placed,
    // whose labels reach across cell boundaries.
    const bool shift = shiftActive() && count == 1 && std::abs(newPos - oldPos) == 1 &&
                       shownPos_ == oldPos && bitmap_.size() == bitmapSize() && !markersPlaced;
    if (shift) {
        drawMode_ = static_cast<std::uint8_t>(direction == 0 ? 0 : 1);
        shiftBitmap(direction);
    } else {
        drawMode_ = 2;
    }
    option_->SetCellsPos(newPos);
    DrawScale(option_->CellsPos());
    DrawBaseLines();
    DrawSignals();
    shiftClip_.reset();
    shiftValid_ = QRect();
    drawMode_ = 3;
}

void TTrazor::ScrollForward(int count) {
    if (ready_ && option_->CellsPos() <= option_->CellsSize()) Scroll(1, count);
}

void TTrazor::ScrollBack(int count) {
    if (ready_ && option_->CellsPos() > 0) Scroll(0, count);
}

void TTrazor::ChangeTimeStep(int delta) {
    drawMode_ = 2;
    option_->SetTimeStep(option_->TimeStep() + delta);
    DrawSignals();
    drawMode_ = 3;
}

// Moves the diagram by one cell inside the bitmap and limits the following
// drawing pass to what the moved picture cannot show correctly: the left
// strip with the names, the cells at both ends, and everything below the rows.
void TTrazor::shiftBitmap(int direction) {
    const int gx = lineOption_->Global_Xpos();
    const int cw = cellWidth();
    const int v = visibleCells_;
    const int digits = option_->Digits();
    const int bottom = lineOption_->Line_high() + 12 + lineOption_->Row(digits - 1).BaseY;
    const int yAxis =
        trazor::axisY(lineOption_->Line_distance(), digits, lineOption_->Line_Maxhigh());
    // Axis labels start 10 pixels below the axis and change with the position.
    const int rowsEnd = std::min({bottom + 1, yAxis + 10, pictureRect().height()});
    const int width = pictureRect().width();

    const int src = direction == 1 ? gx + cw : gx;
    const int dst = direction == 1 ? gx : gx + cw;
    int length = 1 + (v - 1) * cw;
    // Keep both ranges inside the bitmap.
    const int from = std::max({0, -src, -dst});
    length = std::min({length, width - src, width - dst}) - from;
    if (length > 0 && rowsEnd > 0) {
        // The bitmap holds ratio x ratio device pixels for every pixel here.
        const int r = pixelRatio();
        for (int y = 0; y < rowsEnd * r; ++y) {
            auto* line = reinterpret_cast<QRgb*>(bitmap_.scanLine(y));
            std::memmove(line + (dst + from) * r, line + (src + from) * r,
                         sizeof(QRgb) * length * r);
        }
    }

    // Names and level marks stay where they are and may reach right of the
    // origin; antialiased glyphs can spill a pixel past their bounding box.
    const QFontMetrics nameMetrics(trazor::Canvas::nameFont(), &bitmap_);
    const QFontMetrics markMetrics(trazor::Canvas::markFont(), &bitmap_);
    int textEnd = 57 +
                  std::max(markMetrics.boundingRect(QStringLiteral("H")).right(),
                           markMetrics.boundingRect(QStringLiteral("L")).right()) +
                  2;
    const int textLength = std::max(0, lineOption_->Text_length());
    for (int r = 0; r < digits; ++r) {
        const QString name = option_->DigiName().Get(r).left(textLength);
        textEnd = std::max(textEnd, 2 + nameMetrics.boundingRect(name).right() + 2);
    }

    // The first column of the moved picture and its last boundary carry edges
    // drawn by cells that are no longer their neighbours; they are redrawn.
    // A back shift also carries text pixels one cell to the right.
    const int validLeft =
        direction == 1 ? std::max(gx + 1, textEnd) : std::max(gx + 1, textEnd) + cw;
    const int validRight = direction == 1 ? gx + (v - 1) * cw : gx + v * cw;
    shiftValid_ = QRect();
    if (validRight > validLeft && rowsEnd > 0)
        shiftValid_ = QRect(validLeft, 0, validRight - validLeft, rowsEnd);
    shiftClip_ = QRegion(pictureRect()) - QRegion(shiftValid_);
}
