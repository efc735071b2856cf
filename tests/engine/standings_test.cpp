#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

class StandingsTest : public EngineTest {
  protected:
    StandingsTest() {
        At(90000);
        engine.ReSet();  // race start at 100 s
    }
};

TEST_F(StandingsTest, FirstPassFillsRowOneAndOpensColumnOne) {
    Pass(5, 101250);
    EXPECT_EQ(Standing(1, 0), "1");
    EXPECT_EQ(Standing(1, 1), "05");
    EXPECT_EQ(Standing(1, 2), "N5");
    EXPECT_EQ(Standing(1, 3), "000");
    EXPECT_EQ(Standing(1, 4), "00h00m01s25");
    EXPECT_EQ(Standing(1, 5), "00m00s00");
    EXPECT_EQ(Standing(1, 6), "00m00s00");
    EXPECT_EQ(LapCell(0, 1), "ID05");
    EXPECT_EQ(LapCell(1, 1), "N5");
    EXPECT_EQ(LapCell(2, 1), "");
    EXPECT_EQ(state.EntryCount, 1);
    EXPECT_EQ(state.RunningFlag[5], 1);
}

TEST_F(StandingsTest, LapsFillTheEntrantsColumnAndTheLapNumbers) {
    Pass(5, 101000);
    Pass(6, 101500);
    Pass(5, 131000);
    Pass(6, 133000);
    EXPECT_EQ(LapCell(2, 0), "1");
    EXPECT_EQ(LapCell(2, 1), "00m31s00");
    EXPECT_EQ(LapCell(2, 2), "00m33s00");
    EXPECT_EQ(Standing(1, 3), "001");
}

TEST_F(StandingsTest, TwentyFirstEntrantIsEnteredOnlyWhenItReachesTheTop20) {
    for (int id = 1; id <= 21; ++id) Pass(id, 101000 + id * 10);
    EXPECT_EQ(state.EntryCount, 20);
    EXPECT_EQ(state.RunningFlag[21], 0);
    Pass(21, 130000);  // a lap: first place
    EXPECT_EQ(state.EntryCount, 21);
    EXPECT_EQ(state.EntryIds[21], 21);
    EXPECT_EQ(Standing(1, 1), "21");
    // The lap history widens instead of dropping the 21st entrant's laps.
    ASSERT_EQ(window.LapHistory.Cols(), 22);
    EXPECT_EQ(LapCell(0, 21), "ID21");
    // Its lap shows from the next refresh on, as for every entrant entered
    // at a lap.
    Pass(1, 131000);
    EXPECT_EQ(LapCell(2, 21), "00m30s00");
}

TEST_F(StandingsTest, LapHistoryScrollsToKeepTheNewest16LapsInView) {
    Pass(5, 100500);
    for (int lap = 1; lap <= 16; ++lap) Pass(5, 100500 + lap * 10000);
    EXPECT_EQ(window.LapHistory.Rows(), 20);
    Pass(5, 100500 + 17 * 10000);
    EXPECT_EQ(window.LapHistory.Rows(), 19);
    EXPECT_EQ(window.LapHistory.TopRow(), 3);
    Pass(5, 100500 + 18 * 10000);
    EXPECT_EQ(window.LapHistory.Rows(), 20);
    EXPECT_EQ(window.LapHistory.TopRow(), 4);
    EXPECT_EQ(LapCell(19, 0), "18");
}

TEST_F(StandingsTest, FinishedEntrantKeepsItsRowAndColumn) {
    Pass(5, 101000);
    Pass(6, 102000);
    Pass(5, 585000);  // finishes
    const std::string row = Standing(1, 4);
    Pass(5, 600000);  // ignored
    EXPECT_EQ(Standing(1, 4), row);
    EXPECT_EQ(LapCell(0, 1), "ID05");
    EXPECT_EQ(state.EntryIds[1], 5);
}

}  // namespace
}  // namespace palomind::testing
