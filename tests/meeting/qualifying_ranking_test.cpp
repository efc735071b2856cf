// The five qualifying methods against hand-computed rankings: each case
// settles ties at one or more steps of its method's countback.
#include "meeting/qualifying_ranking.h"

#include <gtest/gtest.h>

#include "tests/meeting/round_results.h"

namespace palomind {
namespace {

using namespace testing;

struct RankingCase {
    std::string name;
    RankingSettings settings;
    std::vector<Entrant> entrants;
    std::vector<RaceResults> rounds;
    // "B 1, A 2=, C 2= | D": the ranking ("=" where shared), then the unranked.
    std::string expected;
};

void PrintTo(const RankingCase& c, std::ostream* out) {
    *out << c.name;
}

std::string Spelled(const QualifyingRanking& ranking) {
    std::string text;
    for (const RankingRow& row : ranking.ranking) {
        if (!text.empty()) text += ", ";
        text += row.entrant + " " + std::to_string(row.position) + (row.shared ? "=" : "");
    }
    text += " |";
    for (const std::string& entrant : ranking.unranked) text += " " + entrant;
    return text;
}

std::vector<Entrant> Numbered(const std::vector<std::string>& names) {
    std::vector<Entrant> entrants;
    for (std::size_t i = 0; i < names.size(); ++i) {
        entrants.push_back({names[i], static_cast<std::int64_t>(i) + 1});
    }
    return entrants;
}

RankingSettings Method(RankingMethod method, std::optional<std::int64_t> best = {},
                       std::int64_t consecutive = 3) {
    return {method, best, consecutive};
}

const std::vector<RankingCase> kCases{
    {"BestRoundSecondBestThenHavingOneThenShared",
     Method(RankingMethod::BestRound),
     // I is entered before G: shared rows are listed by entry number.
     {{"A", 1},
      {"B", 2},
      {"C", 3},
      {"D", 4},
      {"E", 5},
      {"F", 6},
      {"G", 9},
      {"H", 8},
      {"I", 7},
      {"K", 11}},
     {{Ran("A", 10, 300000), Ran("B", 10, 300000), Ran("C", 10, 300000), Ran("D", 10, 300000),
       Ran("E", 10, 301000), Start("F", 4000), Dq("G", 15, 290000), Ran("I", 8, 250000),
       Start("K", 1000)},
      {Ran("A", 9, 290000), Ran("B", 9, 295000), Start("D", 3000), Ran("E", 11, 320000),
       Start("F", 8000), Ran("G", 8, 250000), Dns("H"), Start("K", 9000)}},
     "E 1, A 2, B 3, D 4, C 5, I 6=, G 6=, F 8=, K 8= | H"},
    {"RoundPointsBestKDropsAMissingRound",
     Method(RankingMethod::RoundPoints, 2),
     Numbered({"A", "B", "C"}),
     {{Ran("A", 10, 300000), Ran("B", 9, 300000), Ran("C", 8, 300000)},
      {Ran("A", 10, 300000), Ran("B", 9, 300000), Ran("C", 8, 300000)},
      {Ran("B", 10, 300000), Ran("C", 9, 300000)}},
     "A 1, B 2, C 3 |"},
    {"RoundPointsBestKLargerThanTheRoundsRunCountsThemAll",
     Method(RankingMethod::RoundPoints, 5),
     Numbered({"A", "B", "C"}),
     {{Ran("A", 10, 300000), Ran("B", 9, 300000), Ran("C", 8, 300000)},
      {Ran("A", 10, 300000), Ran("B", 9, 300000), Ran("C", 8, 300000)},
      {Ran("B", 10, 300000), Ran("C", 9, 300000)}},
     "B 1, A 2, C 3 |"},
    // 4 points each; A and C have places 1 and 3, B 2 and 2 despite B's best
    // key beating A's; C's best key beats A's.
    {"RoundPointsCountedPlacesThenBestSingleKey",
     Method(RankingMethod::RoundPoints),
     Numbered({"A", "B", "C"}),
     {{Ran("A", 12, 300000), Ran("B", 11, 300000), Ran("C", 10, 300000)},
      {Ran("C", 12, 299000), Ran("B", 12, 299500), Ran("A", 11, 300000)}},
     "C 1, A 2, B 3 |"},
    // STARTs of different heats share the place below everyone with laps.
    {"RoundPointsStartsShareAPlaceAndDisqualifiedIsUnranked",
     Method(RankingMethod::RoundPoints),
     {{"A", 1}, {"B", 3}, {"C", 2}, {"D", 4}},
     {{Ran("A", 5, 100000), Start("B", 3000), Start("C", 9000), Dq("D", 20, 300000)}},
     "A 1, C 2=, B 2= | D"},
    {"LapsTimeLapsThenTimeStartAddsNothing",
     Method(RankingMethod::LapsTime),
     Numbered({"A", "B", "C", "D"}),
     {{Ran("A", 10, 300000), Ran("B", 11, 300000), Start("C", 1000), Ran("D", 21, 700000)},
      {Ran("A", 10, 300000), Ran("B", 9, 290000), Ran("C", 20, 620000)}},
     "D 1, B 2, A 3, C 4 |"},
    {"LapsTimeCountsTheBestKRounds",
     Method(RankingMethod::LapsTime, 1),
     Numbered({"A", "B"}),
     {{Ran("A", 10, 300000), Ran("B", 11, 200000)}, {Ran("A", 12, 350000), Ran("B", 11, 200000)}},
     "A 1, B 2 |"},
    {"LapsTimeEqualSumsByBestSingleKeyThenShared",
     Method(RankingMethod::LapsTime),
     Numbered({"A", "B", "C", "D", "E"}),
     {{Ran("A", 10, 300000), Ran("B", 11, 310000), Ran("C", 10, 300000), Start("D", 1000)},
      {Ran("A", 10, 300000), Ran("B", 9, 290000), Ran("C", 10, 300000), Start("E", 9000)}},
     "B 1, A 2=, C 2=, D 4=, E 4= |"},
    // A DQ's fast lap does not count.
    {"FastestLapThenSecondThenThirdThenShared",
     Method(RankingMethod::FastestLap),
     Numbered({"A", "B", "C", "D", "E", "F", "G", "H", "I"}),
     {{Laps("A", {15500, 15000, 15200}), Laps("B", {15000, 15100}), Laps("C", {14900}),
       Laps("D", {15000, 15200}), Laps("E", {15200, 15000}), Start("F", 100),
       RoundResult{"H", RaceStatus::DQ, 1, 10000, {10000}, false}, Laps("I", {15000, 15200})},
      {Laps("D", {15600}), Start("G", 200)}},
     "C 1, B 2, A 3, D 4, E 5=, I 5=, F 7=, G 7= | H"},
    // Full windows by their time, then fastest lap; short of N laps by laps
    // in one race, then their sum; START only last.
    {"ConsecutiveWindowsThenShortOfNLapsThenStarts",
     Method(RankingMethod::Consecutive),
     Numbered({"A", "B", "C", "D", "E", "F", "G", "H", "I"}),
     {{Laps("A", {10, 10, 10, 20}), Laps("B", {12, 9, 9, 9}), Laps("C", {10, 10, 10}),
       Laps("D", {11, 9, 10}), Laps("E", {5, 5}), Laps("F", {6, 6}), Laps("G", {1}),
       Start("H", 100)},
      {Laps("E", {4}), Start("I", 200)}},
     "B 1, D 2, A 3=, C 3=, E 5, F 6, G 7, H 8=, I 8= |"},
    {"ConsecutiveWindowOfTheGivenLength",
     Method(RankingMethod::Consecutive, {}, 2),
     Numbered({"J", "K"}),
     {{Laps("J", {10, 10, 40}), Laps("K", {12, 12, 12})}},
     "J 1, K 2 |"},
};

class QualifyingRankingTest : public ::testing::TestWithParam<RankingCase> {};

TEST_P(QualifyingRankingTest, RanksAsComputedByHand) {
    const RankingCase& c = GetParam();
    EXPECT_EQ(Spelled(RankQualifying(c.settings, c.entrants, c.rounds)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Methods, QualifyingRankingTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return param.param.name; });

TEST(QualifyingRankingTest, AnyProvisionalResultMakesTheRankingProvisional) {
    RaceResults round{Ran("A", 10, 300000), Dns("B")};
    EXPECT_FALSE(RankQualifying({}, Numbered({"A", "B"}), {round}).provisional);
    round[1].provisional = true;
    EXPECT_TRUE(RankQualifying({}, Numbered({"A", "B"}), {round}).provisional);
}

}  // namespace
}  // namespace palomind
