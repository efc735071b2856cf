#include "meeting/heat_seeding.h"

#include <gtest/gtest.h>

#include "meeting/meeting_json.h"
#include "meeting/meeting_schedule.h"

namespace palomind {
namespace {

// A class GT of `transponders.size()` entrants numbered from 1, named
// "E<number>", and the ranking that seeds them.
class HeatSeedingTest : public ::testing::Test {
  protected:
    void Enter(const std::vector<std::int64_t>& transponders, std::int64_t heatSize) {
        MeetingClass& c = AddClass(meeting_, "GT");
        c.heatSize = heatSize;
        for (std::size_t i = 0; i < transponders.size(); ++i) {
            const auto number = static_cast<std::int64_t>(i + 1);
            meeting_.entries.push_back({number, Name(number), transponders[i], c.id, "", ""});
        }
    }
    static std::string Name(std::int64_t number) { return "E" + std::to_string(number); }
    // Ranks the entry numbers given best first, each its own position.
    static QualifyingRanking Ranked(const std::vector<std::int64_t>& bestFirst) {
        QualifyingRanking ranking;
        for (std::size_t i = 0; i < bestFirst.size(); ++i)
            ranking.ranking.push_back(
                {Name(bestFirst[i]), static_cast<std::int64_t>(i + 1), false});
        return ranking;
    }
    std::vector<std::vector<std::int64_t>> Seeded(const QualifyingRanking& seeding) {
        std::string error;
        EXPECT_TRUE(SeedRound(meeting_, "c1", 1, seeding, error)) << error;
        std::vector<std::vector<std::int64_t>> heats;
        for (const Heat& heat : meeting_.rounds.at(0).heats) heats.push_back(heat.entrants);
        return heats;
    }
    static std::vector<DrawnEntrant> Drawn(const std::vector<std::int64_t>& numbers) {
        std::vector<DrawnEntrant> entrants;
        for (const std::int64_t n : numbers) entrants.push_back({n, n, Name(n)});
        return entrants;
    }
    static std::vector<std::int64_t> Numbers(const std::vector<DrawnEntrant>& entrants) {
        std::vector<std::int64_t> numbers;
        for (const DrawnEntrant& e : entrants) numbers.push_back(e.number);
        return numbers;
    }
    Meeting meeting_;
};

struct StackCase {
    std::int64_t n;
    std::int64_t heatSize;
    std::vector<std::vector<std::int64_t>> heats;  // entry numbers, the ranking n, n-1, ..., 1
};

TEST_F(HeatSeedingTest, HeatOneTakesTheBestSeedsAndTheLargerHeatsComeFirst) {
    const std::vector<StackCase> cases{
        {7, 3, {{7, 6, 5}, {4, 3}, {2, 1}}},
        {4, 4, {{4, 3, 2, 1}}},
        {11, 5, {{11, 10, 9, 8}, {7, 6, 5, 4}, {3, 2, 1}}},
        {5, 2, {{5, 4}, {3, 2}, {1}}},
    };
    for (const StackCase& c : cases) {
        meeting_ = {};
        std::vector<std::int64_t> transponders;
        std::vector<std::int64_t> bestFirst;
        for (std::int64_t i = 1; i <= c.n; ++i) {
            transponders.push_back(i);
            bestFirst.insert(bestFirst.begin(), i);
        }
        Enter(transponders, c.heatSize);
        EXPECT_EQ(Seeded(Ranked(bestFirst)), c.heats) << c.n << "/" << c.heatSize;
        EXPECT_TRUE(meeting_.rounds.at(0).seeded);
    }
}

TEST_F(HeatSeedingTest, EntrantsSharingAPositionGoByEntryNumber) {
    QualifyingRanking ranking;
    ranking.ranking = {{"E4", 1, false}, {"E3", 2, true}, {"E1", 2, true}, {"E2", 4, false}};
    EXPECT_EQ(Numbers(SeedOrder(Drawn({4, 3, 2, 1}), ranking)),
              (std::vector<std::int64_t>{4, 1, 3, 2}));
}

TEST_F(HeatSeedingTest, EntrantsTheRankingLeavesOutGoLastByEntryNumber) {
    QualifyingRanking ranking = Ranked({5, 2});
    ranking.unranked = {"E3"};
    EXPECT_EQ(Numbers(SeedOrder(Drawn({5, 4, 3, 2, 1}), ranking)),
              (std::vector<std::int64_t>{5, 2, 1, 3, 4}));
}

TEST_F(HeatSeedingTest, OfTwoSharingATransponderTheWorseSeedMoves) {
    // docs/meeting.md's example: E1 and E6 share transponder 12 and tie
    // for 2nd; E6, the worse seed by entry number, swaps with E7, the best
    // seed of heat 2.
    Enter({12, 2, 3, 4, 5, 12, 7}, 3);
    QualifyingRanking ranking;
    ranking.ranking = {
        {"E3", 1, false}, {"E1", 2, true}, {"E6", 2, true}, {"E7", 4, false}, {"E2", 5, false}};
    ranking.unranked = {"E4", "E5"};
    EXPECT_EQ(Seeded(ranking), (std::vector<std::vector<std::int64_t>>{{3, 1, 7}, {6, 2}, {4, 5}}));
}

TEST_F(HeatSeedingTest, AHeatThatRanStaysAsItWas) {
    Enter({1, 2, 3, 4}, 2);
    std::string error;
    ASSERT_TRUE(DrawRound(meeting_, "c1", 1, 7, error)) << error;
    const std::vector<std::int64_t> ran = meeting_.rounds[0].heats[1].entrants;
    meeting_.rounds[0].heats[1].records.push_back({"r.race", false, false});
    const std::vector<std::vector<std::int64_t>> heats = Seeded(Ranked({4, 3, 2, 1}));
    ASSERT_EQ(heats.size(), 2u);
    EXPECT_EQ(heats[1], ran);
    EXPECT_EQ(meeting_.rounds[0].heats[1].records.at(0).file, "r.race");
    EXPECT_EQ(heats[0].size(), 2u);
}

TEST_F(HeatSeedingTest, AProvisionalRankingIsRefusedAndChangesNothing) {
    Enter({1, 2}, 2);
    QualifyingRanking ranking = Ranked({2, 1});
    ranking.provisional = true;
    std::string error;
    EXPECT_FALSE(SeedRound(meeting_, "c1", 1, ranking, error));
    EXPECT_EQ(error,
              "round 1 of class \"GT\" would be seeded by a provisional ranking: resolve its "
              "flagged short laps first");
    EXPECT_TRUE(meeting_.rounds.empty());
}

TEST_F(HeatSeedingTest, ASeededRoundRunsFromItsLastHeatToHeatOne) {
    Enter({1, 2, 3, 4, 5, 6}, 2);
    Seeded(Ranked({1, 2, 3, 4, 5, 6}));
    std::string error;
    ASSERT_TRUE(DrawRound(meeting_, "c1", 2, 1, error)) << error;
    meeting_.classes[0].practiceTimeS = 0;
    std::vector<std::string> order;
    for (const ScheduledHeat& heat :
         MeetingSchedule(meeting_, [](const std::string&) { return RecordFacts{}; }))
        order.push_back(heat.id);
    EXPECT_EQ(order, (std::vector<std::string>{"c1-q1-3", "c1-q1-2", "c1-q1-1", "c1-q2-1",
                                               "c1-q2-2", "c1-q2-3"}));
}

TEST_F(HeatSeedingTest, MeetingJsonKeepsASeededRoundAndReadsOlderFilesAsDrawn) {
    Enter({1, 2, 3}, 2);
    Seeded(Ranked({1, 2, 3}));
    std::string error;
    ASSERT_TRUE(DrawRound(meeting_, "c1", 2, 1, error)) << error;
    const std::string written = MeetingJson(meeting_);
    EXPECT_EQ(written.find("\"seeded\""), written.rfind("\"seeded\""));  // round 1 only
    const std::optional<Meeting> read = ReadMeetingJson(written, error);
    ASSERT_TRUE(read) << error;
    EXPECT_TRUE(read->rounds[0].seeded);
    EXPECT_FALSE(read->rounds[1].seeded);
    EXPECT_EQ(MeetingJson(*read), written);
}

struct PracticeMethodCase {
    RankingSettings classRanking;
    RankingSettings practice;
};

TEST(PracticeSeedingTest, PracticeRanksByTheWindowOfAConsecutiveClassAndTheFastestLapOtherwise) {
    const std::vector<PracticeMethodCase> cases{
        {{RankingMethod::Consecutive, {}, 5}, {RankingMethod::Consecutive, {}, 5}},
        {{RankingMethod::RoundPoints, 2, 3}, {RankingMethod::FastestLap, {}, 3}},
        {{RankingMethod::BestRound, {}, 3}, {RankingMethod::FastestLap, {}, 3}},
    };
    for (const PracticeMethodCase& c : cases) {
        const RankingSettings practice = PracticeSeedingSettings(c.classRanking);
        EXPECT_EQ(practice.method, c.practice.method);
        EXPECT_EQ(practice.best, c.practice.best);
        EXPECT_EQ(practice.consecutive, c.practice.consecutive);
    }
}

}  // namespace
}  // namespace palomind
