#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

class RaceClockTest : public EngineTest {
  protected:
    RaceClockTest() { engine.SetListener(&statuses_); }
    ~RaceClockTest() override { engine.SetListener(nullptr); }

    // The status captions the clock writes on one tick at `ms`.
    std::vector<std::string> StatusesOfOneTickAt(std::int32_t ms) {
        statuses_.written.clear();
        At(ms);
        engine.Timer1_Timer();
        return statuses_.written;
    }
    // Records, per second, the cues played and the status shown.
    std::vector<std::pair<int, std::string>> RunRecordingSounds(std::int32_t untilMs) {
        std::vector<std::pair<int, std::string>> heard;
        for (std::int32_t t = (clock.TimeGetTime() / 10 + 1) * 10; t <= untilMs; t += 10) {
            At(t);
            const std::size_t before = sound.played.size();
            engine.Timer1_Timer();
            for (std::size_t i = before; i < sound.played.size(); ++i)
                heard.emplace_back(static_cast<int>(state.NowSecond - state.RaceStart),
                                   sound.played[i]);
        }
        return heard;
    }

  private:
    struct StatusRecorder final : RaceEventListener {
        std::vector<std::string> written;
        void OnRaceEvent(const RaceEvent& event) override {
            if (event.kind == RaceEventKind::PhaseChanged) written.push_back(event.text);
        }
    } statuses_;
};

using Statuses = std::vector<std::string>;

TEST_F(RaceClockTest, PlaysTheCueScheduleForWait10AndTime480) {
    StartAt(1000);  // RaceStart 11, end 491
    const auto heard = RunRecordingSounds(495000);
    const std::vector<std::pair<int, std::string>> expected = {
        {-10, "snd3.wav"}, {-3, "snd1.wav"},  {-2, "snd1.wav"},  {-1, "snd1.wav"},
        {0, "snd2.wav"},   {470, "snd3.wav"}, {477, "snd1.wav"}, {478, "snd1.wav"},
        {479, "snd1.wav"}, {480, "snd2.wav"},
    };
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(window.StatusCaption, "全終了");  // nobody passed the line
    EXPECT_EQ(state.AllFinished, kTrue);
}

TEST_F(RaceClockTest, Wait8PlaysTheTenSecondCueAtTheStartCommand) {
    state.StartWait = 8;
    StartAt(1000);
    EXPECT_EQ(sound.played, std::vector<std::string>{"snd3.wav"});
    const auto heard = RunRecordingSounds(10000);
    EXPECT_EQ(heard.front(), (std::pair<int, std::string>{-3, "snd1.wav"}));
}

TEST_F(RaceClockTest, ReadOutModeSilencesEveryCue) {
    state.TtsMode = 5;
    StartAt(1000);
    EXPECT_TRUE(RunRecordingSounds(20000).empty());
}

TEST_F(RaceClockTest, CountdownShowsNegativeElapsedTimeInRed) {
    StartAt(1000);
    TickUntil(6000);  // five seconds before timing
    EXPECT_EQ(window.ElapsedCaption, "-00h00m05s");
    EXPECT_EQ(window.RemainingCaption, "00h08m05s");
    EXPECT_EQ(window.ElapsedForeColor, kRed);
    EXPECT_EQ(state.RaceRunning, kFalse);
    TickUntil(11000);
    EXPECT_EQ(window.StatusCaption, "計測中");
    EXPECT_EQ(window.LampColor, kTimingBlue);
    EXPECT_EQ(window.ElapsedForeColor, kButtonTextColor);
    EXPECT_EQ(state.RaceRunning, kTrue);
}

TEST_F(RaceClockTest, EndWithSomeoneRunningGoesToFinishingAndCountsOn) {
    state.RaceTime = 30;
    StartAt(1000);  // timing 11 to 41
    TickUntil(12000);
    Pass(5, 12000);
    TickUntil(41000);
    EXPECT_EQ(window.StatusCaption, "終了中");
    EXPECT_EQ(window.LampColor, kRed);
    TickUntil(43000);
    EXPECT_EQ(window.RemainingCaption, "-00h00m02s");
    Pass(5, 43000);
    EXPECT_EQ(window.StatusCaption, "全終了");
    const std::string shown = window.ElapsedCaption;
    TickUntil(46000);
    EXPECT_EQ(window.ElapsedCaption, shown);  // the clock stops once all have finished
}

TEST_F(RaceClockTest, RaceTimeZeroStartsAndEndsOnTheSameTick) {
    state.RaceTime = 0;
    StartAt(1000);
    TickUntil(11000);
    EXPECT_EQ(window.StatusCaption, "全終了");
    EXPECT_EQ(state.RaceRunning, kTrue);
    const std::vector<std::string> tail(sound.played.end() - 2, sound.played.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"snd2.wav", "snd2.wav"}));
}

TEST_F(RaceClockTest, NegativeStartWaitNeverOpensTiming) {
    state.StartWait = -5;
    state.RaceTime = 10;
    StartAt(100000);  // RaceStart 95, end 105
    TickUntil(104000);
    EXPECT_EQ(state.RaceRunning, kFalse);
    EXPECT_EQ(window.StatusCaption, "待機中");
    TickUntil(105000);
    EXPECT_EQ(window.StatusCaption, "全終了");
    EXPECT_EQ(state.RaceRunning, kFalse);
}

TEST_F(RaceClockTest, SkippedSecondsStillOpenAndEndTimingOnceInOrder) {
    state.RaceTime = 5;
    StartAt(1000);  // timing at 11, end at 16
    TickUntil(9000);
    // The window was busy from 9 s to 30 s.
    EXPECT_EQ(StatusesOfOneTickAt(30000), (Statuses{"計測中", "終了中", "全終了"}));
    EXPECT_EQ(state.RaceRunning, kTrue);
    EXPECT_EQ(state.AllFinished, kTrue);
}

TEST_F(RaceClockTest, ARestartWithNoStartWaitOnTheSecondJustHandledOpensTimingAtOnce) {
    state.RaceTime = 30;
    state.StartWait = 0;
    StartAt(2000);
    TickUntil(20100);  // second 20 handled
    StartAt(20100);
    EXPECT_EQ(StatusesOfOneTickAt(20110), Statuses{"計測中"});
    EXPECT_EQ(state.RaceStart, 20);
    Pass(5, 20200);
    EXPECT_EQ(state.LapCount[5], 0);

    // The same after a stop, and when the next tick comes only seconds later.
    engine.StopRace();
    StartAt(20300);
    EXPECT_EQ(StatusesOfOneTickAt(23000), Statuses{"計測中"});
    EXPECT_EQ(state.RaceStart, 20);
}

// The tick counter reads negative on a machine that has been up 24.8 to 49.7
// days. Second 0 is then in the future, not a second the clock has handled.
TEST_F(RaceClockTest, WithANegativeTickCounterTheFirstTickCatchesUpASkippedStart) {
    state.StartWait = 0;
    StartAt(-497500);  // timing at -498; the first tick, at -497490, is in -497
    TickUntil(-497000);
    EXPECT_EQ(window.StatusCaption, "計測中");
    EXPECT_EQ(state.RaceRunning, kTrue);
    EXPECT_EQ(sound.played, std::vector<std::string>{"snd2.wav"});
    Pass(5, -497000);
    EXPECT_EQ(state.LapCount[5], 0);
}

TEST_F(RaceClockTest, WithANegativeTickCounterTheFirstTickCatchesUpASkippedEnd) {
    state.StartWait = 0;
    state.RaceTime = 2;
    StartAt(-5000);  // timing -5 to -3, and no tick until -1
    EXPECT_EQ(StatusesOfOneTickAt(-1000), (Statuses{"計測中", "終了中", "全終了"}));
    EXPECT_EQ(state.AllFinished, kTrue);
}

TEST_F(RaceClockTest, FromNegativeToPositiveTicksTheFirstTickCatchesUpTheStart) {
    state.StartWait = 0;
    StartAt(-1500);  // timing at -2; the first tick comes at second 1
    EXPECT_EQ(StatusesOfOneTickAt(1000), Statuses{"計測中"});
}

TEST_F(RaceClockTest, TwoTicksInOneSecondActOnce) {
    StartAt(1000);
    At(2000);
    EXPECT_TRUE(engine.Timer1_Timer());
    At(2300);
    EXPECT_FALSE(engine.Timer1_Timer());
}

TEST_F(RaceClockTest, DoesNothingUntilARaceIsStarted) {
    At(1000);
    engine.ReSet();
    TickUntil(30000);
    EXPECT_EQ(window.ElapsedCaption, "--h--m--s");
    EXPECT_TRUE(sound.played.empty());
}

}  // namespace
}  // namespace palomind::testing
