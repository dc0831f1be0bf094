#include "decodeview/AnnotationTableModel.h"

#include <algorithm>
#include <cstdio>
#include <limits>

AnnotationTableModel::AnnotationTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void AnnotationTableModel::SetSource(const sigrokdecode::AnnotationSource* source,
                                     const sampling::TimeBase& timeBase) {
    beginResetModel();
    source_ = source;
    timeBase_ = timeBase;
    shown_ = std::min(Available(), kBatch);
    endResetModel();
}

int AnnotationTableModel::Available() const {
    // A table view counts rows in int: beyond that the list ends (the rows
    // in the diagram and the export still have every annotation).
    constexpr std::size_t kMost = std::size_t(std::numeric_limits<int>::max());
    return source_ ? int(std::min(source_->Count(), kMost)) : 0;
}

bool AnnotationTableModel::ShowMore() {
    const int available = Available();
    if (shown_ < available) {
        const int more = std::min(kBatch, available - shown_);
        beginInsertRows({}, shown_, shown_ + more - 1);
        shown_ += more;
        endInsertRows();
    }
    return shown_ < available;
}

std::optional<sigrokdecode::AnnotationRef> AnnotationTableModel::At(int row) const {
    if (!source_ || row < 0 || row >= shown_) return std::nullopt;
    return source_->At(std::size_t(row));
}

std::string_view AnnotationTableModel::ClassId(int row) const {
    const auto a = At(row);
    return a ? source_->ClassId(*a) : std::string_view();
}

int AnnotationTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int AnnotationTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AnnotationTableModel::data(const QModelIndex& index, int role) const {
    const auto a = At(index.row());
    if (!a || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const auto& row = source_->Rows().at(std::size_t(a->row));
    switch (index.column()) {
    case Time: {
        // Nanoseconds stay visible: neighbouring bits of a fast bus differ there.
        char text[48];
        std::snprintf(text, sizeof text, "%.9f s", timeBase_.SecondsAt(std::int64_t(a->start)));
        return QString::fromLatin1(text).replace(QLatin1Char('.'), QLatin1Char(','));
    }
    case Decoder:
        return QString::fromStdString(row.instance);
    case Row:
        return QString::fromStdString(row.rowDesc);
    case Text: {
        const std::string_view text = source_->Text(*a);
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    default:
        return {};
    }
}

QVariant AnnotationTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
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
