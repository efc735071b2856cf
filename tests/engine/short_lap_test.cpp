// Laps shorter than the race's minimum lap: flagged, still counted, marked in
// the lap history and left out of the best laps the race announces.
#include <gtest/gtest.h>

#include <vector>

#include "engine/exact_result.h"
#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

struct EventLog final : RaceEventListener {
    void OnRaceEvent(const RaceEvent& event) override { events.push_back(event); }
    std::vector<RaceEvent> Of(RaceEventKind kind) const {
        std::vector<RaceEvent> found;
        for (const RaceEvent& e : events)
            if (e.kind == kind) found.push_back(e);
        return found;
    }
    std::vector<RaceEvent> events;
};

// A race with no start-wait, started at tick 0, ID 1's first pass at 1 s.
class ShortLapTest : public EngineTest {
  protected:
    ShortLapTest() {
        state.StartWait = 0;
        engine.SetListener(&log);
    }
    void StartWithMinimum(std::int32_t minLapMs) {
        state.MinLapMs = minLapMs;
        StartAt(0);
        Pass(1, 1'000);
    }

    EventLog log;
};

TEST_F(ShortLapTest, LapShorterThanTheMinimumIsFlaggedCountedAndMarked) {
    StartWithMinimum(5'000);
    Pass(1, 12'000);  // lap 1: 12 s from the start
    Pass(1, 12'300);  // lap 2: 0.3 s, the car came back over the line
    Pass(1, 24'000);  // lap 3
    EXPECT_EQ(state.LapCount[1], 3);
    EXPECT_FALSE(state.ShortLap(1, 1));
    EXPECT_TRUE(state.ShortLap(1, 2));
    EXPECT_FALSE(state.ShortLap(1, 3));
    EXPECT_EQ(LapCell(3, 1), "00m00s30");
    EXPECT_FALSE(window.LapHistory.CellMarked(2, 1));
    EXPECT_TRUE(window.LapHistory.CellMarked(3, 1));
    EXPECT_FALSE(window.LapHistory.CellMarked(4, 1));

    const ExactResult result = ExactResultOf(state);
    ASSERT_EQ(result.entrants.size(), 1u);
    EXPECT_EQ(result.entrants[0].shortLaps, std::vector<int>{2});
    EXPECT_EQ(result.entrants[0].laps, 3);
    EXPECT_TRUE(IsProvisional(result));
    EXPECT_TRUE(IsProvisional(state));

    StartAt(100'000);  // the next race starts unflagged
    EXPECT_FALSE(window.LapHistory.CellMarked(3, 1));
    EXPECT_FALSE(IsProvisional(state));
}

TEST_F(ShortLapTest, OnlyALapStrictlyShorterThanTheMinimumIsFlagged) {
    struct Case {
        std::int32_t minLapMs;
        std::int32_t lapMs;
        bool flagged;
    };
    for (const Case& c : {Case{0, 1, false}, Case{5'000, 4'999, true}, Case{5'000, 5'000, false},
                          Case{600'000, 599'990, true}}) {
        StartWithMinimum(c.minLapMs);
        Pass(1, c.lapMs);  // lap 1 is timed from the start
        EXPECT_EQ(state.ShortLap(1, 1), c.flagged) << c.minLapMs << " " << c.lapMs;
        EXPECT_EQ(IsProvisional(state), c.flagged) << c.minLapMs << " " << c.lapMs;
    }
}

TEST_F(ShortLapTest, PassEventsCarryTheFlagAndAFlaggedLapIsNoBestLapOfTheRace) {
    StartWithMinimum(5'000);
    Pass(1, 1'200);  // lap 1, 1.2 s: short, and the fastest lap so far
    Pass(1, 13'200);
    const std::vector<RaceEvent> accepted = log.Of(RaceEventKind::PassAccepted);
    const std::vector<RaceEvent> processed = log.Of(RaceEventKind::PassProcessed);
    ASSERT_EQ(accepted.size(), 3u);
    ASSERT_EQ(processed.size(), 3u);
    EXPECT_EQ((std::vector<bool>{accepted[0].shortLap, accepted[1].shortLap, accepted[2].shortLap}),
              (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(processed[1].shortLap);
    EXPECT_FALSE(processed[2].shortLap);
    // Lap 2 (12 s) is slower than the flagged lap 1, so it is no best lap either.
    EXPECT_TRUE(log.Of(RaceEventKind::BestLapOfRace).empty());
}

TEST(GridModelMarksTest, MarksFollowTheirCellsWhenColumnsAreAddedAndOutsideIsIgnored) {
    GridModel grid(4, 3, 1, 1);
    grid.SetCellMarked(2, 2, true);
    grid.SetCellMarked(9, 9, true);
    const std::uint64_t revision = grid.Revision();
    grid.SetCellMarked(2, 2, true);
    EXPECT_EQ(grid.Revision(), revision);  // no change, nothing to redraw
    grid.SetCols(5);
    grid.SetRows(6);
    EXPECT_TRUE(grid.CellMarked(2, 2));
    EXPECT_FALSE(grid.CellMarked(2, 3));
    EXPECT_FALSE(grid.CellMarked(9, 9));
    grid.ClearMarks();
    EXPECT_FALSE(grid.CellMarked(2, 2));
}

}  // namespace
}  // namespace palomind::testing
