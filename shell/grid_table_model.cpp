#include "shell/grid_table_model.h"

#include <QColor>
#include <algorithm>

namespace palomind {

namespace {
// A light orange that keeps the lap time readable.
QColor MarkedCellColor() {
    return {0xFF, 0xC8, 0x80};
}
}  // namespace

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
    RememberShownTexts();
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
    if (wanted.rows != shownRows_ || wanted.cols != shownCols_) {
        // Nothing the view may still read changes before it is told.
        beginResetModel();
        topRow_ = wanted.topRow;
        leftCol_ = wanted.leftCol;
        shownRows_ = wanted.rows;
        shownCols_ = wanted.cols;
        RememberShownTexts();
        endResetModel();
        return true;
    }
    topRow_ = wanted.topRow;
    leftCol_ = wanted.leftCol;
    // Same number of cells, perhaps scrolled: only the cells whose text
    // changed are announced, one range per row. At a saturated receiver line
    // repainting both grids whole on every redraw was most of the window
    // thread's work; comparing a few hundred short texts costs next to none.
    std::size_t cell = 0;
    for (int row = 0; row < shownRows_; ++row) {
        int first = -1;
        int last = -1;
        for (int col = 0; col < shownCols_; ++col) {
            std::string& known = shownTexts_[cell];
            const std::string& text = CellText(row, col);
            const bool marked = grid_.CellMarked(GridRow(row), GridCol(col));
            const bool wasMarked = shownMarks_[cell] != 0;
            ++cell;
            if (known == text && wasMarked == marked) continue;
            known = text;
            shownMarks_[cell - 1] = marked ? 1 : 0;
            if (first < 0) first = col;
            last = col;
        }
        if (first >= 0)
            emit dataChanged(index(row, first), index(row, last),
                             {Qt::DisplayRole, Qt::TextAlignmentRole, Qt::BackgroundRole});
    }
    return false;
}

void GridTableModel::RememberShownTexts() {
    shownTexts_.clear();
    shownMarks_.clear();
    for (int row = 0; row < shownRows_; ++row)
        for (int col = 0; col < shownCols_; ++col) {
            shownTexts_.push_back(CellText(row, col));
            shownMarks_.push_back(grid_.CellMarked(GridRow(row), GridCol(col)) ? 1 : 0);
        }
}

const std::string& GridTableModel::CellText(int viewRow, int viewCol) const {
    return grid_.TextMatrix(GridRow(viewRow), GridCol(viewCol));
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
            return QString::fromStdString(CellText(index.row(), index.column()));
        case Qt::TextAlignmentRole: {
            // Numbers to the right and other texts to the left, as the
            // grid control these windows were laid out for aligns cells.
            bool isNumber = false;
            QString::fromStdString(CellText(index.row(), index.column())).toDouble(&isNumber);
            return QVariant::fromValue(Qt::AlignVCenter |
                                       (isNumber ? Qt::AlignRight : Qt::AlignLeft));
        }
        case Qt::BackgroundRole:
            if (IsFixed(index)) return QVariant(fixedBrush_);
            // A flagged lap (shorter than the race's minimum) is to be checked.
            if (grid_.CellMarked(GridRow(index.row()), GridCol(index.column())))
                return QVariant(QBrush(MarkedCellColor()));
            return {};
        default:
            return {};
    }
}

}  // namespace palomind
