#pragma once
// The data table of a document: one row per point (its number, its time, one
// column per quantity), formatted when a cell is shown, so 65000 rows cost
// nothing until they are looked at. The header of a value column is the
// quantity's name, ", " and its unit.

#include <QAbstractTableModel>

#include "document/DocumentObserver.h"

class Document;

class DataTableModel : public QAbstractTableModel, private DocumentObserver {
    Q_OBJECT
public:
    explicit DataTableModel(Document& document, QObject* parent = nullptr);
    ~DataTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The text of a cell of the grid as the program knows it: row 0 is the
    // header row, rows 1.. the points; column 0 the number, 1 the time, 2 + q
    // quantity q.
    QString GridText(int row, int column) const;

private:
    void QuantitiesChanged(const Document&) override;
    void PointsAdded(const Document&, qint32 first, qint32 count) override;
    void PointsRemoved(const Document&, qint32 first, qint32 count) override;

    Document& document_;
    int rows_ = 0;
    int columns_ = 2;
};

// The text the Copy command puts on the clipboard for a selection of the grid
// (rows and columns in grid numbers, in any order): a header line of the
// selected columns and the selected cells, TAB between columns and CR LF after
// each line. One cell alone means the whole table, header row included. A
// cell holding only "-" (no reading) is copied empty.
QString CopyCellsText(const DataTableModel& table, int row1, int column1, int row2, int column2);
