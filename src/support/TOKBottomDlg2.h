#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QLineEdit;

// The one-line input that renames a signal line. It has no logic of its own:
// the caller puts the current name in, and takes the text back on OK.
class TOKBottomDlg2 : public QDialog {
    Q_OBJECT
  public:
    explicit TOKBottomDlg2(QWidget* parent = nullptr);

    // Shows the dialog modally with current in the field; the text on OK,
    // nothing on Cancel.
    std::optional<QString> EditLineName(const QString& current);

    QLineEdit& Edit1() const { return *edit1_; }

  private:
    QLineEdit* edit1_ = nullptr;
};
