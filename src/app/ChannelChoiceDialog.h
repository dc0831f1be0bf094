#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

// "Kanäle wählen": a file to import has more logic channels than the buffer
// has lines. The user ticks up to 16 of them; the first 16 are ticked at
// the start. Chosen() gives the ticked names in the file's order.
class ChannelChoiceDialog : public QDialog {
    Q_OBJECT
  public:
    ChannelChoiceDialog(const QString& fileName, const std::vector<std::string>& channels,
                        QWidget* parent = nullptr);

    std::vector<std::string> Chosen() const;
    // Ticks exactly the named channels (for a caller that knows its choice).
    void Choose(const std::vector<std::string>& names);

  private:
    void Update();

    QListWidget* list_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* ok_ = nullptr;
};
