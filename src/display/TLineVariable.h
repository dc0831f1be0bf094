#pragma once

#include "display/TrazorGeometry.h"

#include <array>

class TTrazor;

// Line geometry of the diagram: six integers and the row table derived from
// them. Writing a value redraws the frame; only RecalcLines rebuilds the rows.
class TLineVariable {
  public:
    enum Index {
        LineDistance = 0,
        LineHigh = 1,
        LineMaxhigh = 2,
        LineLength = 3,
        TextLength = 4,
        GlobalXpos = 5,
        Count = 6
    };

    explicit TLineVariable(TTrazor& trazor);

    // Indexes outside 0..5 read as 0 and ignore writes.
    int Get(int index) const;
    // Ignores a value equal to the stored one; otherwise stores it and redraws
    // the frame. A Line_length below 1 is stored as 1: a cell must have a width.
    void Set(int index, int value);

    int Line_distance() const { return values_[LineDistance]; }
    int Line_high() const { return values_[LineHigh]; }
    int Line_Maxhigh() const { return values_[LineMaxhigh]; }
    int Line_length() const { return values_[LineLength]; }
    int Text_length() const { return values_[TextLength]; }
    int Global_Xpos() const { return values_[GlobalXpos]; }
    void SetLine_distance(int v) { Set(LineDistance, v); }
    void SetLine_high(int v) { Set(LineHigh, v); }
    void SetLine_Maxhigh(int v) { Set(LineMaxhigh, v); }
    void SetLine_length(int v) { Set(LineLength, v); }
    void SetText_length(int v) { Set(TextLength, v); }
    void SetGlobal_Xpos(int v) { Set(GlobalXpos, v); }

    // The six values as one set, in index order.
    struct Layout {
        int lineDistance, lineHigh, lineMaxhigh, lineLength, textLength, globalXpos;
    };
    // The layout the program's main window gives its diagram.
    static constexpr Layout WindowLayout{33, 6, 27, 3, 4, 70};

    // 20, 5, 15, 1, 4, 55 into indexes 0..5.
    void SetDefaults();
    // Writes the six values in index order, each as Set does, then rebuilds
    // the row table with textOffset.
    void Apply(const Layout& layout, int textOffset);
    void RecalcLines(int textOffset);

    // Row r (0..31) of the geometry table; other rows throw std::out_of_range.
    const trazor::LineRow& Row(int r) const { return rows_.at(static_cast<std::size_t>(r)); }
    const trazor::LineRows& Rows() const { return rows_; }

  private:
    TTrazor& trazor_;
    std::array<int, Count> values_{20, 5, 15, 1, 4, 55};
    trazor::LineRows rows_{};
};
