#pragma once

#include "display/BusValues.h"

#include <QDialog>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Busse": the list of buses, and fields to add one (name, lines, which of
// the lines is the most significant bit) or remove the chosen one.
class BusDialog : public QDialog {
    Q_OBJECT
  public:
    BusDialog(QWidget* parent, std::vector<trazor::BusDef> buses);
    const std::vector<trazor::BusDef>& Buses() const { return buses_; }

    // The bus the fields describe, when they describe one.
    std::optional<trazor::BusDef> Entered() const;

  private:
    void add();
    void remove();
    void choose(int row);
    void fillList();
    void refresh();

    std::vector<trazor::BusDef> buses_;
    QListWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* lines_ = nullptr;
    QComboBox* order_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
};
