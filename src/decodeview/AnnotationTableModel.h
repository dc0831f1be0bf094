#pragma once

#include "sigrok/decode/Annotations.h"

#include <QAbstractTableModel>

// All annotations of a result as a table: time, decoder, row, text. Reads the
// result it is given (owned by the caller) without copying it.
class AnnotationTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Time, Decoder, Row, Text, ColumnCount };

    explicit AnnotationTableModel(QObject* parent = nullptr);
    void SetResult(const sigrokdecode::DecodeResult* result, const sampling::TimeBase& timeBase);
    // The annotation of a table row, or nullptr.
    const sigrokdecode::Annotation* At(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const sigrokdecode::DecodeResult* result_ = nullptr;
    sampling::TimeBase timeBase_;
};
