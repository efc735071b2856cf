// What the lap review window reckons from an entrant's passes: the time a
// missed lap is proposed at, a split's parts, the pass of a short lap it
// offers to delete, and the correction undo reverts.
#include "app/lap_review.h"

#include <gtest/gtest.h>

namespace palomind::testing {
namespace {

// An entrant's counted passes at these race times: the first starts, the
// others complete laps 1, 2, ... timed from the race start.
std::vector<RacePass> Laps(std::initializer_list<std::int64_t> raceMs) {
    std::vector<RacePass> passes;
    std::int64_t previous = 0;
    int ordinal = 0;
    for (const std::int64_t at : raceMs) {
        RacePass pass;
        pass.identity = {.id = 5, .ordinal = ++ordinal};
        pass.tick = static_cast<std::int32_t>(at);
        pass.raceMs = at;
        pass.became = ordinal == 1 ? PassBecame::Start : PassBecame::Lap;
        if (ordinal > 1) {
            pass.lap = ordinal - 1;
            pass.lapMs = at - (ordinal == 2 ? 0 : previous);
        }
        previous = at;
        passes.push_back(pass);
    }
    return passes;
}

TEST(LapReview, ProposesTheMiddleOfTheLapNearestTwiceTheMedian) {
    // Laps 10, 10, 21 (a missed pass), 10 s after a start in the countdown.
    const std::vector<RacePass> passes = Laps({-500, 10'000, 20'000, 41'000, 51'000});
    EXPECT_EQ(ProposedAddRaceMs(passes), 30'500);
    EXPECT_EQ(ProposedAddRaceMs(Laps({-500})), std::nullopt);
}

TEST(LapReview, SplitsALapIntoEqualPartsRoundedDown) {
    const std::vector<RacePass> passes = Laps({0, 10'000, 20'001});
    EXPECT_EQ(SplitRaceMs(passes[2], 3), (std::vector<std::int64_t>{13'333, 16'667}));
    EXPECT_EQ(SplitRaceMs(passes[1], 2), (std::vector<std::int64_t>{5'000}));  // lap 1 from 0
    EXPECT_TRUE(SplitRaceMs(passes[2], 1).empty());
    EXPECT_TRUE(SplitRaceMs(passes[0], 2).empty());  // a start completes no lap
}

TEST(LapReview, OffersToDeleteThePassWhoseDeletionLeavesTheLongerLap) {
    const struct {
        const char* what;
        std::vector<RacePass> passes;
        std::size_t shortLapEnd;
        std::size_t offered;
    } cases[] = {
        // 10, 10, 0.3, 9.7: deleting the end leaves 10 s, the beginning 10.3 s.
        {"the beginning leaves more", Laps({0, 10'000, 20'000, 20'300, 30'000}), 3, 2},
        // 10, 9.7, 0.3, 10: deleting the end leaves 10.3 s.
        {"the end leaves more", Laps({0, 10'000, 19'700, 20'000, 30'000}), 3, 3},
        {"a tie", Laps({0, 10'000, 19'850, 20'150, 30'000}), 3, 3},
        {"lap 1", Laps({0, 300, 10'000}), 1, 1},
        {"no pass after it", Laps({0, 10'000, 20'000, 20'300}), 3, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreselectedDeletion(c.passes, c.shortLapEnd), c.offered) << c.what;
}

TEST(LapReview, UndoRevertsTheLastCorrectionNoLaterOneReverts) {
    const auto record = [](std::initializer_list<Correction> corrections) {
        RaceRecord r;
        for (const Correction& c : corrections) {
            RaceRecord::Entry entry;
            entry.edit = {.kind = JournalEventKind::Edit, .correction = c};
            r.corrections.push_back(entry);
        }
        return r;
    };
    const Correction dq{.operation = CorrectionOperation::Dq, .id = 5};
    const auto revert = [](int n) {
        return Correction{.operation = CorrectionOperation::Revert, .reverted = n};
    };
    EXPECT_EQ(CorrectionToUndo(record({})), std::nullopt);
    EXPECT_EQ(CorrectionToUndo(record({dq, dq})), 2);
    EXPECT_EQ(CorrectionToUndo(record({dq, dq, revert(2)})), 3);  // undoing the undo
    EXPECT_EQ(CorrectionToUndo(record({dq, revert(1)})), 2);
}

}  // namespace
}  // namespace palomind::testing
