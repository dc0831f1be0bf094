#include "display/TLineVariable.h"

#include "display/TTrazor.h"

TLineVariable::TLineVariable(TTrazor& trazor) : trazor_(trazor) {
    RecalcLines(10);
}

int TLineVariable::Get(int index) const {
    if (index < 0 || index >= Count) return 0;
    return values_[index];
}

void TLineVariable::Set(int index, int value) {
    if (index < 0 || index >= Count) return;
    // Every step through the diagram is by the cell width; zero would never end.
    if (index == LineLength && value < 1) value = 1;
    if (values_[index] == value) return;
    values_[index] = value;
    trazor_.RedrawFrame();
}

void TLineVariable::SetDefaults() {
    const int defaults[Count] = {20, 5, 15, 1, 4, 55};
    for (int i = 0; i < Count; ++i)
        Set(i, defaults[i]);
}

void TLineVariable::Apply(const Layout& layout, int textOffset) {
    const int values[Count] = {layout.lineDistance, layout.lineHigh,   layout.lineMaxhigh,
                               layout.lineLength,   layout.textLength, layout.globalXpos};
    for (int i = 0; i < Count; ++i)
        Set(i, values[i]);
    RecalcLines(textOffset);
}

void TLineVariable::RecalcLines(int textOffset) {
    trazor_.SettleDrawing();
    rows_ = trazor::computeLineRows(Line_distance(), Line_high(), Line_Maxhigh(), textOffset);
}
