// Mains filled from the qualifying order, the bump-up of a lower main's
// starters, multi-leg mains and the class's final result, against
// hand-computed cases.
#include <gtest/gtest.h>

#include "meeting/final_result.h"
#include "meeting/main_result.h"
#include "meeting/mains.h"
#include "meeting/single_key.h"
#include "tests/meeting/round_results.h"

namespace palomind {
namespace {

using namespace testing;

std::vector<std::string> Qualifiers(int count) {
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) names.push_back("Q" + std::to_string(i));
    return names;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : " ") + name;
    return text;
}

// "A: Q1 Q2 +2 / B: Q3 Q4": each main's locked places and bump slots.
std::string Spelled(const std::vector<MainPlan>& mains) {
    std::string text;
    for (const MainPlan& main : mains) {
        if (!text.empty()) text += " / ";
        text += main.name + ": " + Joined(main.locked);
        if (main.bumpSlots > 0) text += " +" + std::to_string(main.bumpSlots);
    }
    return text;
}

struct MainsCase {
    int entrants;
    std::int64_t size;
    std::int64_t bump;
    std::string expected;
};

TEST(MainsFromRankingTest, FillsTheMainsAsComputedByHand) {
    const std::vector<MainsCase> cases{
        // Sized as heats, the higher mains the larger.
        {13, 6, 0, "A: Q1 Q2 Q3 Q4 Q5 / B: Q6 Q7 Q8 Q9 / C: Q10 Q11 Q12 Q13"},
        {12, 6, 0, "A: Q1 Q2 Q3 Q4 Q5 Q6 / B: Q7 Q8 Q9 Q10 Q11 Q12"},
        {11, 6, 2, "A: Q1 Q2 Q3 Q4 +2 / B: Q5 Q6 Q7 Q8 +2 / C: Q9 Q10 Q11"},
        // The last two places join B, which has no main below.
        {10, 6, 2, "A: Q1 Q2 Q3 Q4 +2 / B: Q5 Q6 Q7 Q8 Q9 Q10"},
        {5, 6, 2, "A: Q1 Q2 Q3 Q4 Q5"},
        {0, 6, 2, ""},
    };
    for (const MainsCase& c : cases) {
        EXPECT_EQ(Spelled(MainsFromRanking(Qualifiers(c.entrants), c.size, c.bump)), c.expected)
            << c.entrants << " entrants, size " << c.size << ", bump " << c.bump;
    }
    EXPECT_EQ(MainName(25), "Z");
    EXPECT_EQ(MainName(26), "AA");
}

TEST(BumpUpGridTest, OnlyStartersBumpUpInTheLowerMainsFinishingOrder) {
    const std::vector<std::string> locked = Qualifiers(4);
    // The pole sitter did not start, the first car over the line is
    // disqualified: the next two starters go up.
    const RaceResults lower{Dns("Q5"),
                            Dq("Q6", 12, 299000),
                            Start("Q9", 2000),
                            Ran("Q8", 11, 301000),
                            Ran("Q7", 11, 300000),
                            Ran("Q10", 10, 290000)};
    EXPECT_EQ(Joined(BumpUpGrid(locked, 2, StartersInFinishingOrder(lower))), "Q1 Q2 Q3 Q4 Q7 Q8");
    // A slot with no starter left stays empty.
    EXPECT_EQ(Joined(BumpUpGrid(locked, 2, StartersInFinishingOrder({Dns("Q5"), Start("Q6", 1)}))),
              "Q1 Q2 Q3 Q4 Q6");
}

TEST(BumpUpGridTest, EqualKeysKeepTheGivenOrderAndStartsGoByPassTime) {
    EXPECT_EQ(Joined(StartersInFinishingOrder({Ran("Q8", 11, 300000), Ran("Q7", 11, 300000),
                                               Start("Q9", 5000), Start("Q10", 3000)})),
              "Q8 Q7 Q10 Q9");
}

std::string Order(const std::vector<MainPlace>& result) {
    std::string text;
    for (const MainPlace& place : result) {
        text += (text.empty() ? "" : " ") + place.entrant + (place.started ? "" : "*");
    }
    return text;
}

TEST(MainResultTest, TripleMainTieOnTheBestTwoLegsIsSettledByTheDroppedLeg) {
    // X scores 1, 2, 3 and Y 2, 1, 2: both count 1 + 2, Y's dropped leg is
    // better. The qualifying order puts X first, so it does not decide.
    const MainRun main{"A",
                       {"X", "Y", "Z"},
                       {{Ran("X", 10, 300000), Ran("Y", 10, 301000), Ran("Z", 9, 300000)},
                        {Ran("Y", 10, 300000), Ran("X", 10, 301000), Ran("Z", 9, 300000)},
                        {Ran("Z", 10, 300000), Ran("Y", 10, 301000), Ran("X", 9, 300000)}},
                       2};
    EXPECT_EQ(Order(MainResult(main, {"X", "Y", "Z"})), "Y X Z");
}

TEST(MainResultTest, EqualTotalsGoByTheCountedLegPositionsBestFirst) {
    // The best two legs make 4 for P (1, 3, 3), Q (2, 2, 2) and R (3, 1, 4):
    // P and R count 1 and 3, above Q's 2 and 2; P's dropped leg beats R's.
    const MainRun main{"A",
                       {"P", "Q", "R", "S"},
                       {{Ran("P", 10, 1), Ran("Q", 9, 1), Ran("R", 8, 1), Ran("S", 7, 1)},
                        {Ran("R", 10, 1), Ran("Q", 9, 1), Ran("P", 8, 1), Ran("S", 7, 1)},
                        {Ran("S", 10, 1), Ran("Q", 9, 1), Ran("P", 8, 1), Ran("R", 7, 1)}},
                       2};
    EXPECT_EQ(Order(MainResult(main, {"Q", "R", "S", "P"})), "P R Q S");
}

TEST(MainResultTest, EqualLegPositionsGoByTheBestSingleLeg) {
    const MainRun main{
        "A",
        {"E", "F"},
        {{Ran("E", 10, 300000), Ran("F", 9, 300000)}, {Ran("F", 10, 299000), Ran("E", 9, 300000)}},
        {}};
    EXPECT_EQ(Order(MainResult(main, {"E", "F"})), "F E");
}

TEST(MainResultTest, DnsAndDqScoreTheGridSizePlusOneAndGoByQualifying) {
    // B has no row in the leg; A is disqualified; the others close up.
    const MainRun main{
        "A", {"A", "B", "C", "D"}, {{Dq("A", 12, 1), Start("C", 9), Ran("D", 1, 9)}}, {}};
    EXPECT_EQ(Order(MainResult(main, {"B", "A", "C", "D"})), "D C B* A*");
}

TEST(ClassFinalResultTest, EveryFinalistOfAMainRanksAboveTheMainsBelow) {
    // Q5 won B and was bumped into A; Q2 did not start A and still ranks
    // above B's finishers; Q7 made no main.
    const std::vector<MainRun> mains{
        {"A",
         {"Q1", "Q2", "Q3", "Q5"},
         {{Ran("Q3", 12, 300000), Ran("Q5", 12, 301000), Ran("Q1", 11, 300000)}},
         {}},
        {"B",
         {"Q4", "Q5", "Q6"},
         {{Ran("Q5", 20, 300000), Ran("Q6", 19, 300000), Start("Q4", 1000)}},
         {}},
    };
    std::string text;
    for (const FinalRow& row : ClassFinalResult(Qualifiers(7), mains)) {
        text +=
            row.entrant + ":" + std::to_string(row.position) + ":" + row.main.value_or("-") + " ";
    }
    EXPECT_EQ(text, "Q3:1:A Q5:2:A Q1:3:A Q2:4:A Q6:5:B Q4:6:B Q7:7:- ");
}

}  // namespace
}  // namespace palomind
