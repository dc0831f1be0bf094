#pragma once

#include <QImage>
#include <QRect>
#include <vector>

class QWidget;
class TTrazor;

// What "Drucken" puts on paper: the diagram as the screen shows it. The
// trigger mark and the measuring cursors are drawn over the picture, and the
// bus and decoder rows under the axis come along, so a print keeps what the
// user measured and read. Without such rows and marks it is the diagram's
// own picture and place, pixel for pixel.
struct PrintedView {
    QImage picture;
    QRect geometry; // in the diagram's parent, as the print layout expects
};

// `rows` are widgets beside the diagram in its parent; hidden ones and those
// of another parent are left out. The view keeps the diagram's width and grows
// downwards as far as the rows reach.
PrintedView ComposePrintedView(const TTrazor& diagram, const std::vector<QWidget*>& rows);
