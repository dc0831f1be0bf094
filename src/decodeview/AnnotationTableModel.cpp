#include "decodeview/AnnotationTableModel.h"

#include <cstdio>

AnnotationTableModel::AnnotationTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void AnnotationTableModel::SetResult(const sigrokdecode::DecodeResult* result, const sampling::TimeBase& timeBase) {
    beginResetModel();
    result_ = result;
    timeBase_ = timeBase;
    endResetModel();
}

const sigrokdecode::Annotation* AnnotationTableModel::At(int row) const {
    if (!result_ || row < 0 || std::size_t(row) >= result_->annotations.size()) return nullptr;
    return &result_->annotations[std::size_t(row)];
}

int AnnotationTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !result_ ? 0 : int(result_->annotations.size());
}

int AnnotationTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AnnotationTableModel::data(const QModelIndex& index, int role) const {
    const auto* a = At(index.row());
    if (!a || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const auto& row = result_->rows.at(a->row);
    switch (index.column()) {
    case Time:
    {
        // Nanoseconds stay visible: neighbouring bits of a fast bus differ there.
        char text[48];
        std::snprintf(text, sizeof text, "%.9f s", timeBase_.SecondsAt(std::int64_t(a->start)));
        return QString::fromLatin1(text).replace(QLatin1Char('.'), QLatin1Char(','));
    }
    case Decoder:
        return QString::fromStdString(row.instance);
    case Row:
        return QString::fromStdString(row.rowDesc);
    case Text:
        return QString::fromStdString(a->Text());
    default:
        return {};
    }
}

QVariant AnnotationTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Time:
        return QStringLiteral("Zeit");
    case Decoder:
        return QStringLiteral("Dekodierer");
    case Row:
        return QStringLiteral("Zeile");
    case Text:
        return QStringLiteral("Text");
    default:
        return {};
    }
}
