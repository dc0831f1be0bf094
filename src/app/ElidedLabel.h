#pragma once

#include <QLabel>
#include <QString>

// A status field whose text is cut with "…" to the room it has, so a long
// message never widens the window; the whole text is its tool tip.
class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    void SetFullText(const QString& text);
    const QString& FullText() const { return full_; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void elide();

    QString full_;
};
