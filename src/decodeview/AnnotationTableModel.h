#pragma once

#include "sigrok/decode/AnnotationStore.h"

#include <QAbstractTableModel>
#include <optional>

// All annotations of a decoding as a table: time, decoder, row, text. Reads
// the source it is given (owned by the caller) without copying it.
//
// A view keeps a record of every row it is told about, so a decoding of
// millions of annotations is not announced at once: the table starts with a
// first batch and grows by ShowMore, one bounded batch per call, while the
// window goes on answering between the calls.
class AnnotationTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Time, Decoder, Row, Text, ColumnCount };

    explicit AnnotationTableModel(QObject* parent = nullptr);
    // Rows announced at once and by each ShowMore.
    static constexpr int kBatch = 100000;

    void SetSource(const sigrokdecode::AnnotationSource* source,
                   const sampling::TimeBase& timeBase);
    // Announces the next batch of the source's annotations; whether more are
    // left after it.
    bool ShowMore();
    bool Complete() const { return shown_ == Available(); }
    // The annotation of a table row, if there is one.
    std::optional<sigrokdecode::AnnotationRef> At(int row) const;
    std::string_view ClassId(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    int Available() const;

    const sigrokdecode::AnnotationSource* source_ = nullptr;
    int shown_ = 0;
    sampling::TimeBase timeBase_;
};
