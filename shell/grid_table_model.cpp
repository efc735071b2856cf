#include "shell/grid_table_model.h"

#include <algorithm>

namespace palomind {

GridTableModel::GridTableModel(const GridModel& grid, QObject* parent)
    : QAbstractTableModel(parent),
      grid_(grid),
      topRow_(grid.FixedRows()),
      leftCol_(grid.FixedCols()) {
    const Shape shape = ShapeFor(grid.TopRow(), grid.FixedCols());
    topRow_ = shape.topRow;
    leftCol_ = shape.leftCol;
    shownRows_ = shape.rows;
    shownCols_ = shape.cols;
}

GridTableModel::Shape GridTableModel::ShapeFor(int topRow, int leftCol) const {
    const int fixedRows = std::clamp(grid_.FixedRows(), 0, grid_.Rows());
    const int fixedCols = std::clamp(grid_.FixedCols(), 0, grid_.Cols());
    Shape shape{};
    shape.topRow = std::clamp(topRow, fixedRows, std::max(fixedRows, grid_.Rows() - 1));
    shape.leftCol = std::clamp(leftCol, fixedCols, std::max(fixedCols, grid_.Cols() - 1));
    shape.rows = fixedRows + std::max(0, grid_.Rows() - shape.topRow);
    shape.cols = fixedCols + std::max(0, grid_.Cols() - shape.leftCol);
    return shape;
}

bool GridTableModel::Sync(int topRow, int leftCol) {
    const Shape wanted = ShapeFor(topRow, leftCol);
    if (wanted != Shape{topRow_, leftCol_, shownRows_, shownCols_}) {
        beginResetModel();
        topRow_ = wanted.topRow;
        leftCol_ = wanted.leftCol;
        shownRows_ = wanted.rows;
        shownCols_ = wanted.cols;
        endResetModel();
        return true;
    }
    // Same shape: a grid of a few hundred cells is repainted as a whole,
    // which is cheaper than finding out which cells changed.
    if (shownRows_ > 0 && shownCols_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, shownCols_ - 1),
                         {Qt::DisplayRole, Qt::TextAlignmentRole});
    return false;
}

int GridTableModel::GridRow(int viewRow) const {
    return viewRow < grid_.FixedRows() ? viewRow : topRow_ + (viewRow - grid_.FixedRows());
}

int GridTableModel::GridCol(int viewCol) const {
    return viewCol < grid_.FixedCols() ? viewCol : leftCol_ + (viewCol - grid_.FixedCols());
}

void GridTableModel::SetFixedCellBrush(const QBrush& brush) {
    if (brush == fixedBrush_) return;
    fixedBrush_ = brush;
    if (shownRows_ > 0 && shownCols_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, shownCols_ - 1), {Qt::BackgroundRole});
}

int GridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownCols_;
}

bool GridTableModel::IsFixed(const QModelIndex& index) const {
    return index.row() < grid_.FixedRows() || index.column() < grid_.FixedCols();
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
            // Out-of-range reads give an empty text, so a grid that shrank
            // before the view heard of it is still safe to paint.
            return QString::fromStdString(
                grid_.TextMatrix(GridRow(index.row()), GridCol(index.column())));
        case Qt::TextAlignmentRole: {
            // Numbers to the right and other texts to the left, as the
            // grid control these windows were laid out for aligns cells.
            bool isNumber = false;
            QString::fromStdString(grid_.TextMatrix(GridRow(index.row()), GridCol(index.column())))
                .toDouble(&isNumber);
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (isNumber ? Qt::AlignRight : Qt::AlignLeft));
        }
        case Qt::BackgroundRole:
            return IsFixed(index) ? QVariant(fixedBrush_) : QVariant();
        default:
            return {};
    }
}

}  // namespace palomind
