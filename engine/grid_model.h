#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace palomind {

// A grid of cell texts, addressed by row and column like the race window's
// grids: what the standings, the lap history, the result file and the printed
// report all read and write. The view renders it; it has no toolkit behind it.
class GridModel {
  public:
    GridModel(int rows, int cols, int fixedRows, int fixedCols);

    int Rows() const { return rows_; }
    int Cols() const { return cols_; }
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }
    // Changing the size keeps the texts of the cells that remain.
    void SetRows(int rows);
    void SetCols(int cols);

    // Reading outside the grid gives an empty text; writing outside it is
    // ignored, so a damaged file or state can never write past the cells.
    const std::string& TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, std::string text);

    // A cell shown marked (the lap history's flagged laps), apart from its
    // text; a resize keeps the marks of the cells that remain.
    bool CellMarked(int row, int col) const;
    void SetCellMarked(int row, int col, bool marked);
    void ClearMarks();

    // Sizes in twips.
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);
    int RowHeight() const { return rowHeight_; }
    void SetRowHeight(int twips);

    // The first scrollable row in view.
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);

    // Counts every change, so a view can tell cheaply whether to redraw.
    std::uint64_t Revision() const { return revision_; }

  private:
    std::size_t Index(int row, int col) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) +
               static_cast<std::size_t>(col);
    }

    int rows_;
    int cols_;
    int fixedRows_;
    int fixedCols_;
    std::vector<std::string> cells_;
    std::vector<std::uint8_t> marks_;  // one per cell, 1 for marked
    std::vector<int> colWidths_;
    int rowHeight_ = 240;
    int topRow_;
    std::uint64_t revision_ = 0;
};

}  // namespace palomind
