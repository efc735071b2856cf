#include "shell/grid_view.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

#include "shell/twips.h"

namespace palomind {

GridView::GridView(const GridModel& grid, const QFont& font, QWidget* parent)
    : QWidget(parent),
      grid_(grid),
      model_(grid),
      table_(new QTableView(this)),
      verticalBar_(new QScrollBar(Qt::Vertical, this)),
      horizontalBar_(new QScrollBar(Qt::Horizontal, this)),
      seenRevision_(grid.Revision()),
      seenGridTopRow_(grid.TopRow()) {
    table_->setModel(&model_);
    table_->setFont(font);
    // A display, not an editor: no selection, no focus, no keyboard scrolling
    // that could pull the fixed rows out of view.
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setAutoScroll(false);
    table_->setWordWrap(false);
    // A text too long for its cell is cut at the cell's edge, not replaced
    // by an ellipsis that would hide more of it.
    table_->setTextElideMode(Qt::ElideNone);
    table_->setCornerButtonEnabled(false);
    // The table never scrolls itself; the bars beside it move the grid's
    // scroll origin instead, which keeps the fixed cells in place.
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QHeaderView* header : {table_->horizontalHeader(), table_->verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    table_->viewport()->installEventFilter(this);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(table_, 0, 0);
    layout->addWidget(verticalBar_, 0, 1);
    layout->addWidget(horizontalBar_, 1, 0);
    verticalBar_->hide();
    horizontalBar_->hide();

    connect(verticalBar_, &QScrollBar::valueChanged, this, [this](int row) {
        if (!updatingBars_) ScrollTo(row, model_.LeftCol());
    });
    connect(horizontalBar_, &QScrollBar::valueChanged, this, [this](int col) {
        if (!updatingBars_) ScrollTo(model_.TopRow(), col);
    });

    model_.SetFixedCellBrush(palette().button());
    ApplySectionSizes(true);
    UpdateScrollBars();
}

void GridView::Refresh() {
    if (grid_.Revision() == seenRevision_) return;
    seenRevision_ = grid_.Revision();
    int topRow = model_.TopRow();
    // The engine moved the grid's first visible row: follow it. Otherwise
    // keep wherever the operator scrolled to.
    if (grid_.TopRow() != seenGridTopRow_) {
        seenGridTopRow_ = grid_.TopRow();
        topRow = seenGridTopRow_;
    }
    const bool reshaped = model_.Sync(topRow, model_.LeftCol());
    ApplySectionSizes(reshaped);
    UpdateScrollBars();
}

void GridView::ScrollTo(int topRow, int leftCol) {
    const bool reshaped = model_.Sync(topRow, leftCol);
    ApplySectionSizes(reshaped);
    UpdateScrollBars();
}

void GridView::ApplySectionSizes(bool all) {
    QHeaderView* rows = table_->verticalHeader();
    const int rowPixels = std::max(1, TwipsToPixels(grid_.RowHeight(), logicalDpiY()));
    if (rows->defaultSectionSize() != rowPixels) rows->setDefaultSectionSize(rowPixels);

    // A reset of the table model brings every column back to the default
    // width; otherwise only the columns whose width changed are touched.
    QHeaderView* columns = table_->horizontalHeader();
    const int count = model_.columnCount();
    if (all) columnPixels_.assign(static_cast<std::size_t>(count), -1);
    columnPixels_.resize(static_cast<std::size_t>(count), -1);
    for (int viewCol = 0; viewCol < count; ++viewCol) {
        const int pixels = TwipsToPixels(grid_.ColWidth(model_.GridCol(viewCol)), logicalDpiX());
        int& known = columnPixels_[static_cast<std::size_t>(viewCol)];
        if (known != pixels) {
            columns->resizeSection(viewCol, pixels);
            known = pixels;
        }
    }
}

void GridView::UpdateScrollBars() {
    const int rowPixels = std::max(1, TwipsToPixels(grid_.RowHeight(), logicalDpiY()));
    const int fixedRows = std::clamp(grid_.FixedRows(), 0, grid_.Rows());
    const int fixedCols = std::clamp(grid_.FixedCols(), 0, grid_.Cols());
    auto colPixels = [this](int col) { return TwipsToPixels(grid_.ColWidth(col), logicalDpiX()); };
    int fixedWidth = 0;
    int scrollableWidth = 0;
    for (int col = 0; col < grid_.Cols(); ++col)
        (col < fixedCols ? fixedWidth : scrollableWidth) += colPixels(col);
    const int fixedHeight = fixedRows * rowPixels;
    const int scrollableHeight = (grid_.Rows() - fixedRows) * rowPixels;

    // Each bar takes room from the other direction, so decide twice.
    const int frame = 2 * table_->frameWidth();
    int width = this->width() - frame;
    int height = this->height() - frame;
    bool needVertical = false;
    bool needHorizontal = false;
    for (int pass = 0; pass < 2; ++pass) {
        const int availableWidth = width - (needVertical ? verticalBar_->sizeHint().width() : 0);
        const int availableHeight =
            height - (needHorizontal ? horizontalBar_->sizeHint().height() : 0);
        needHorizontal =
            model_.LeftCol() > fixedCols || fixedWidth + scrollableWidth > availableWidth;
        needVertical =
            model_.TopRow() > fixedRows || fixedHeight + scrollableHeight > availableHeight;
    }
    const int availableWidth = width - (needVertical ? verticalBar_->sizeHint().width() : 0);
    const int availableHeight = height - (needHorizontal ? horizontalBar_->sizeHint().height() : 0);

    // The last origin worth scrolling to shows the last row (column) at the
    // far edge; the grid's own TopRow may lie beyond it and is kept reachable.
    const int rowsInView = std::max(1, (availableHeight - fixedHeight) / rowPixels);
    const int lastTopRow = std::max({fixedRows, grid_.Rows() - rowsInView, model_.TopRow()});
    int lastLeftCol = grid_.Cols() - 1;
    for (int widthFromRight = 0; lastLeftCol >= fixedCols; --lastLeftCol) {
        widthFromRight += colPixels(lastLeftCol);
        if (widthFromRight > availableWidth - fixedWidth) break;
    }
    lastLeftCol =
        std::max({fixedCols, std::min(lastLeftCol + 1, grid_.Cols() - 1), model_.LeftCol()});

    int columnsInView = 0;
    for (int col = model_.LeftCol(), used = fixedWidth; col < grid_.Cols();
         ++col, ++columnsInView) {
        used += colPixels(col);
        if (used > availableWidth) break;
    }

    updatingBars_ = true;
    verticalBar_->setRange(fixedRows, lastTopRow);
    verticalBar_->setPageStep(rowsInView);
    verticalBar_->setValue(model_.TopRow());
    horizontalBar_->setRange(fixedCols, lastLeftCol);
    horizontalBar_->setPageStep(std::max(1, columnsInView));
    horizontalBar_->setValue(model_.LeftCol());
    updatingBars_ = false;
    if (verticalBar_->isVisibleTo(this) != needVertical) verticalBar_->setVisible(needVertical);
    if (horizontalBar_->isVisibleTo(this) != needHorizontal)
        horizontalBar_->setVisible(needHorizontal);
}

void GridView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateScrollBars();
}

void GridView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) model_.SetFixedCellBrush(palette().button());
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
    // The table's own bars are off, so the wheel moves the bars beside it.
    if (watched == table_->viewport() && event->type() == QEvent::Wheel) {
        QScrollBar* bar = verticalBar_->isVisibleTo(this) ? verticalBar_ : horizontalBar_;
        if (bar->isVisibleTo(this)) QCoreApplication::sendEvent(bar, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace palomind
