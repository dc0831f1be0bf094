// Marker placement, marker lines and the two measurements.
#include "display/TTrazor.h"

#include "display/MeasuredTimes.h"
#include "display/TrazorCanvas.h"
#include "platform/Desktop.h"

namespace {
bool validMarker(int m) {
    return m >= 1 && m <= 5;
}
} // namespace

int TTrazor::PlaceMarker(int m) {
    if (!validMarker(m) || markers_[m - 1].Complete()) return trazor::PlacedNothing;
    const int cells = DrawMarkerLine(m, mouseX_);
    return StoreMarkerPoint(m, cells + option_->CellsPos());
}

int TTrazor::DrawMarkerLine(int m, int x) {
    if (!ready_ || !validMarker(m)) return 0;
    trazor::Canvas canvas = this->canvas();
    int cells = 0;
    drawMarkerLineOn(canvas, m, x, &cells);
    pictureDrawn();
    return cells;
}

void TTrazor::drawMarkerLineOn(trazor::Canvas& canvas, int m, int x, int* cells) {
    const int gx = lineOption_->Global_Xpos();
    const trazor::BoundarySnap snap =
        outScale_ ? trazor::snapToColumn(gx, *outScale_, x)
                  : trazor::snapToBoundary(gx, cellWidth(), option_->TimeStep(), x);
    const int yb = trazor::markerBaseY(lineOption_->Line_distance(), option_->Digits());
    canvas.stroke(snap.x, yb - snap.h - 8, snap.x, 10, markers_[m - 1].MarkerColor);
    canvas.rotatedText(snap.x + 13, 4, QStringLiteral("P%1").arg(m), trazor::Canvas::rotatedFont(),
                       option_->ColorFont(), 2700);
    *cells = snap.cells;
}

int TTrazor::StoreMarkerPoint(int m, int cell) {
    if (!validMarker(m)) return trazor::PlacedNothing;
    SettleDrawing();
    return trazor::storeMarkerPoint(markers_[m - 1], m, cell, option_->TimeStep(),
                                    mouseX_ - lineOption_->Global_Xpos());
}

void TTrazor::ResetMarker(int m) {
    SettleDrawing();
    if (validMarker(m)) markers_[m - 1].Reset();
}

void TTrazor::DrawMarkers() {
    if (!ready_ || deferPass(Pass::Markers)) return;
    trazor::Canvas canvas = this->canvas();
    const int gx = lineOption_->Global_Xpos();
    const trazor::ViewScale scale = Scale();
    const int pos = option_->CellsPos();
    for (int m = 1; m <= 5; ++m) {
        for (const trazor::MarkerPoint& point : markers_[m - 1].Points) {
            if (point.IsFree || point.CellIndex < pos || point.CellIndex > pos + visibleCells_)
                continue;
            int cells = 0;
            drawMarkerLineOn(canvas, m, gx + int(scale.columnsFor(point.CellIndex - pos)), &cells);
        }
    }
    pictureDrawn();
}

bool TTrazor::refusedForLongCapture(int m, int bit) {
    if (!longCapture_) return false;
    // The cells of a capture in a file are not in memory to be measured.
    desktop_.MessageBox({trazor::measurementCaption(m, bit),
                         QStringLiteral("Messungen mit Markern gehen nur mit einer Aufnahme im "
                                        "Speicher; die lange Aufnahme steht in %1.")
                             .arg(QString::fromStdString(longCapture_->Path())),
                         Desktop::Icon::Information, Desktop::Ok});
    return true;
}

void TTrazor::ShowTimeMeasurement(int m, int bit) {
    if (!validMarker(m) || refusedForLongCapture(m, bit)) return;
    const trazor::MarkerIntervals iv = trazor::measureIntervals(markers_[m - 1], buffer_, bit);
    desktop_.MessageBox(
        {trazor::measurementCaption(m, bit),
         trazor::timeMeasurementText(iv, option_->Timefactor(), option_->TimeUnit()) +
             trazor::measuredTimeNote(iv, buffer_.GetTimeBase(), option_->Timefactor(),
                                      option_->TimeUnit()),
         Desktop::Icon::None, Desktop::Ok});
}

void TTrazor::ShowFrequency(int m, int bit) {
    if (!validMarker(m) || refusedForLongCapture(m, bit)) return;
    const trazor::MarkerIntervals iv = trazor::measureIntervals(markers_[m - 1], buffer_, bit);
    desktop_.MessageBox(
        {trazor::measurementCaption(m, bit),
         trazor::frequencyText(iv, option_->Timefactor(), option_->TimeUnit()) +
             trazor::measuredFrequencyNote(iv, buffer_.GetTimeBase(), option_->Timefactor(),
                                           option_->TimeUnit()),
         Desktop::Icon::None, Desktop::Ok});
}
