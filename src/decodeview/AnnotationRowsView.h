#pragma once

#include "decodeview/CellMapping.h"
#include "sigrok/decode/Annotations.h"

#include <QWidget>
#include <memory>
#include <vector>

// One row per annotation row of a decoding result that holds annotations:
// each annotation a box from its start to its end cell with its text,
// shortened to fit, the full text as tooltip. Drawn with the diagram's cell
// mapping, so the boxes line up with the samples above them.
class AnnotationRowsView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kRowHeight = 20;

    explicit AnnotationRowsView(QWidget* parent = nullptr);

    // The result stays owned by the caller and must outlive its use here.
    void SetResult(const sigrokdecode::DecodeResult* result);
    void SetMapping(const decodeview::CellMapping& mapping);
    const decodeview::CellMapping& Mapping() const { return mapping_; }
    // Rows shown, in order (indices into the result's rows).
    const std::vector<int>& ShownRows() const { return shownRows_; }
    // The annotation under a point, or nullptr.
    const sigrokdecode::Annotation* AnnotationAt(const QPoint& pos) const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void paintRows();
    // Per shown row: its annotations' indices by start, and the longest span,
    // so painting finds the visible ones by binary search.
    struct RowIndex {
        std::vector<std::size_t> byStart;
        std::uint64_t longest = 0;
    };
    std::pair<std::size_t, std::size_t> visibleRange(const RowIndex& row) const;

    const sigrokdecode::DecodeResult* result_ = nullptr;
    decodeview::CellMapping mapping_;
    std::vector<int> shownRows_;
    std::vector<RowIndex> index_;
};
