// A lap shorter than the minimum lap in the race window: its lap history cell
// marked, and "暫定" in the status bar while it stands.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTableView>
#include <QTest>

#include "shell/grid_view.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

class ShortLapViewTest : public StartedShellTest {
  protected:
    void Enter(const char* item, const char* text) {
        h.dialogs.inputAnswers.push_back(text);
        h.Choose(item);
    }
    // ID 2 passes `afterMs` from now ("ＩＤ２").
    void PassAfter(std::int32_t afterMs) {
        h.RunClockUntil(h.Now() + afterMs);
        h.Press("ＩＤ２");
    }
    QLabel* Provisional() const {
        return h.window->findChild<QLabel*>(QStringLiteral("sbStatusBarProvisional"));
    }
    bool Marked(int row, int col) const {
        const QTableView* table =
            h.window->findChild<GridView*>(QStringLiteral("MSFlexGrid2"))->Table();
        return table->model()->data(table->model()->index(row, col), Qt::BackgroundRole).isValid();
    }
    // Waits out the redraw pacing, until `shown` is what the label says.
    bool ProvisionalShown(bool shown) const {
        return QTest::qWaitFor([&] { return Provisional()->isHidden() != shown; }, 2000);
    }
};

TEST_F(ShortLapViewTest, FlaggedLapCellIsMarkedAndTheStatusBarSaysProvisional) {
    Enter("mnuStartWait", "0");
    Enter("mnuMinLap", "5");
    ASSERT_NE(Provisional(), nullptr);
    EXPECT_EQ(Provisional()->text().toStdString(), "暫定");
    h.Press("レース開始");
    PassAfter(1'500);
    PassAfter(6'000);  // lap 1
    ASSERT_TRUE(ProvisionalShown(false));
    PassAfter(300);  // lap 2: 0.3 s
    ASSERT_TRUE(ProvisionalShown(true));
    ASSERT_EQ(h.Model().LapHistory.TextMatrix(0, 1), "ID02");
    EXPECT_FALSE(Marked(2, 1));
    EXPECT_TRUE(Marked(3, 1));

    // The next race, without a minimum, is no longer provisional.
    h.Press("ストップ");
    Enter("mnuMinLap", "0");
    h.Press("レース開始");
    EXPECT_TRUE(ProvisionalShown(false));
    EXPECT_FALSE(Marked(3, 1));
}

}  // namespace
}  // namespace palomind::testing
