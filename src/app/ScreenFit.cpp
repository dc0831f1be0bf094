#include "ScreenFit.h"

#include <algorithm>

namespace screenfit {

int HeldHeight(int wanted, int least, const QRect& available, const QMargins& frame) {
    if (available.isEmpty()) return wanted;
    const int room = available.height() - frame.top() - frame.bottom();
    return std::max(least, std::min(wanted, room));
}

QRect KeepOnScreen(const QRect& geometry, const QRect& available, const QMargins& frame) {
    if (available.isEmpty()) return geometry;
    const QRect outer = geometry.marginsAdded(frame);
    QPoint topLeft = outer.topLeft();
    // Right and bottom edges first, then left and top: a window larger than
    // the screen keeps its title bar and left edge reachable.
    topLeft.setX(std::min(topLeft.x(), available.right() + 1 - outer.width()));
    topLeft.setY(std::min(topLeft.y(), available.bottom() + 1 - outer.height()));
    topLeft.setX(std::max(topLeft.x(), available.left()));
    topLeft.setY(std::max(topLeft.y(), available.top()));
    return QRect(topLeft + QPoint(frame.left(), frame.top()), geometry.size());
}

QRect BesideMainWindow(const QRect& mainFrame, QSize wanted, const QRect& available,
                       const QMargins& frame) {
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const QSize size = wanted.boundedTo(room).expandedTo(QSize(1, 1));
    const QSize outer = size.grownBy(frame);
    QPoint at;
    if (mainFrame.right() + outer.width() <= available.right())
        at = QPoint(mainFrame.right() + 1, mainFrame.top());
    else if (mainFrame.bottom() + outer.height() <= available.bottom())
        at = QPoint(mainFrame.left(), mainFrame.bottom() + 1);
    else
        at = QPoint(mainFrame.right() + 1 - outer.width(), mainFrame.bottom() + 1 - outer.height());
    return KeepOnScreen(QRect(at + QPoint(frame.left(), frame.top()), size), available, frame);
}

QRect RowsUnderAxis(const QRect& diagram, int axisBottom, int rowsHeight, int least) {
    const int height = std::max(0, rowsHeight);
    int top = diagram.top() + axisBottom;
    int shown = std::min(height, diagram.bottom() + 1 - top);
    const int leastShown = std::min(height, least);
    if (shown < leastShown) {
        shown = std::min(leastShown, diagram.height());
        top = diagram.bottom() + 1 - shown;
    }
    return QRect(diagram.left(), top, diagram.width(), std::max(0, shown));
}

} // namespace screenfit
