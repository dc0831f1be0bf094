#pragma once

#include "sigrok/decode/AnnotationStore.h"

#include <QAbstractTableModel>
#include <cstddef>
#include <optional>

// A page of a decoding's annotations as a table: time, decoder, row, text.
// Reads the source it is given (owned by the caller) without copying it.
//
// A table view keeps a record of every row it is told about, and growing
// that record by millions costs the window's thread a pause that grows with
// the list. So the view is only ever told of the rows on screen: the model
// shows `rows` annotations from `first` on, and the window scrolls by moving
// `first` with a scroll bar of its own over the whole decoding.
class AnnotationTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Time, Decoder, Row, Text, ColumnCount };

    explicit AnnotationTableModel(QObject* parent = nullptr);

    // A new decoding; the page goes back to its start.
    void SetSource(const sigrokdecode::AnnotationSource* source,
                   const sampling::TimeBase& timeBase);
    // Shows `rows` annotations from index `first` on (fewer at the end).
    void SetPage(std::size_t first, int rows);

    // Every annotation the list can reach; the view sees only the page.
    std::size_t Total() const;
    std::size_t First() const { return first_; }
    // The annotation of a view row, if there is one.
    std::optional<sigrokdecode::AnnotationRef> At(int row) const;
    std::string_view ClassId(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    // Tells the view how many rows the page has now and that the others changed.
    void Announce();

    const sigrokdecode::AnnotationSource* source_ = nullptr;
    std::size_t first_ = 0;
    int page_ = 1;
    // The rows the view was told of.
    int shown_ = 0;
    sampling::TimeBase timeBase_;
};
