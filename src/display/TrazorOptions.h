#pragma once

#include "platform/Color.h"

#include <QString>
#include <array>
#include <memory>

class TTrazor;

// Option.Marker: reports the offsets of marker record 5, which nothing places.
class TTrazorMarker {
  public:
    explicit TTrazorMarker(TTrazor& trazor) : trazor_(trazor) {}

    int MOrigin() const;
    int MStop() const;
    int MTarget() const;
    // The written values are kept but read by nothing.
    void SetMOrigin(int v) { origin_ = v; }
    void SetMStop(int v) { stop_ = v; }
    void SetMTarget(int v) { target_ = v; }

  private:
    TTrazor& trazor_;
    int origin_ = 0, stop_ = 0, target_ = 0;
};

// Option.DigiColor: one colour per line.
class TTrazorColor {
  public:
    explicit TTrazorColor(TTrazor& trazor) : trazor_(trazor) {}

    // Index above 15 reads 0.
    TColor Get(int index) const;
    // A colour equal to the stored one is ignored; otherwise it is stored
    // (index below 16) and the display redrawn.
    void Set(int index, TColor color);

    TColor Colordefault() const { return colordefault_; }
    // Colours lines 0 .. Digits-1 with the new default.
    void SetColordefault(TColor color);

    // Scroll position the colour redraws start from; kept by Option.CellsPos.
    void MirrorCellsPos(int cellsPos) { cellsPos_ = cellsPos; }

  private:
    void redraw();

    TTrazor& trazor_;
    std::array<TColor, 16> colors_{};
    TColor colordefault_ = 0;
    int cellsPos_ = 0;
};

// Option.DigiName: one name per line, "D00".."D15" at first.
class TTrazorName {
  public:
    explicit TTrazorName(TTrazor& trazor);

    // Index above 15 reads as empty text.
    QString Get(int index) const;
    // A name equal to the stored one is ignored; otherwise it is stored
    // (index below 16) and the display redrawn at the shown position.
    void Set(int index, const QString& text);

  private:
    TTrazor& trazor_;
    std::array<QString, 16> names_;
};

// Option: the display options. Setters clamp or replace out-of-range values
// without a report and redraw as each option needs.
class TTrazorproperty {
  public:
    explicit TTrazorproperty(TTrazor& trazor);
    ~TTrazorproperty();
    TTrazorproperty(const TTrazorproperty&) = delete;
    TTrazorproperty& operator=(const TTrazorproperty&) = delete;

    int CopyMode() const { return copyMode_; }
    TColor ColorBackground() const { return colorBackground_; }
    TColor ColorMarker() const { return colorMarker_; }
    TColor ColorFont() const { return colorFont_; }
    TColor ColorScale() const { return colorScale_; }
    int CellsSize() const { return cellsSize_; }
    int CellsPos() const { return cellsPos_; }
    int Digits() const { return digits_; }
    int TimeScale() const { return timeScale_; }
    int TimeStep() const { return timeStep_; }
    QString TimeUnit() const { return timeUnit_; }
    int Timefactor() const { return timefactor_; }

    // Outside 0..255 stored as 8.
    void SetCopyMode(int v);
    void SetColorBackground(TColor c);
    // Also recolours all five marker records.
    void SetColorMarker(TColor c);
    void SetColorFont(TColor c);
    void SetColorScale(TColor c);
    // Truncated to a multiple of 256; a change resizes and clears the buffer.
    // Negative values are ignored.
    void SetCellsSize(int v);
    // A loaded stream longer than CellsSize: the view, the scroll bar and the
    // searches reach its last cell. The buffer already holds it, so nothing
    // is resized or rounded; a shorter stream leaves CellsSize as it is.
    void CoverLoadedCells(int cells) {
        if (cells > cellsSize_) cellsSize_ = cells;
    }
    // Clamped to 0..CellsSize; no redraw (callers redraw).
    void SetCellsPos(int v);
    // 1..16, anything else 16; redraws and passes the value to the popup.
    void SetDigits(int v);
    // Below 1 stored as 1.
    void SetTimeScale(int v);
    // 2..102, anything else 10.
    void SetTimeStep(int v);
    // An unchanged unit is ignored.
    void SetTimeUnit(const QString& unit);
    void SetTimefactor(int v);

    TTrazorMarker& Marker() { return *marker_; }
    const TTrazorMarker& Marker() const { return *marker_; }
    TTrazorName& DigiName() { return *digiName_; }
    const TTrazorName& DigiName() const { return *digiName_; }
    TTrazorColor& DigiColor() { return *digiColor_; }
    const TTrazorColor& DigiColor() const { return *digiColor_; }

  private:
    void redrawScale();

    TTrazor& trazor_;
    int copyMode_ = 8;
    TColor colorBackground_ = colors::White;
    TColor colorMarker_ = colors::Black;
    TColor colorFont_ = colors::Black;
    TColor colorScale_ = colors::Black;
    int cellsSize_ = 0;
    int cellsPos_ = 0;
    int digits_ = 8;
    int timeScale_ = 1;
    int timeStep_ = 10;
    QString timeUnit_ = QStringLiteral("µs");
    int timefactor_ = 0;
    std::unique_ptr<TTrazorMarker> marker_;
    std::unique_ptr<TTrazorName> digiName_;
    std::unique_ptr<TTrazorColor> digiColor_;
};
