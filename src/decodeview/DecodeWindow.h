#pragma once

#include "sigrok/decode/AnnotationStore.h"

#include <QWidget>
#include <cstdint>
#include <functional>

class AnnotationTableModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTableView;

// The window beside the diagram that lists a decoding: the progress of a run
// with its cancel button, and every annotation with its time. A click on an
// annotation asks the owner to show it in the diagram. It only shows; what
// its buttons and the list's clicks mean is given by the owner.
class DecodeWindow : public QWidget {
    Q_OBJECT
  public:
    struct Actions {
        // Runs a command from Qt under the program's error guard.
        std::function<void(const std::function<void()>&)> guard;
        std::function<void(std::int64_t cell)> jumpTo;
        std::function<void()> cancel;
        std::function<void()> setup;
        std::function<void()> exportAnnotations;
    };

    explicit DecodeWindow(Actions actions, QWidget* parent = nullptr);
    ~DecodeWindow() override;

    // The source stays owned by the caller; the list starts at its beginning.
    void ShowSource(const sigrokdecode::AnnotationSource* source,
                    const sampling::TimeBase& timeBase);
    // A run in progress (0..1), or none (negative).
    void ShowProgress(double fraction);
    void ShowStatus(const QString& text);

    QTableView& List() const { return *list_; }
    // Scrolls the list over every annotation: its value is the first one shown.
    QScrollBar& ListScroll() const { return *scroll_; }
    AnnotationTableModel& ListModel() const { return *model_; }
    QLabel& Status() const { return *status_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Runs an entry from Qt under the owner's error guard, where one is given.
    void Guarded(const std::function<void()>& f);
    // Rows that fit whole on the list's screen (at least one).
    int WholeRows() const;
    // Fits the scroll bar and the page to the list's height and the source.
    void FitPage();
    void ShowPageFrom(int first);
    // Moves the current row to the annotation `index`, scrolling it into view.
    void MoveCurrentTo(std::int64_t index);
    bool Key(int key);

    Actions actions_;
    AnnotationTableModel* model_ = nullptr;
    QTableView* list_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* status_ = nullptr;
    QScrollBar* scroll_ = nullptr;
    // The annotation of the current row, kept while the page moves under it.
    std::int64_t current_ = -1;
};
