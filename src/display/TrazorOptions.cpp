#include "display/TrazorOptions.h"

#include "display/TTrazor.h"

// --- TTrazorMarker ---------------------------------------------------------

int TTrazorMarker::MOrigin() const {
    return trazor_.Markers(5).Points[0].OffsetX;
}
int TTrazorMarker::MStop() const {
    return trazor_.Markers(5).Points[1].OffsetX;
}
int TTrazorMarker::MTarget() const {
    return trazor_.Markers(5).Points[2].OffsetX;
}

// --- TTrazorColor ----------------------------------------------------------

TColor TTrazorColor::Get(int index) const {
    if (index < 0 || index > 15) return 0;
    return colors_[index];
}

void TTrazorColor::Set(int index, TColor color) {
    if (index >= 0 && index < 16) {
        if (colors_[index] == color) return;
        colors_[index] = color;
    }
    redraw();
}

void TTrazorColor::SetColordefault(TColor color) {
    if (colordefault_ == color) return;
    colordefault_ = color;
    const int digits = trazor_.Option().Digits();
    for (int i = 0; i < digits; ++i)
        Set(i, color);
    redraw();
}

void TTrazorColor::redraw() {
    trazor_.DrawScale(cellsPos_);
    trazor_.DrawBaseLines();
    trazor_.DrawSignals();
}

// --- TTrazorName -----------------------------------------------------------

TTrazorName::TTrazorName(TTrazor& trazor) : trazor_(trazor) {
    for (int i = 0; i < 16; ++i)
        names_[i] = QStringLiteral("D%1").arg(i, 2, 10, QLatin1Char('0'));
}

QString TTrazorName::Get(int index) const {
    if (index < 0 || index > 15) return QString();
    return names_[index];
}

void TTrazorName::Set(int index, const QString& text) {
    if (index >= 0 && index < 16) {
        if (names_[index] == text) return;
        names_[index] = text;
    }
    // Numbered from the shown position, so the axis matches the drawn cells.
    trazor_.DrawScale(trazor_.Option().CellsPos());
    trazor_.DrawBaseLines();
    trazor_.DrawSignals();
}

// --- TTrazorproperty -------------------------------------------------------

TTrazorproperty::TTrazorproperty(TTrazor& trazor)
    : trazor_(trazor), marker_(std::make_unique<TTrazorMarker>(trazor)),
      digiName_(std::make_unique<TTrazorName>(trazor)),
      digiColor_(std::make_unique<TTrazorColor>(trazor)) {}

TTrazorproperty::~TTrazorproperty() = default;

void TTrazorproperty::SetCopyMode(int v) {
    copyMode_ = (v < 0 || v > 255) ? 8 : v;
}

void TTrazorproperty::SetColorBackground(TColor c) {
    if (colorBackground_ == c) return;
    colorBackground_ = c;
    trazor_.ClearArea(c);
    trazor_.DrawScale(cellsPos_);
    trazor_.DrawBaseLines();
    trazor_.DrawSignals();
}

void TTrazorproperty::SetColorMarker(TColor c) {
    if (colorMarker_ == c) return;
    colorMarker_ = c;
    trazor_.SetMarkerColors(c);
    trazor_.DrawScale(cellsPos_);
    trazor_.DrawBaseLines();
    trazor_.DrawSignals();
    trazor_.DrawMarkers();
}

void TTrazorproperty::SetColorFont(TColor c) {
    if (colorFont_ == c) return;
    colorFont_ = c;
    trazor_.DrawScale(cellsPos_);
    trazor_.DrawBaseLines();
    trazor_.DrawSignals();
}

void TTrazorproperty::SetColorScale(TColor c) {
    if (colorScale_ == c) return;
    colorScale_ = c;
    trazor_.DrawScale(cellsPos_);
    trazor_.DrawBaseLines();
    trazor_.DrawSignals();
}

void TTrazorproperty::SetCellsSize(int v) {
    // The buffer cannot take a negative size.
    if (v < 0 || v == cellsSize_) return;
    v = v / 256 * 256;
    if (v != cellsSize_) trazor_.ResizeBuffer(v);
    cellsSize_ = v;
}

void TTrazorproperty::SetCellsPos(int v) {
    if (v == cellsPos_) return;
    trazor_.SettleDrawing();
    cellsPos_ = v;
    if (cellsPos_ < 0) cellsPos_ = 0;
    if (cellsPos_ > cellsSize_) cellsPos_ = cellsSize_;
    digiColor_->MirrorCellsPos(cellsPos_);
    trazor_.OptionViewChanged();
}

void TTrazorproperty::SetTimefactor(int v) {
    if (v == timefactor_) return;
    trazor_.SettleDrawing();
    timefactor_ = v;
}

void TTrazorproperty::SetDigits(int v) {
    if (v != digits_) digits_ = (v >= 1 && v <= 16) ? v : 16;
    trazor_.OptionDigitsChanged(digits_);
}

void TTrazorproperty::SetTimeScale(int v) {
    if (v != timeScale_) timeScale_ = v < 1 ? 1 : v;
    redrawScale();
}

void TTrazorproperty::SetTimeStep(int v) {
    const int before = timeStep_;
    if (v != timeStep_) timeStep_ = (v >= 2 && v <= 102) ? v : 10;
    // A zoom step replaces a zoomed-out view.
    const bool leftView = trazor_.LeaveZoomOut();
    redrawScale();
    if (timeStep_ != before || leftView) trazor_.OptionViewChanged();
}

void TTrazorproperty::SetTimeUnit(const QString& unit) {
    if (unit == timeUnit_) return;
    timeUnit_ = unit;
    redrawScale();
}

void TTrazorproperty::redrawScale() {
    trazor_.OptionScaleChanged();
}
