#pragma once

#include <QObject>

class TMain1;

// The two measuring cursors from the window's side: "Cursor setzen" and
// "Cursor entfernen" in the view menu, and their times, Δt and 1/Δt in a
// field of the info row of their own, kept current as the cursors move and
// as the buffer (and with it its time base) changes.
class CursorCommands : public QObject {
    Q_OBJECT
  public:
    explicit CursorCommands(TMain1& main);
    void Connect();
    void ShowCursors();

  private:
    TMain1& main_;
};
