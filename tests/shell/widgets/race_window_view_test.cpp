#include "shell/race_window_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextEdit>

#include "engine/race_window_model.h"
#include "shell/grid_view.h"
#include "widget_test.h"

namespace palomind {
namespace {

class RaceWindowViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    static QScrollBar* Bar(GridView* grid, Qt::Orientation orientation) {
        for (QScrollBar* bar : grid->findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly))
            if (bar->orientation() == orientation) return bar;
        return nullptr;
    }
    QLabel* Label(const char* name) { return view.findChild<QLabel*>(QString::fromLatin1(name)); }
    GridView* Grid(const char* name) {
        return view.findChild<GridView*>(QString::fromLatin1(name));
    }
    QColor PixelOf(const char* name) {
        QWidget* widget = view.findChild<QWidget*>(QString::fromLatin1(name));
        return widget->grab().toImage().pixelColor(widget->width() / 2, 3);
    }
    static QString Shown(GridView* grid, int viewRow, int viewCol) {
        const QAbstractItemModel* model = grid->Table()->model();
        return model->data(model->index(viewRow, viewCol)).toString();
    }

    RaceWindowModel model;
    // What the box hands on as the operator types: the stored form.
    std::string typed;
    frmRaceResult view{model, [this](std::string stored) { typed = std::move(stored); }};
};

TEST_F(RaceWindowViewTest, ShowsStatusClocksAndLampColoursOfTheModel) {
    model.StatusCaption = "計測中";
    model.LampColor = kTimingBlue;
    model.ElapsedCaption = "-00h00m05s";
    model.ElapsedForeColor = kRed;
    model.RemainingCaption = "00h08m05s";
    view.Refresh();

    EXPECT_EQ(Label("Label17")->text(), QStringLiteral("計測中"));
    EXPECT_EQ(Label("Label2")->text(), QStringLiteral("-00h00m05s"));
    EXPECT_EQ(Label("Label4")->text(), QStringLiteral("00h08m05s"));
    EXPECT_EQ(PixelOf("Shape3"), QColor(0x80, 0x80, 0xFF));  // 0x00BBGGRR
    EXPECT_EQ(PixelOf("Shape2"), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(Label("Label2")->palette().color(QPalette::WindowText), QColor(Qt::red));

    model.ElapsedForeColor = kButtonTextColor;
    model.LampColor = kRed;
    view.Refresh();
    EXPECT_EQ(Label("Label2")->palette().color(QPalette::WindowText),
              view.palette().color(QPalette::ButtonText));
    EXPECT_EQ(PixelOf("Shape3"), QColor(Qt::red));
}

TEST_F(RaceWindowViewTest, LabelsHoldTheirLongestTextsUnclipped) {
    model.ElapsedCaption = "-00h00m05s";
    view.Refresh();
    for (const char* name :
         {"Label1", "Label2", "Label3", "Label5", "Label6", "Label7", "Label17"}) {
        QLabel* label = Label(name);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
        EXPECT_LE(label->fontMetrics().height(), label->height()) << name;
    }
    EXPECT_EQ(view.sizeHint(),
              QSize(14970 * view.logicalDpiX() / 1440, 8430 * view.logicalDpiY() / 1440));
}

TEST_F(RaceWindowViewTest, ShowsGridCellsWithFixedCellsShadedAndAllColumnsOfTheStandingsInView) {
    // The widths a race reset gives the standings.
    const int widths[kStandingsCols] = {550, 350, 800, 500, 1300, 1000, 1000};
    for (int col = 0; col < kStandingsCols; ++col) model.Standings.SetColWidth(col, widths[col]);
    model.Standings.SetTextMatrix(0, 1, "ID");
    model.Standings.SetTextMatrix(1, 1, "05");
    model.Standings.SetTextMatrix(1, 2, "Taro");
    view.Refresh();

    GridView* standings = Grid("MSFlexGrid1");
    EXPECT_EQ(Shown(standings, 0, 1), QStringLiteral("ID"));
    EXPECT_EQ(Shown(standings, 1, 1), QStringLiteral("05"));
    EXPECT_EQ(Shown(standings, 1, 2), QStringLiteral("Taro"));
    const QAbstractItemModel* cells = standings->Table()->model();
    EXPECT_TRUE(cells->data(cells->index(0, 3), Qt::BackgroundRole).isValid());
    EXPECT_TRUE(cells->data(cells->index(4, 0), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(cells->data(cells->index(4, 3), Qt::BackgroundRole).isValid());
    // Numbers sit to the right, names to the left.
    EXPECT_TRUE(cells->data(cells->index(1, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);
    EXPECT_TRUE(cells->data(cells->index(1, 2), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignLeft);
    // 21 rows of 240 twips and widths adding up to 5500 twips fit the grid.
    EXPECT_EQ(cells->rowCount(), kStandingsRows);
    EXPECT_EQ(cells->columnCount(), kStandingsCols);
    EXPECT_FALSE(Bar(standings, Qt::Vertical)->isVisible());
    EXPECT_FALSE(Bar(standings, Qt::Horizontal)->isVisible());
}

TEST_F(RaceWindowViewTest, WidestCellTextsFitTheirColumns) {
    const int widths[kStandingsCols] = {550, 350, 800, 500, 1300, 1000, 1000};
    const char* texts[kStandingsCols] = {"20",          "63",       "山田太",  "999",
                                         "99h59m59s99", "99m59s99", "99m59s99"};
    for (int col = 0; col < kStandingsCols; ++col) {
        model.Standings.SetColWidth(col, widths[col]);
        model.Standings.SetTextMatrix(1, col, texts[col]);
    }
    model.LapHistory.SetColWidth(0, 400);
    model.LapHistory.SetColWidth(1, 900);
    model.LapHistory.SetTextMatrix(0, 0, "Lap");
    model.LapHistory.SetTextMatrix(17, 0, "999");
    model.LapHistory.SetTextMatrix(17, 1, "99m59s99");
    view.Refresh();
    for (GridView* grid : {Grid("MSFlexGrid1"), Grid("MSFlexGrid2")}) {
        QTableView* table = grid->Table();
        QStyleOptionViewItem option;
        option.initFrom(table);
        option.font = table->font();
        option.features |= QStyleOptionViewItem::HasDisplay;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            for (int col = 0; col < table->model()->columnCount(); ++col) {
                const QModelIndex index = table->model()->index(row, col);
                if (index.data().toString().isEmpty()) continue;
                EXPECT_LE(table->itemDelegate()->sizeHint(option, index).width(),
                          table->columnWidth(col))
                    << index.data().toString().toStdString();
            }
    }
}

TEST_F(RaceWindowViewTest, LapHistoryScrollsToTheModelsTopRowKeepingTheFixedRowsInView) {
    GridModel& laps = model.LapHistory;
    laps.SetTextMatrix(0, 0, "Lap");
    laps.SetTextMatrix(1, 1, "Taro");
    laps.SetRows(19);
    laps.SetTopRow(3);
    laps.SetTextMatrix(3, 0, "2");
    laps.SetTextMatrix(18, 0, "17");
    view.Refresh();

    GridView* history = Grid("MSFlexGrid2");
    EXPECT_EQ(history->TopRow(), 3);
    EXPECT_EQ(Shown(history, 0, 0), QStringLiteral("Lap"));
    EXPECT_EQ(Shown(history, 1, 1), QStringLiteral("Taro"));
    EXPECT_EQ(Shown(history, 2, 0), QStringLiteral("2"));
    EXPECT_EQ(Shown(history, 17, 0), QStringLiteral("17"));
    EXPECT_EQ(history->Table()->model()->rowCount(), 2 + 16);

    // The operator scrolls back to lap 1; new laps keep that view until the
    // engine moves the grid's top row again.
    QScrollBar* vertical = Bar(history, Qt::Vertical);
    ASSERT_TRUE(vertical->isVisible());
    vertical->setValue(2);
    EXPECT_EQ(Shown(history, 2, 0), QString());
    laps.SetTextMatrix(3, 1, "01m02s03");
    view.Refresh();
    EXPECT_EQ(history->TopRow(), 2);
    EXPECT_EQ(Shown(history, 3, 1), QStringLiteral("01m02s03"));
    laps.SetRows(20);
    laps.SetTopRow(4);
    view.Refresh();
    EXPECT_EQ(history->TopRow(), 4);
    EXPECT_EQ(vertical->value(), 4);
}

TEST_F(RaceWindowViewTest, LapHistoryScrollsSidewaysKeepingTheLapColumn) {
    model.LapHistory.SetTextMatrix(2, 0, "1");
    model.LapHistory.SetTextMatrix(0, 20, "ID20");
    view.Refresh();
    GridView* history = Grid("MSFlexGrid2");
    QScrollBar* horizontal = Bar(history, Qt::Horizontal);
    // 400 + 20 x 900 twips do not fit 8895 twips.
    ASSERT_TRUE(horizontal->isVisible());
    horizontal->setValue(horizontal->maximum());
    const QAbstractItemModel* cells = history->Table()->model();
    EXPECT_EQ(Shown(history, 2, 0), QStringLiteral("1"));
    EXPECT_EQ(Shown(history, 0, cells->columnCount() - 1), QStringLiteral("ID20"));
    // The last column then ends inside the grid.
    int width = 0;
    for (int col = 0; col < cells->columnCount(); ++col)
        width += history->Table()->columnWidth(col);
    EXPECT_LE(width, history->Table()->viewport()->width());
}

TEST_F(RaceWindowViewTest, RefreshOfAnUnchangedModelTouchesNoCell) {
    GridView* history = Grid("MSFlexGrid2");
    QSignalSpy changed(history->Table()->model(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(history->Table()->model(), &QAbstractItemModel::modelReset);
    view.Refresh();
    view.Refresh();
    EXPECT_EQ(changed.count(), 0);
    model.LapHistory.SetTextMatrix(2, 1, "00m59s00");
    view.Refresh();
    view.Refresh();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(reset.count(), 0);
    // Only that cell is announced, so only it is repainted.
    const QModelIndex cell = history->Table()->model()->index(2, 1);
    EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>(), cell);
    EXPECT_EQ(changed.at(0).at(1).value<QModelIndex>(), cell);
}

// A new lap scrolls the lap history without resetting its table, and only
// the changed cells are repainted: what is then on the screen must be what
// drawing the whole grid afresh gives.
TEST_F(RaceWindowViewTest, PartlyRepaintedGridsLookAsIfDrawnWhole) {
    GridModel& laps = model.LapHistory;
    laps.SetTextMatrix(0, 1, "ID1");
    for (int lap = 1; lap <= 18; ++lap) laps.SetTextMatrix(lap + 1, 0, std::to_string(lap));
    laps.SetRows(20);
    laps.SetTopRow(4);
    view.Refresh();
    QTest::qWait(20);
    QSignalSpy reset(Grid("MSFlexGrid2")->Table()->model(), &QAbstractItemModel::modelReset);

    laps.SetRows(21);
    laps.SetTopRow(5);
    laps.SetTextMatrix(20, 0, "19");
    laps.SetTextMatrix(20, 1, "00m59s00");
    model.Standings.SetTextMatrix(1, 1, "Taro");
    view.Refresh();
    QTest::qWait(20);
    EXPECT_EQ(reset.count(), 0);

    for (GridView* grid : {Grid("MSFlexGrid1"), Grid("MSFlexGrid2")}) {
        QWidget* cells = grid->Table()->viewport();
        const QPoint at = cells->mapTo(&view, QPoint(0, 0));
        const QImage onScreen =
            view.screen()
                ->grabWindow(view.winId(), at.x(), at.y(), cells->width(), cells->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        const QImage drawnWhole = cells->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(onScreen, drawnWhole) << grid->objectName().toStdString();
    }
}

TEST_F(RaceWindowViewTest, TypedCommentIsStoredWithCrLfLineBreaks) {
    QTextEdit* box = view.RichTextBox1();
    QTest::keyClicks(box, "first");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, "second");
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);  // a line break inside the paragraph
    QTest::keyClicks(box, "third");
    EXPECT_EQ(typed, "first\r\nsecond\r\nthird");

    QApplication::clipboard()->setText(QStringLiteral("ペースト\n済"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(typed, "first\r\nsecond\r\nthirdペースト\r\n済");
    EXPECT_EQ(model.Comment, "");  // the view never writes the model
}

TEST_F(RaceWindowViewTest, LoadingTheCommentAcceptsAnyLineBreakAndKeepsItPlain) {
    model.Comment = "<b>one</b>\r\ntwo\rthree\nfour";
    view.LoadCommentFromModel();
    EXPECT_EQ(view.RichTextBox1()->toPlainText(), QStringLiteral("<b>one</b>\ntwo\nthree\nfour"));
    EXPECT_EQ(typed, "");  // loading is not typing

    QTest::keyClick(view.RichTextBox1(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(view.RichTextBox1(), "!");
    EXPECT_EQ(typed, "<b>one</b>\r\ntwo\r\nthree\r\nfour!");
}

}  // namespace
}  // namespace palomind
