#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

// The program's information window. It is created once and shown without
// blocking the main window; closing it repaints the diagram it covered.
class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    // repaintDisplay makes the diagram repaint itself when the box is closed
    // with OK.
    TAboutBox(QWidget* parent, std::function<void()> repaintDisplay);

    // The "Info" command: show the box, then set the version line.
    void ShowInfo();

  public slots:
    void OKButtonClick();

  private:
    std::function<void()> repaintDisplay_;
    QLabel* versionNr_ = nullptr;
};
