#pragma once

#include "display/BusValues.h"

#include <QWidget>
#include <vector>

class Desktop;
class TTrazor;

// The buses, one row each, directly under the diagram and on its time scale:
// the value in hexadecimal where it holds long enough to be read, the bare
// shape where it is too short, and a band where it changes within a pixel
// column. Drawn anew whenever the diagram's picture changes.
class BusRows : public QWidget {
    Q_OBJECT
  public:
    static constexpr int RowHeight = 22;

    BusRows(QWidget* parent, TTrazor& trazor, Desktop& desktop);

    const std::vector<trazor::BusDef>& Buses() const { return buses_; }
    void SetBuses(std::vector<trazor::BusDef> buses);
    // The height the rows take: RowHeight for each bus.
    int RowsHeight() const { return RowHeight * int(buses_.size()); }
    // What a row shows, as drawn last: its segments over the diagram's columns.
    std::vector<trazor::BusSegment> Segments(int bus) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The diagram's pixel columns right of its origin, summarised.
    std::vector<SamplePyramid::Span> columns() const;

    TTrazor& trazor_;
    Desktop& desktop_;
    std::vector<trazor::BusDef> buses_;
};
