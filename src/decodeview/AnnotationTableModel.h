#pragma once

#include "sigrok/decode/AnnotationStore.h"

#include <QAbstractTableModel>
#include <optional>

// All annotations of a decoding as a table: time, decoder, row, text. Reads
// the source it is given (owned by the caller) without copying it.
class AnnotationTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Time, Decoder, Row, Text, ColumnCount };

    explicit AnnotationTableModel(QObject* parent = nullptr);
    void SetSource(const sigrokdecode::AnnotationSource* source,
                   const sampling::TimeBase& timeBase);
    // The annotation of a table row, if there is one.
    std::optional<sigrokdecode::AnnotationRef> At(int row) const;
    std::string_view ClassId(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const sigrokdecode::AnnotationSource* source_ = nullptr;
    sampling::TimeBase timeBase_;
};
