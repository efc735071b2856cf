#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

// Race start at tick-second 100, race time 480, so the race time ends at 580.
class LapProcessingTest : public EngineTest {
  protected:
    LapProcessingTest() {
        state.StartWait = 10;
        state.RaceTime = 480;
        At(90000);
        engine.ReSet();
    }
    std::size_t I(int id) { return static_cast<std::size_t>(id); }
};

TEST_F(LapProcessingTest, FollowsTheWorkedExample) {
    ASSERT_EQ(state.RaceStart, 100);
    ASSERT_EQ(state.RaceEnd, 580);
    struct Step {
        std::int32_t ms;
        int lapCount;
        double lastLap, bestLap, rankKey;
    };
    const Step steps[] = {
        {101250, 0, 0, 0, 86398.75},      {131500, 1, 31.5, 31.5, 186368.5},
        {160000, 2, 28.5, 28.5, 286340},  {190000, 3, 30.0, 28.5, 386310},
        {581000, 4, 391.0, 28.5, 485919},
    };
    for (const Step& st : steps) {
        SCOPED_TRACE(st.ms);
        Pass(3, st.ms);
        EXPECT_EQ(state.LapCount[I(3)], st.lapCount);
        EXPECT_DOUBLE_EQ(state.LastLap[I(3)], st.lastLap);
        EXPECT_DOUBLE_EQ(state.BestLap[I(3)], st.bestLap);
        EXPECT_DOUBLE_EQ(state.RankKey[I(3)], st.rankKey);
    }
    EXPECT_EQ(state.RunningFlag[I(3)], 0);
    EXPECT_EQ(state.AllFinished, kTrue);
    EXPECT_EQ(window.StatusCaption, "全終了");
    EXPECT_EQ(window.LampColor, kRed);
    EXPECT_DOUBLE_EQ(state.LapTimes(3, 1), 31.5);
    EXPECT_DOUBLE_EQ(state.LapTimes(3, 4), 391.0);

    const std::size_t sounds = sound.played.size();
    Pass(3, 600000);  // finished: ignored completely
    EXPECT_EQ(state.LapCount[I(3)], 4);
    EXPECT_EQ(sound.played.size(), sounds);
}

TEST_F(LapProcessingTest, EveryAcceptedPassPlaysTheLapSound) {
    state.TtsMode = 1;  // the read-out mode silences cues, never the pass sound
    Pass(3, 101000);
    Pass(3, 102000);
    EXPECT_EQ(sound.played, (std::vector<std::string>{"lap.wav", "lap.wav"}));
}

TEST_F(LapProcessingTest, PassAtExactlyTheEndIsAnOrdinaryLap) {
    Pass(3, 101000);
    Pass(3, 580000);
    EXPECT_EQ(state.RunningFlag[I(3)], 1);
    EXPECT_EQ(state.LapCount[I(3)], 1);
}

TEST_F(LapProcessingTest, PassesCloseTogetherCountAsLaps) {
    Pass(3, 101000);
    Pass(3, 120000);
    Pass(3, 120200);
    EXPECT_EQ(state.LapCount[I(3)], 2);
    EXPECT_NEAR(state.BestLap[I(3)], 0.2, 1e-9);
}

TEST_F(LapProcessingTest, RanksByLapsThenEarlierPassThenLowerId) {
    Pass(7, 101000);
    Pass(4, 102000);
    Pass(9, 101000);  // same key as ID 7: the lower ID goes first
    Pass(4, 130000);  // one lap: ahead of all
    EXPECT_EQ(state.RankOrder[1], 4);
    EXPECT_EQ(state.RankOrder[2], 7);
    EXPECT_EQ(state.RankOrder[3], 9);
    EXPECT_EQ(state.RankOrder[4], 0);
    EXPECT_EQ(Standing(1, 1), "04");
    EXPECT_EQ(Standing(2, 1), "07");
    EXPECT_EQ(Standing(3, 1), "09");
    EXPECT_EQ(Standing(4, 1), "--");
}

TEST_F(LapProcessingTest, PassBeforeTheStartRanksAmongZeroLapEntrants) {
    Pass(5, 95000);  // toolbar press during the countdown
    Pass(6, 101000);
    EXPECT_GT(state.RankKey[I(5)], 86400);
    EXPECT_EQ(state.RankOrder[1], 5);
}

TEST_F(LapProcessingTest, AfterTheEndOnlyRunningEntrantsCountAndTheLastFinishesTheRace) {
    Pass(3, 101000);
    Pass(4, 102000);
    Pass(8, 590000);  // never entered: ignored
    EXPECT_EQ(state.LapCount[I(8)], -1);
    Pass(3, 590000);
    EXPECT_EQ(state.AllFinished, kFalse);
    EXPECT_EQ(state.RunningCount, 1);
    Pass(4, 591000);
    EXPECT_EQ(state.AllFinished, kTrue);
    EXPECT_EQ(window.StatusCaption, "全終了");
}

TEST_F(LapProcessingTest, IdsZeroAndAbove64AreDroppedWithoutTrace) {
    for (int id : {0, 65, 200, 255}) {
        Pass(id, 101000);
        EXPECT_TRUE(sound.played.empty()) << id;
    }
    EXPECT_EQ(state.EntryCount, 0);
    EXPECT_EQ(state.MaxLap, 0);
    EXPECT_EQ(Standing(1, 1), "--");
}

TEST_F(LapProcessingTest, Id64CountsLapsButIsNeverRanked) {
    Pass(64, 101000);
    Pass(64, 130000);
    EXPECT_EQ(state.LapCount[I(64)], 1);
    EXPECT_EQ(state.MaxLap, 1);
    EXPECT_EQ(state.RankOrder[1], 0);
    EXPECT_EQ(state.EntryCount, 0);
}

TEST_F(LapProcessingTest, LapBeyondTheThousandthIsDroppedAndStateStaysIntact) {
    Pass(3, 101000);
    for (int lap = 1; lap <= 1000; ++lap) Pass(3, 101000 + lap * 100);
    ASSERT_EQ(state.LapCount[I(3)], 1000);
    const double last = state.LapTimes(3, 1000);
    const std::size_t sounds = sound.played.size();
    Pass(3, 300000);
    EXPECT_EQ(state.LapCount[I(3)], 1000);
    EXPECT_EQ(state.MaxLap, 1000);
    EXPECT_DOUBLE_EQ(state.LapTimes(3, 1000), last);
    EXPECT_DOUBLE_EQ(state.LapTimes(4, 0), 0.0);  // the next ID's row is untouched
    EXPECT_EQ(sound.played.size(), sounds);
    EXPECT_EQ(window.LapHistory.Rows(), 1002);
}

}  // namespace
}  // namespace palomind::testing
