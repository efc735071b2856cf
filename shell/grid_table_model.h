#pragma once
#include <QAbstractTableModel>
#include <QBrush>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/grid_model.h"

namespace palomind {

// Shows a GridModel to a QTableView the way the race window's grids scroll:
// the fixed rows and columns always stay in view, and the scrollable part
// starts at a chosen first row and column. View row r is grid row r while r
// is a fixed row, else grid row topRow + (r - fixedRows); columns likewise.
// Fixed cells are painted like headers; there are no Qt headers.
class GridTableModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit GridTableModel(const GridModel& grid, QObject* parent = nullptr);

    // Takes up whatever changed in the grid and the wanted scroll origin
    // (clamped to the grid). Returns true when the number of rows or columns
    // in view changed (the model was reset), so the caller re-applies every
    // section size; a scroll alone keeps the model and announces the cells
    // whose text changed.
    bool Sync(int topRow, int leftCol);

    int TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }
    int GridRow(int viewRow) const;
    int GridCol(int viewCol) const;

    void SetFixedCellBrush(const QBrush& brush);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    struct Shape {
        int topRow;
        int leftCol;
        int rows;
        int cols;
    };
    Shape ShapeFor(int topRow, int leftCol) const;
    bool IsFixed(const QModelIndex& index) const;
    void RememberShownTexts();
    // The grid's text at a cell of the view (empty outside the grid).
    const std::string& CellText(int viewRow, int viewCol) const;

    const GridModel& grid_;
    int topRow_;
    int leftCol_;
    // Counts as last announced to the view: the grid may already have changed
    // under them, which is why they are kept rather than read from the grid.
    int shownRows_ = 0;
    int shownCols_ = 0;
    // The text of each cell in view as last announced, row by row.
    std::vector<std::string> shownTexts_;
    std::vector<std::uint8_t> shownMarks_;  // whether each shown cell was marked
    QBrush fixedBrush_;
};

}  // namespace palomind
