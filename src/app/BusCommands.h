#pragma once

#include "display/BusValues.h"

#include <QObject>
#include <string>
#include <vector>

class TMain1;

namespace sigrok {
struct LineGroup;
}

// Buses in the window: the "Busse" dialog from the view menu, the rows under
// the diagram, and the program's own configuration that keeps them from one
// start to the next. An imported file's vectors arrive as buses too.
class BusCommands : public QObject {
    Q_OBJECT
  public:
    explicit BusCommands(TMain1& main);
    // Shows the buses the configuration holds.
    void Connect();
    void Busse1Click();
    // Shows these buses, keeps them in the configuration and makes room for
    // their rows.
    void SetBuses(std::vector<trazor::BusDef> buses);
    // The vectors of an imported file replace the buses; a file without
    // vectors leaves them as they are.
    void AdoptImported(const std::vector<sigrok::LineGroup>& groups);

    // The rows lie over the diagram's empty part directly under the time axis
    // and its labels, so the diagram's own layout above stays as it is. Pixels the
    // diagram of `diagramHeight` lacks below the axis for them (with many
    // lines): the window grows by these.
    int RoomMissing(int diagramHeight) const;
    // Puts the rows under the axis of the diagram as it now stands.
    void PlaceRows();

  private:
    // y in the diagram below the axis, its labels and the legend.
    int rowsTop() const;

    TMain1& main_;
};
