#pragma once

#include "decodeview/CellMapping.h"
#include "sigrok/decode/Annotations.h"

#include <QWidget>
#include <cstdint>
#include <functional>

class AnnotationRowsView;
class AnnotationTableModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

// The window beside the diagram that shows a decoding: the annotation rows
// on the diagram's time axis, the progress of a run with its cancel button,
// and the list of all annotations. It only shows; what its buttons and the
// list's clicks mean is given by the owner.
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

    DecodeWindow(Actions actions, QWidget* parent = nullptr);
    ~DecodeWindow() override;

    // The result stays owned by the caller.
    void ShowResult(const sigrokdecode::DecodeResult* result, const sampling::TimeBase& timeBase);
    void SetMapping(const decodeview::CellMapping& mapping);
    // A run in progress (0..1), or none (negative).
    void ShowProgress(double fraction);
    void ShowStatus(const QString& text);

    AnnotationRowsView& Rows() const { return *rows_; }
    QTableView& List() const { return *list_; }
    AnnotationTableModel& ListModel() const { return *model_; }
    QLabel& Status() const { return *status_; }

  private:
    Actions actions_;
    AnnotationRowsView* rows_ = nullptr;
    AnnotationTableModel* model_ = nullptr;
    QTableView* list_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* status_ = nullptr;
};
