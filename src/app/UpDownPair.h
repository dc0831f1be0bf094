#pragma once

#include <QWidget>

class QToolButton;

// A horizontal pair of arrow buttons with a position counter, as the tool
// bar's time-axis steppers are. It reports which arrow was pressed.
class UpDownPair : public QWidget {
    Q_OBJECT
  public:
    enum class Arrow { Back, Forward };

    explicit UpDownPair(QWidget* parent = nullptr);

    int Position() const { return position_; }
    void SetPosition(int position);
    int Min() const { return min_; }
    int Max() const { return max_; }

    // Presses an arrow as the user would.
    void Press(Arrow arrow);

  signals:
    void clicked(UpDownPair::Arrow arrow);

  private:
    QToolButton* back_;
    QToolButton* forward_;
    int position_ = 0;
    int min_ = -30000;
    int max_ = 30000;
};
