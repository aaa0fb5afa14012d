#include "app/FrozenColumnsTableView.h"

#include <QHeaderView>
#include <QScrollBar>

FrozenColumnsTableView::FrozenColumnsTableView(int frozenColumns, QWidget* parent)
    : QTableView(parent), frozenColumns_(frozenColumns) {
    frozen_ = new QTableView(this);
    frozen_->setObjectName(QStringLiteral("frozenColumns"));
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->verticalHeader()->hide();
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setHorizontalScrollMode(ScrollPerPixel);
    frozen_->setEditTriggers(NoEditTriggers);
    frozen_->setWordWrap(false);
    // A line on its right edge shows where the frozen part ends.
    frozen_->setStyleSheet(
        QStringLiteral("QTableView { border: none; border-right: 1px solid "
                       "palette(mid); }"));
    frozen_->setContextMenuPolicy(Qt::CustomContextMenu);
    viewport()->stackUnder(frozen_);

    // The rows go together; so do the widths of the frozen columns.
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (column >= frozenColumns_) return;
                frozen_->setColumnWidth(column, size);
                PlaceFrozenView();
            });
    // The pop-up menu of the table opens over the frozen part too.
    connect(frozen_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        emit customContextMenuRequested(
            viewport()->mapFromGlobal(frozen_->viewport()->mapToGlobal(at)));
    });
}

void FrozenColumnsTableView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    frozen_->setModel(model);
    // One selection for both: what is selected (and copied) is the same
    // whichever part the user clicks.
    frozen_->setSelectionModel(selectionModel());
    HideUnfrozenColumns();
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this,
                &FrozenColumnsTableView::HideUnfrozenColumns);
        connect(model, &QAbstractItemModel::columnsInserted, this,
                &FrozenColumnsTableView::HideUnfrozenColumns);
    }
    PlaceFrozenView();
}

void FrozenColumnsTableView::HideUnfrozenColumns() {
    if (!model()) return;
    for (int c = 0; c < model()->columnCount(); ++c) {
        frozen_->setColumnHidden(c, c >= frozenColumns_);
        if (c < frozenColumns_) frozen_->setColumnWidth(c, columnWidth(c));
    }
    PlaceFrozenView();
}

int FrozenColumnsTableView::FrozenWidth() const {
    int width = 0;
    const int columns = model() ? std::min(frozenColumns_, model()->columnCount()) : 0;
    for (int c = 0; c < columns; ++c) width += columnWidth(c);
    return width;
}

void FrozenColumnsTableView::PlaceFrozenView() {
    frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    frozen_->setSelectionBehavior(selectionBehavior());
    frozen_->setSelectionMode(selectionMode());
    const int left = verticalHeader()->isVisible() ? verticalHeader()->width() : 0;
    frozen_->setGeometry(left + frameWidth(), frameWidth(), FrozenWidth() + 1,
                         viewport()->height() + horizontalHeader()->height());
    frozen_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void FrozenColumnsTableView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    PlaceFrozenView();
}

void FrozenColumnsTableView::updateGeometries() {
    QTableView::updateGeometries();
    PlaceFrozenView();
}

QModelIndex FrozenColumnsTableView::moveCursor(CursorAction cursorAction,
                                               Qt::KeyboardModifiers modifiers) {
    // A cell moved to with the keys must not end up under the frozen part.
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    if (cursorAction == MoveLeft && current.column() >= frozenColumns_ &&
        visualRect(current).topLeft().x() < FrozenWidth()) {
        const int scroll =
            horizontalScrollBar()->value() + visualRect(current).topLeft().x() - FrozenWidth();
        horizontalScrollBar()->setValue(scroll);
    }
    return current;
}

void FrozenColumnsTableView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // The frozen columns are always in view: only the rows scroll for them.
    if (index.column() >= frozenColumns_) {
        QTableView::scrollTo(index, hint);
        return;
    }
    const int keep = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(keep);
}
