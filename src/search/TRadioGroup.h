#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A framed single choice of several items in columns, filled column by
// column. ItemIndex -1 means nothing is chosen.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    // The items' buttons are named name + "_" + index.
    TRadioGroup(const QString& name, const QString& title, const QStringList& items, int columns,
                QWidget* parent = nullptr);

    int ItemIndex() const { return itemIndex_; }
    // Chooses an item (-1 clears the choice); announces a change through
    // itemChosen like a click does.
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* Button(int index) const { return buttons_.at(index); }

  signals:
    // The choice changed, by a click or by SetItemIndex.
    void itemChosen(int index);

  private:
    void check(int index);

    QButtonGroup* group_ = nullptr;
    QList<QRadioButton*> buttons_;
    int itemIndex_ = -1;
};
