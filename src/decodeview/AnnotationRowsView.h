#pragma once

#include "decodeview/RowLayout.h"
#include "sigrok/decode/AnnotationStore.h"

#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

// One row per annotation row of a decoding that holds annotations, drawn in
// the diagram's view: each annotation a box from its start to its end with
// its text shortened to fit, and where they are too dense to read, one band
// for all of them. The row's name stands in the margin left of the origin,
// decoder above row, broken onto more lines where the margin is too narrow
// (the row grows for them); the full texts are tooltips.
class AnnotationRowsView : public QWidget {
    Q_OBJECT
  public:
    // The height of a row whose name takes two lines or fewer.
    static constexpr int kRowHeight = 28;

    explicit AnnotationRowsView(QWidget* parent = nullptr);

    // The source stays owned by the caller and must outlive its use here.
    void SetSource(const sigrokdecode::AnnotationSource* source);
    void SetView(const decodeview::RowView& view);
    const decodeview::RowView& View() const { return view_; }
    // Rows shown, in order (indices into the source's rows).
    const std::vector<int>& ShownRows() const { return shownRows_; }
    // The height all shown rows take.
    int RowsHeight() const { return tops_.back(); }
    // Where shown row `shown` begins and the lines its name is set in.
    int RowTop(int shown) const { return tops_.at(std::size_t(shown)); }
    const QStringList& NameLines(int shown) const { return names_.at(std::size_t(shown)); }
    // What a point shows: a box, a band, or nothing.
    std::optional<decodeview::RowItem> ItemAt(const QPoint& pos) const;
    // The row name a point is over, or empty.
    QString RowNameAt(const QPoint& pos) const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void paintRows();
    QString rowName(int shown) const;
    // Sets the names in the margin and the rows' heights after them.
    void layOutNames();
    // The shown row at height y, if any.
    std::optional<std::size_t> rowAt(int y) const;
    // Pixels from one line of a name to the next.
    int lineStep() const;

    const sigrokdecode::AnnotationSource* source_ = nullptr;
    decodeview::RowView view_;
    std::vector<int> shownRows_;
    std::vector<QStringList> names_;
    std::vector<int> tops_{0}; // each row's top, and the bottom of the last
};
