#pragma once

#include "display/ViewScale.h"

#include <QObject>
#include <QPoint>
#include <optional>

class TMain1;

// Moving through the buffer besides the scroll bar: the diagram's wheel,
// dragging and keys, the overview strip, "Alles zeigen", jumps from edge to
// edge, and the readout of the pulse under the pointer in the status bar.
// Every move runs through the diagram's own scrolling and then puts the
// scroll bar (and after a zoom the zoom field) where the arrows would.
class NavigationCommands : public QObject {
    Q_OBJECT
  public:
    explicit NavigationCommands(TMain1& main);
    void Connect();

    // Shows the diagram from `cellsPos`, kept between the buffer's start and
    // the position that shows its last cell.
    void MoveTo(long long cellsPos);
    // Moves by `cells` (negative: back); never the other way.
    void ScrollBy(int cells);
    // One zoom step (+1 as "Vergrößern") that keeps the cell under pixel
    // `anchorX` in place. Stops at the largest step instead of starting over
    // as the button does; past the smallest it goes on into the zoomed-out
    // views until the whole buffer is in sight.
    void ZoomAt(int delta, int anchorX);
    // "Alles zeigen": the largest zoom step that shows the whole buffer, or
    // the zoomed-out view that just holds it.
    void Alleszeigen1Click();
    // The same without its message in the status bar.
    void ShowAll();
    // "Übersicht": shows or hides the overview strip.
    void Uebersicht1Click(bool shown);
    // The next or previous edge of the line under the pointer is brought
    // under the pointer.
    void JumpToEdge(bool forward);
    // Puts the measurement of the pulse under the pointer into the status
    // bar, or takes it away when the pointer is on no line.
    void ShowReadout();

  private:
    void syncScrollBar();
    // Shows the zoomed-out view `out`, or zoom step `step` with nullopt,
    // keeping the cell under `anchorX` in place.
    void showScale(std::optional<trazor::ViewScale> out, int step, int anchorX);
    int narrowestCellWidth() const;
    bool zoomKeysAllowed(int delta) const;
    // Cells the diagram can reach, and the pixel columns it draws them into.
    int shownCells() const;
    int drawColumns() const;

    TMain1& main_;
    // Where the last edge jump ended: further jumps go on from that edge
    // while the pointer and the view stay put, even where the view could not
    // move far enough to bring the edge under the pointer.
    struct Jump {
        QPoint pointer;
        int line = 0;
        int edge = 0;
        int cellsPos = 0;
    };
    std::optional<Jump> lastJump_;
};
