#pragma once

#include <QLineEdit>
#include <QString>
#include <cstdint>

// A one-line field for an unsigned hexadecimal number. It takes only hex
// digits, and on a commit (losing the focus, Enter, or SetNumRETURN(true))
// turns its text into Hexvalue and shows that value again upper case,
// zero-padded to at least maxlength digits.
class THexEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit THexEdit(QWidget* parent = nullptr);

    std::int32_t Hexvalue() const { return hexvalue_; }
    // Stores the number; the text follows at the next commit.
    void SetHexvalue(std::int32_t value) { hexvalue_ = value; }

    // Always reads false; writing true commits at once.
    bool NumRETURN() const { return false; }
    void SetNumRETURN(bool value);

    int maxlength() const { return maxlength_; }
    // Kept within 1..8, the digits a 32-bit value can need. A lower limit
    // does not shorten the text already in the field.
    void Setmaxlength(int value);

    QString About() const { return about_; }
    void SetAbout(const QString& text) { about_ = text; }

    // Text to value, then value to text.
    void Commit();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void applyLengthLimit();

    std::int32_t hexvalue_ = 0;
    int maxlength_ = 8;
    QString about_;
};
