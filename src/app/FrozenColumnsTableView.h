#pragma once
// A table whose first columns stay in view when the user scrolls right, as a
// spreadsheet's frozen columns do: the data table keeps each row's number and
// time beside the values. A second view over the same model and selection
// lies on the left edge and shows only those columns; its rows scroll with
// the table's.

#include <QTableView>

class FrozenColumnsTableView : public QTableView {
    Q_OBJECT
public:
    FrozenColumnsTableView(int frozenColumns, QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // The view that holds the frozen columns.
    QTableView* FrozenView() const { return frozen_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    int FrozenWidth() const;
    void HideUnfrozenColumns();
    void PlaceFrozenView();

    int frozenColumns_;
    QTableView* frozen_;
};
