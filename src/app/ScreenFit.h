#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

// Where the main window, the decoder rows and the annotation list go, so that
// all of them lie on the screen. Plain rectangle arithmetic; `frame` is what
// the window manager adds around a window (title bar, borders).
namespace screenfit {

// The height the main window is held at: the given one, or less on a screen
// whose free area cannot hold it with its frame. Never below `least`.
int HeldHeight(int wanted, int least, const QRect& available, const QMargins& frame);

// The window's own geometry (without frame) moved so that the frame lies in
// `available`, as far as its size allows (left and top edges win).
QRect KeepOnScreen(const QRect& geometry, const QRect& available, const QMargins& frame);

// The annotation list beside the main window: right of it where the screen
// has room, else below it, else over its lower right corner; its size is cut
// to the screen. Returns the list window's own geometry.
QRect BesideMainWindow(const QRect& mainFrame, QSize wanted, const QRect& available,
                       const QMargins& frame);

// The decoder rows in the diagram's parent: directly under the time axis
// (`axisBottom` below the diagram's top), as wide as the diagram and as high
// as the rows. Where the diagram has no room left below its axis they take
// the diagram's bottom, at least `least` pixels high (or all rows, if fewer).
QRect RowsUnderAxis(const QRect& diagram, int axisBottom, int rowsHeight, int least);

} // namespace screenfit
