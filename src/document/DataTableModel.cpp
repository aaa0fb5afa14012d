#include "document/DataTableModel.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "document/Document.h"

DataTableModel::DataTableModel(Document& document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {
    rows_ = document_.PointCount();
    columns_ = document_.QuantityCount() + 2;
    document_.AddObserver(this);
}

DataTableModel::~DataTableModel() {
    document_.RemoveObserver(this);
}

int DataTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DataTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QString DataTableModel::GridText(int row, int column) const {
    if (row == 0) {
        if (column < 2 || column - 2 >= document_.QuantityCount()) return {};
        const QuantityInfo& q = document_.Quantity(column - 2);
        return CleanInstrumentText(q.Name).trimmed() + QStringLiteral(", ") +
               CleanInstrumentText(q.Unit).trimmed();
    }
    const qint32 point = row - 1;
    if (point < 0 || point >= document_.PointCount()) return {};
    if (column == 0) return QString::number(row);
    if (column == 1) return FormatDateTimeLocal(FromOleDate(document_.PointTime(point)));
    const int q = column - 2;
    if (q < 0 || q >= document_.QuantityCount()) return {};
    const PointValue value = document_.Value(point, q);
    if (!value.Valid) return QStringLiteral("-");
    return FormatDecimals(value.Value, std::max<int>(0, document_.GetDecs(q)));
}

QVariant DataTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return GridText(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole)
        return index.column() >= 2 ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant DataTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation != Qt::Horizontal) return {};
    // The grid's header row leaves the number and time columns blank (and so
    // does a copy of it); on screen they are named.
    if (section == 0) return StringTable::Text(Str::kColumnPointNumber);
    if (section == 1) return StringTable::Text(Str::kColumnTime);
    return GridText(0, section);
}

void DataTableModel::QuantitiesChanged(const Document&) {
    beginResetModel();
    rows_ = document_.PointCount();
    columns_ = document_.QuantityCount() + 2;
    endResetModel();
}

void DataTableModel::PointsAdded(const Document&, qint32 first, qint32 count) {
    if (count <= 0) return;
    // Points come in order; a caller that adds more than it tells about is
    // caught up here.
    beginInsertRows({}, rows_, first + count - 1);
    rows_ = first + count;
    endInsertRows();
}

void DataTableModel::PointsRemoved(const Document&, qint32 first, qint32 count) {
    if (count <= 0 || first >= rows_) return;
    beginRemoveRows({}, first, rows_ - 1);
    rows_ = first;
    endRemoveRows();
}

QString CopyCellsText(const DataTableModel& table, int row1, int column1, int row2, int column2) {
    if (row1 > row2) std::swap(row1, row2);
    if (column1 > column2) std::swap(column1, column2);
    QString text;
    if (row1 == row2 && column1 == column2) {
        // One cell: the whole table, from its header row down.
        row1 = 0;
        row2 = table.rowCount();
        column1 = 0;
        column2 = table.columnCount() - 1;
    } else {
        for (int c = column1; c <= column2; ++c) {
            if (c > column1) text += QLatin1Char('\t');
            text += table.GridText(0, c);
        }
        text += QLatin1Char('\r');
    }
    for (int r = row1; r <= row2; ++r) {
        for (int c = column1; c <= column2; ++c) {
            if (c > column1) text += QLatin1Char('\t');
            const QString cell = table.GridText(r, c);
            // A reading that is missing is an empty field, not "-".
            if (cell != QLatin1String("-")) text += cell;
        }
        text += QLatin1Char('\r');
    }
    text.replace(QLatin1Char('\r'), QLatin1String("\r\n"));
    return text;
}
