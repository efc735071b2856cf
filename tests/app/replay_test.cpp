// The replay of a journal through the race core: where the start-up reset
// and the timer ticks fall between the journal's events.
#include "app/replay.h"

#include <gtest/gtest.h>

#include "app/race_core.h"
#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

// A race core with the engine tests' race time and start-wait.
class ReplayTest : public ::testing::Test {
  protected:
    ReplayTest() { Preset(); }
    void Preset() {
        core.Apply({.tick = 0, .kind = JournalEventKind::RaceTime, .value = 480});
        core.Apply({.tick = 0, .kind = JournalEventKind::StartWait, .value = 10});
    }
    void Replay(const std::string& body, std::optional<std::int32_t> until = std::nullopt) {
        const JournalParseResult parsed = ParseJournal("palomind-journal 1\n" + body);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        ReplayJournal(parsed.events, core, until);
    }
    RecordingSoundPlayer sound;
    RaceCore core{sound};
    const RaceState& state = core.State();
    const RaceWindowModel& window = core.Window();
};

TEST_F(ReplayTest, RunsTheStartupResetAtTheFirstEventWhenThereIsNoBoot) {
    Replay("123456 stop\n");
    EXPECT_EQ(state.RaceStart, 133);
}

TEST_F(ReplayTest, TimerTicksDueAtAnEventRunBeforeIt) {
    // Timing opens at tick-second 11 (first tick at 10510 ms); a frame at
    // exactly that tick is accepted only because the timer ran first.
    Replay("1000 start\n10510 rx fe fe fe 05 10 20 35\n");
    EXPECT_EQ(state.LapCount[5], 0);
}

TEST_F(ReplayTest, ClockLinesAreTheOnlyTicksUpToTheLastEvent) {
    Replay("1000 start\n12000 rx fe fe fe 05 10 20 35\n");
    EXPECT_EQ(state.LapCount[5], 0);  // 10 ms ticks opened timing
}

TEST_F(ReplayTest, ClockLinesAlonePlaceTheTicks) {
    Replay("1000 start\n1010 clock\n12000 rx fe fe fe 05 10 20 35\n");
    EXPECT_EQ(state.LapCount[5], -1);  // no clock line at the start second
}

TEST_F(ReplayTest, RunsTheClockOnToUntil) {
    Replay("1000 racetime 5\n1000 start\n", 17000);
    EXPECT_EQ(window.StatusCaption, "全終了");
    EXPECT_EQ(state.LastClockSecond, 16);
}

TEST_F(ReplayTest, ParameterEventsTakeEffectAtTheNextStart) {
    Replay("0 boot\n10 startwait 3\n20 start\n");
    EXPECT_EQ(state.RaceStart, 3);
}

TEST_F(ReplayTest, StartupInputAloneRunsNoReset) {
    Replay("100 name 5 Goro\n100 comment Rain\n");
    EXPECT_EQ(core.Roster()[5], "Goro");
    EXPECT_EQ(window.Comment, "Rain");
    EXPECT_EQ(window.StatusCaption, RaceWindowModel{}.StatusCaption);
    EXPECT_EQ(window.Standings.TextMatrix(0, 0), "");  // no reset wrote the headings
}

TEST_F(ReplayTest, StartupInputIsNotTheFirstEventThatGetsTheStartupReset) {
    Replay("100 name 5 Goro\n123456 stop\n");
    EXPECT_EQ(state.RaceStart, 133);
}

}  // namespace
}  // namespace palomind::testing
