#pragma once

#include "ScriptedDesktop.h"
#include "display/TTrazor.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// A display component set up as the main window sets it up at start.
class TrazorFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        owner = std::make_unique<QWidget>();
        trazor = new TTrazor(owner.get(), desktop); // owned by `owner`
        trazor->LineOption().Apply(TLineVariable::WindowLayout, 10);
        trazor->Option().SetCopyMode(0);
        trazor->SetBounds(0, 0, 772, 390);
    }

    TColor pixel(int x, int y) const {
        return colors::fromQColor(QColor(trazor->Bitmap().pixel(x, y)));
    }
    // The usual full refresh.
    void refresh() {
        trazor->DrawScale(trazor->Option().CellsPos());
        trazor->DrawBaseLines();
        trazor->DrawSignals();
    }
    void setLine(int cell, int line, bool high) {
        const int mask = 1 << (line % 8);
        if (line < 8) {
            const int v = trazor->GetCellLow(cell);
            trazor->SetCellLow(cell, std::uint8_t(high ? v | mask : v & ~mask));
        } else {
            const int v = trazor->GetCellHigh(cell);
            trazor->SetCellHigh(cell, std::uint8_t(high ? v | mask : v & ~mask));
        }
    }

    ScriptedDesktop desktop;
    std::unique_ptr<QWidget> owner;
    TTrazor* trazor = nullptr;
};
