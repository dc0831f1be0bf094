#pragma once

#include "display/OverviewImage.h"
#include "display/ViewNavigation.h"

#include <QImage>
#include <QWidget>
#include <cstdint>

class TTrazor;

// The overview strip ("Übersicht"): the whole buffer of the diagram's lines
// in the strip's width, with a frame around the part the diagram shows.
// Clicking or dragging in it asks for the diagram to be moved there.
//
// The picture of the buffer is made again only when the buffer, the lines,
// their colours or the strip's size changed; following the view only moves
// the frame.
class TOverview : public QWidget {
    Q_OBJECT
  public:
    TOverview(QWidget* parent, TTrazor& trazor);

    // The picture as it is drawn now (made again first when it is stale).
    const QImage& Picture();
    // The frame's columns for the diagram's current view.
    trazor::OverviewFrame Frame() const;
    // The diagram position a press at column x asks for.
    int PositionAt(int x) const;
    // How often the picture of the buffer was made: tests and benchmarks
    // check that following the view does not make it again.
    int Renderings() const { return renderings_; }

  signals:
    void positionRequested(int cellsPos);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void paintStrip();
    trazor::OverviewStyle style() const;
    trazor::OverviewScale scale() const;

    TTrazor& trazor_;
    QImage picture_;
    trazor::OverviewStyle pictureStyle_;
    std::uint64_t pictureVersion_ = ~std::uint64_t{0};
    int renderings_ = 0;
};
