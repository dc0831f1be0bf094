#pragma once

#include <QLabel>
#include <QRect>

// The hint shown above the scroll bar while its thumb is dragged. It is
// placed from a remembered scroll position, not from the mouse.
class TNewHintWindow : public QLabel {
    Q_OBJECT
  public:
    // owner is the main window: the hint finds its scroll bar and client size there.
    TNewHintWindow(QWidget* owner, int& hintAnchorPos);

    bool Tracking() const { return tracking_; }
    void SetTracking(bool value);
    void ShowAtScrollPos(QRect rect, const QString& text);

    // The rectangle the last activation used (left, top and bottom are set).
    QRect LastRect() const { return lastRect_; }

    // Horizontal offset of the hint from the left edge of a centred client area.
    static int AnchorOffset(int anchorPos, int scrollMax, int clientWidth);

  private:
    QWidget* owner_;
    int& hintAnchorPos_;
    bool tracking_ = false;
    QRect lastRect_;
};
