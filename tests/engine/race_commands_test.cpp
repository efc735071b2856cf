#include "tests/engine/engine_fixture.h"
#include "tests/support/receiver_frame.h"

namespace palomind::testing {
namespace {

using RaceCommandsTest = EngineTest;

TEST_F(RaceCommandsTest, StopDuringTheCountdownIsSilentAndKeepsTheRedClock) {
    StartAt(1000);
    TickUntil(5000);
    sound.played.clear();
    engine.StopRace();
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(window.ElapsedForeColor, kRed);
    EXPECT_EQ(state.RaceStarted, kFalse);
    EXPECT_EQ(window.StatusCaption, "待機中");
    const std::string shown = window.ElapsedCaption;
    TickUntil(20000);
    EXPECT_EQ(window.ElapsedCaption, shown);
}

TEST_F(RaceCommandsTest, StopOnceTimingHasBegunPlaysTheEndSoundAndClosesTheGate) {
    StartAt(1000);
    TickUntil(12000);
    sound.played.clear();
    engine.StopRace();
    EXPECT_EQ(sound.played, std::vector<std::string>{"snd2.wav"});
    EXPECT_EQ(state.RaceRunning, kFalse);
    EXPECT_EQ(window.LampColor, kYellow);
    engine.OnComm(Frame(5));
    EXPECT_EQ(state.EntryCount, 0);
}

TEST_F(RaceCommandsTest, StopBeforeAnyRaceOnlyShowsWaiting) {
    At(1000);
    engine.ReSet();
    engine.StopRace();
    EXPECT_EQ(state.AllFinished, kFalse);
    EXPECT_EQ(state.RaceStarted, kFalse);
    EXPECT_EQ(window.StatusCaption, "待機中");
}

TEST_F(RaceCommandsTest, StartDuringTimingDiscardsTheRace) {
    StartAt(1000);
    TickUntil(12000);
    engine.TestPass(2);
    ASSERT_EQ(Standing(1, 1), "02");
    StartAt(13000);
    EXPECT_EQ(Standing(1, 1), "--");
    EXPECT_EQ(state.RaceRunning, kFalse);
    EXPECT_EQ(state.RaceStart, 23);
}

TEST_F(RaceCommandsTest, Id1CountsOnFromTheLastIdProcessed) {
    At(1000);
    engine.ReSet();
    std::vector<int> ids;
    for (int i = 0; i < 3; ++i) {
        engine.TestPass(1);
        ids.push_back(state.PassId);
    }
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3}));
    state.PassId = 7;  // a receiver pass for ID 7
    engine.TestPass(1);
    EXPECT_EQ(state.PassId, 8);
    state.PassId = 20;
    engine.TestPass(1);
    EXPECT_EQ(state.PassId, 1);
    state.PassId = 30;
    engine.TestPass(1);
    EXPECT_EQ(state.PassId, 31);
    state.PassId = 255;
    engine.TestPass(1);
    EXPECT_EQ(state.PassId, 1);
}

TEST_F(RaceCommandsTest, TestPassesWorkInEveryPhase) {
    At(1000);
    engine.ReSet();
    engine.TestPass(3);  // before any start
    engine.TestPass(2);
    EXPECT_EQ(state.LapCount[3], 0);
    EXPECT_EQ(state.LapCount[2], 0);

    state.RaceTime = 30;
    StartAt(2000);  // the countdown to second 12, timing to second 42
    TickUntil(5000);
    engine.TestPass(2);  // the countdown, where receiver frames are not read
    EXPECT_EQ(state.LapCount[2], 0);
    TickUntil(20000);
    engine.TestPass(2);
    EXPECT_EQ(state.LapCount[2], 1);
    EXPECT_DOUBLE_EQ(state.LastLap[2], 8.0);  // from the start of timing
    TickUntil(43000);
    ASSERT_EQ(window.StatusCaption, "終了中");
    engine.TestPass(2);  // after the end: ID 2, the only one running, finishes
    EXPECT_EQ(state.LapCount[2], 2);
    EXPECT_EQ(window.StatusCaption, "全終了");
    engine.TestPass(2);  // finished: dropped as a receiver pass would be
    EXPECT_EQ(state.LapCount[2], 2);
}

}  // namespace
}  // namespace palomind::testing
