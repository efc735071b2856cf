#include "engine/grid_model.h"

#include <algorithm>

namespace palomind {

namespace {
const std::string kEmpty;
}

GridModel::GridModel(int rows, int cols, int fixedRows, int fixedCols)
    : rows_(std::max(rows, 0)),
      cols_(std::max(cols, 0)),
      fixedRows_(fixedRows),
      fixedCols_(fixedCols),
      cells_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_)),
      marks_(cells_.size(), 0),
      colWidths_(static_cast<std::size_t>(cols_), 900),
      topRow_(fixedRows) {}

void GridModel::SetRows(int rows) {
    rows = std::max(rows, 0);
    if (rows == rows_) return;
    rows_ = rows;
    cells_.resize(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_));
    marks_.resize(cells_.size(), 0);
    if (topRow_ >= rows_) topRow_ = std::max(fixedRows_, rows_ - 1);
    ++revision_;
}

void GridModel::SetCols(int cols) {
    cols = std::max(cols, 0);
    if (cols == cols_) return;
    std::vector<std::string> cells(static_cast<std::size_t>(rows_) *
                                   static_cast<std::size_t>(cols));
    std::vector<std::uint8_t> marks(cells.size(), 0);
    const int kept = std::min(cols, cols_);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < kept; ++c) {
            const std::size_t to = static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) +
                                   static_cast<std::size_t>(c);
            cells[to] = std::move(cells_[Index(r, c)]);
            marks[to] = marks_[Index(r, c)];
        }
    cells_ = std::move(cells);
    marks_ = std::move(marks);
    cols_ = cols;
    colWidths_.resize(static_cast<std::size_t>(cols_),
                      colWidths_.empty() ? 900 : colWidths_.back());
    ++revision_;
}

const std::string& GridModel::TextMatrix(int row, int col) const {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return kEmpty;
    return cells_[Index(row, col)];
}

void GridModel::SetTextMatrix(int row, int col, std::string text) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return;
    std::string& cell = cells_[Index(row, col)];
    if (cell == text) return;
    cell = std::move(text);
    ++revision_;
}

bool GridModel::CellMarked(int row, int col) const {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return false;
    return marks_[Index(row, col)] != 0;
}

void GridModel::SetCellMarked(int row, int col, bool marked) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return;
    std::uint8_t& mark = marks_[Index(row, col)];
    if ((mark != 0) == marked) return;
    mark = marked ? 1 : 0;
    ++revision_;
}

void GridModel::ClearMarks() {
    if (std::find(marks_.begin(), marks_.end(), 1) == marks_.end()) return;
    std::fill(marks_.begin(), marks_.end(), 0);
    ++revision_;
}

int GridModel::ColWidth(int col) const {
    if (col < 0 || col >= cols_) return 0;
    return colWidths_[static_cast<std::size_t>(col)];
}

void GridModel::SetColWidth(int col, int twips) {
    if (col < 0 || col >= cols_ || colWidths_[static_cast<std::size_t>(col)] == twips) return;
    colWidths_[static_cast<std::size_t>(col)] = twips;
    ++revision_;
}

void GridModel::SetRowHeight(int twips) {
    if (rowHeight_ == twips) return;
    rowHeight_ = twips;
    ++revision_;
}

void GridModel::SetTopRow(int row) {
    row = std::clamp(row, fixedRows_, std::max(fixedRows_, rows_ - 1));
    if (row == topRow_) return;
    topRow_ = row;
    ++revision_;
}

}  // namespace palomind
