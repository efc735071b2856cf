#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

using RaceResetTest = EngineTest;

TEST_F(RaceResetTest, FixesTheAnchorsFromTheTickCounter) {
    At(123456);
    engine.ReSet();
    EXPECT_EQ(state.RaceStart, 133);
    EXPECT_EQ(state.RaceEnd, 613);
}

TEST_F(RaceResetTest, RoundsHalfSecondsToEven) {
    At(12500);
    engine.ReSet();
    EXPECT_EQ(state.RaceStart, 22);
    At(13500);
    engine.ReSet();
    EXPECT_EQ(state.RaceStart, 24);
}

TEST_F(RaceResetTest, ShowsAWaitingRaceWithPlaceholders) {
    At(5000);
    engine.ReSet();
    EXPECT_EQ(window.StatusCaption, "待機中");
    EXPECT_EQ(window.LampColor, kYellow);
    EXPECT_EQ(window.ElapsedCaption, "--h--m--s");
    EXPECT_EQ(window.RemainingCaption, "--h--m--s");
    EXPECT_EQ(Standing(0, 0), "順位");
    EXPECT_EQ(Standing(0, 4), "Time");
    EXPECT_EQ(window.Standings.ColWidth(4), 1300);
    EXPECT_EQ(Standing(20, 0), "20");
    EXPECT_EQ(Standing(20, 1), "--");
    EXPECT_EQ(Standing(20, 3), "---");
    EXPECT_EQ(LapCell(0, 0), "Lap");
    EXPECT_EQ(window.LapHistory.ColWidth(0), 400);
    EXPECT_EQ(window.LapHistory.ColWidth(1), 900);
    for (int id = 0; id <= 64; ++id) {
        EXPECT_EQ(state.LapCount[static_cast<std::size_t>(id)], -1) << id;
        EXPECT_EQ(state.RankKey[static_cast<std::size_t>(id)], 0) << id;
    }
}

TEST_F(RaceResetTest, ClearsEverythingAnEarlierRaceLeft) {
    At(90000);
    engine.ReSet();
    for (int id = 1; id <= 22; ++id) Pass(id, 101000 + id);
    for (int id = 1; id <= 22; ++id) Pass(id, 131000 + id);
    Pass(64, 101000);
    Pass(64, 140000);
    Pass(64, 150000);
    At(200000);
    engine.ReSet();
    EXPECT_EQ(state.MaxLap, 0);
    EXPECT_EQ(state.LapCount[64], -1);
    EXPECT_EQ(window.LapHistory.Cols(), 21);
    for (int row = 0; row <= 3; ++row)
        for (int col = 1; col <= 20; ++col) EXPECT_EQ(LapCell(row, col), "") << row << "," << col;
    EXPECT_EQ(Standing(1, 1), "--");
    // ID 64's earlier laps no longer raise the next race's MaxLap.
    Pass(64, 211000);
    EXPECT_EQ(state.MaxLap, 0);
}

TEST_F(RaceResetTest, ClearsEntrantHeadingsEvenWhenNoLapWasCompleted) {
    At(90000);
    engine.ReSet();
    Pass(5, 101000);
    ASSERT_EQ(LapCell(0, 1), "ID05");
    At(120000);
    engine.ReSet();
    EXPECT_EQ(LapCell(0, 1), "");
    EXPECT_EQ(LapCell(1, 1), "");
    EXPECT_EQ(LapCell(0, 0), "Lap");
}

TEST_F(RaceResetTest, HugeTimesSaturateInsteadOfOverflowing) {
    state.StartWait = 2147483647;
    state.RaceTime = 2147483647;
    At(2000000000);
    engine.ReSet();
    EXPECT_EQ(state.RaceStart, 2147483647);
    EXPECT_EQ(state.RaceEnd, 2147483647);
    state.StartWait = -2147483647 - 1;
    state.RaceTime = -2147483647 - 1;
    engine.StartRace();
    TickUntil(2000003000);
    EXPECT_EQ(window.StatusCaption, "待機中");
}

}  // namespace
}  // namespace palomind::testing
