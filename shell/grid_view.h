#pragma once
#include <QWidget>
#include <cstdint>
#include <vector>

#include "engine/grid_model.h"
#include "shell/grid_table_model.h"

class QScrollBar;
class QTableView;

namespace palomind {

// One of the race window's grids: a read-only table over a GridModel whose
// fixed rows and columns stay in place while the rest scrolls, sized from
// the grid's twips. The grid's TopRow is followed whenever it changes; in
// between, the operator may scroll freely without touching the model.
class GridView final : public QWidget {
    Q_OBJECT
  public:
    GridView(const GridModel& grid, const QFont& font, QWidget* parent = nullptr);

    // Re-renders the grid if it changed since the last call. Runs after every
    // pass, so an unchanged grid costs one comparison.
    void Refresh();

    // The first scrollable row and column in view.
    int TopRow() const { return model_.TopRow(); }
    int LeftCol() const { return model_.LeftCol(); }
    QTableView* Table() const { return table_; }
    const GridTableModel& Model() const { return model_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ScrollTo(int topRow, int leftCol);
    void ApplySectionSizes(bool all);
    void UpdateScrollBars();

    const GridModel& grid_;
    GridTableModel model_;
    QTableView* table_;
    QScrollBar* verticalBar_;
    QScrollBar* horizontalBar_;
    std::uint64_t seenRevision_;
    int seenGridTopRow_;
    std::vector<int> columnPixels_;
    bool updatingBars_ = false;
};

}  // namespace palomind
