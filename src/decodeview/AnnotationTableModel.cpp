#include "decodeview/AnnotationTableModel.h"

#include <algorithm>
#include <cstdio>

AnnotationTableModel::AnnotationTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void AnnotationTableModel::SetSource(const sigrokdecode::AnnotationSource* source,
                                     const sampling::TimeBase& timeBase) {
    source_ = source;
    timeBase_ = timeBase;
    first_ = 0;
    Announce();
}

void AnnotationTableModel::SetPage(std::size_t first, int rows) {
    first_ = std::min(first, Total());
    page_ = std::max(rows, 0);
    Announce();
}

std::size_t AnnotationTableModel::Total() const {
    return source_ ? source_->Count() : 0;
}

void AnnotationTableModel::Announce() {
    // Rows are added or taken at the end and the rest told to read again: a
    // reset would also forget the column widths the user dragged.
    const int before = shown_;
    const int after = int(std::min<std::size_t>(std::size_t(page_), Total() - first_));
    if (after < before) {
        beginRemoveRows({}, after, before - 1);
        shown_ = after;
        endRemoveRows();
    } else if (after > before) {
        beginInsertRows({}, before, after - 1);
        shown_ = after;
        endInsertRows();
    }
    if (const int common = std::min(before, after); common > 0)
        emit dataChanged(index(0, 0), index(common - 1, ColumnCount - 1));
}

std::optional<sigrokdecode::AnnotationRef> AnnotationTableModel::At(int row) const {
    if (!source_ || row < 0 || row >= shown_ || first_ + std::size_t(row) >= Total())
        return std::nullopt;
    return source_->At(first_ + std::size_t(row));
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
