// What /race.json adds to the window's texts for the spectators' page: each
// entrant's exact values from the race's result, and the last pass.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "documents/race_json.h"
#include "web/spectator_feed.h"

namespace palomind::testing {
namespace {

using Json = nlohmann::json;

// An entrant with `laps` laps whose last counted pass was at `timeMs`;
// without a place, one the engine never ranks.
EntrantResult Entrant(int id, std::optional<int> place, int laps, std::int64_t timeMs) {
    EntrantResult entrant;
    entrant.id = id;
    entrant.status = laps > 0 ? EntrantStatus::Run : EntrantStatus::Start;
    entrant.place = place;
    entrant.laps = laps;
    entrant.timeMs = timeMs;
    return entrant;
}

Json EntrantsOf(const ExactResult& result, const RaceWindowModel& window = {}) {
    return Json::parse(RaceJson(window, result))["entrants"];
}

const Json& EntrantWithId(const Json& entrants, int id) {
    for (const Json& entrant : entrants)
        if (entrant["id"] == id) return entrant;
    static const Json none;
    return none;
}

Json GapOf(std::optional<std::pair<int, std::int64_t>> gap) {
    return gap ? Json{{"laps", gap->first}, {"ms", gap->second}} : Json(nullptr);
}

struct GapCase {
    int id;
    std::optional<std::pair<int, std::int64_t>> toLeader, toAhead;
};

void ExpectGaps(const Json& entrants, std::initializer_list<GapCase> cases) {
    for (const GapCase& c : cases) {
        const Json& entrant = EntrantWithId(entrants, c.id);
        EXPECT_EQ(entrant["gapToLeader"], GapOf(c.toLeader)) << c.id;
        EXPECT_EQ(entrant["gapToAhead"], GapOf(c.toAhead)) << c.id;
    }
}

// ID 64 is one the engine never ranks.
TEST(SpectatorJsonTest, GapsAreWholeLapsAndTheMillisecondsBetweenTheLastCountedPasses) {
    const ExactResult result{.entrants = {Entrant(4, 1, 10, 600'000), Entrant(2, 2, 10, 602'340),
                                          Entrant(9, 3, 9, 590'000), Entrant(1, 4, 9, 599'990),
                                          Entrant(64, std::nullopt, 9, 599'000)}};
    const Json entrants = EntrantsOf(result);
    ExpectGaps(entrants, {{4, std::nullopt, std::nullopt},
                          {2, {{0, 2'340}}, {{0, 2'340}}},
                          {9, {{1, -10'000}}, {{1, -12'340}}},
                          {1, {{1, -10}}, {{0, 9'990}}},
                          {64, std::nullopt, std::nullopt}});
    EXPECT_EQ(EntrantWithId(entrants, 64)["place"], nullptr);
}

TEST(SpectatorJsonTest, TheDisqualifiedComeLastWithoutPlaceOrGapAndTheOthersArePlacedAgain) {
    ExactResult result{.entrants = {Entrant(4, 1, 10, 600'000), Entrant(2, 2, 10, 602'340),
                                    Entrant(9, 3, 9, 590'000)}};
    result.entrants[0].status = EntrantStatus::Dq;
    const Json entrants = EntrantsOf(result);
    ASSERT_EQ(entrants.size(), 3u);
    const struct {
        int id;
        Json place;
        bool disqualified;
    } expected[] = {{2, 1, false}, {9, 2, false}, {4, nullptr, true}};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(entrants[i]["id"], expected[i].id) << i;
        EXPECT_EQ(entrants[i]["place"], expected[i].place) << i;
        EXPECT_EQ(entrants[i]["disqualified"], expected[i].disqualified) << i;
    }
    ExpectGaps(entrants, {{2, std::nullopt, std::nullopt},
                          {9, {{1, -12'340}}, {{1, -12'340}}},
                          {4, std::nullopt, std::nullopt}});
}

TEST(SpectatorJsonTest, TimesAndShortLapsAreTheResultsMillisecondsNotTheWindowsTexts) {
    EntrantResult lapped = Entrant(3, 1, 2, 98'630);
    lapped.lapMs = {47'400, 51'230};
    lapped.bestMs = 47'400;
    lapped.shortLaps = {2};
    const EntrantResult started = Entrant(8, 2, 0, -1'500);
    const Json entrants = EntrantsOf({.entrants = {lapped, started}});
    EXPECT_EQ(entrants[0]["timeMs"], 98'630);
    EXPECT_EQ(entrants[0]["lastLapMs"], 51'230);
    EXPECT_EQ(entrants[0]["bestMs"], 47'400);
    EXPECT_EQ(entrants[0]["laps"], 2);
    EXPECT_EQ(entrants[0]["shortLaps"], Json::parse("[2]"));
    EXPECT_EQ(entrants[1]["timeMs"], -1'500);  // its start pass in the countdown
    EXPECT_EQ(entrants[1]["lastLapMs"], nullptr);
    EXPECT_EQ(entrants[1]["bestMs"], nullptr);
    EXPECT_EQ(entrants[1]["shortLaps"], Json::array());
}

TEST(SpectatorJsonTest, NamesAreTheWindowsFromTheStandingsOrTheLapHistorysHeadings) {
    RaceWindowModel window;
    window.Standings.SetTextMatrix(1, kStandingsIdCol, "05");
    window.Standings.SetTextMatrix(1, kStandingsNameCol, "佐藤 健太");
    window.LapHistory.SetTextMatrix(0, 3, "ID21");
    window.LapHistory.SetTextMatrix(1, 3, "Ito");
    const Json entrants = EntrantsOf(
        {.entrants = {Entrant(5, 1, 1, 30'000), Entrant(21, 2, 1, 31'000), Entrant(7, 3, 0, 0)}},
        window);
    EXPECT_EQ(EntrantWithId(entrants, 5)["name"], "佐藤 健太");
    EXPECT_EQ(EntrantWithId(entrants, 21)["name"], "Ito");
    EXPECT_EQ(EntrantWithId(entrants, 7)["name"], "");
}

// The document without the keys the exact result and the last pass add.
Json WindowKeysOf(const std::string& json) {
    Json race = Json::parse(json);
    for (const char* added : {"commentShown", "entrants", "lastPass"}) race.erase(added);
    return race;
}

TEST(SpectatorJsonTest, TheNewKeysLeaveEveryKeyAndValueOfTheWindowsTextsAsTheyWere) {
    RaceWindowModel window;
    window.StatusCaption = "計測中";
    window.Comment = "雨";
    window.Standings.SetTextMatrix(1, kStandingsIdCol, "05");
    window.Standings.SetTextMatrix(1, kStandingsTimeCol, "00h00m30s00");
    const Json withResult = WindowKeysOf(
        RaceJson(window, {.entrants = {Entrant(5, 1, 1, 31'000)}}, LastPass{5, 31'000}));
    EXPECT_EQ(withResult, WindowKeysOf(RaceJson(window)));
    std::vector<std::string> keys;
    for (const auto& [key, value] : withResult.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"comment", "elapsed", "lamp", "lapHistory",
                                              "provisional", "remaining", "standings", "status"}));
    EXPECT_EQ(withResult["standings"][0]["time"], "00h00m30s00");
}

TEST(SpectatorJsonTest, TheCommentIsShownUnlessEmptyBlankOrThePlaceholder) {
    const struct {
        const char* comment;
        bool shown;
    } cases[] = {{"", false},
                 {" \r\n", false},
                 {"レースコメント記入欄", false},
                 {"レースコメント記入欄\r\n", false},
                 {"レースコメント記入欄です", true},
                 {"雨のため 10 分遅れ", true}};
    for (const auto& c : cases) {
        RaceWindowModel window;
        window.Comment = c.comment;
        EXPECT_EQ(Json::parse(RaceJson(window))["commentShown"], c.shown) << c.comment;
    }
}

TEST(SpectatorJsonTest, AResultFileShownHasNoEntrantsAndNoLastPass) {
    const Json race = Json::parse(RaceJson(RaceWindowModel{}));
    EXPECT_EQ(race["entrants"], Json::array());
    EXPECT_EQ(race["lastPass"], nullptr);
}

// The feed hands the server the result it read and the last pass counted.
class SpectatorFeedLastPassTest : public ::testing::Test {
  protected:
    void Raise(RaceEvent event) {
        event.tick = tick += 1000;  // past the pacing interval: every event is copied
        feed.OnRaceEvent(event);
    }
    std::optional<LastPass> Published() const { return slot.Latest().lastPass; }

    std::int32_t tick = 0;
    RaceWindowModel window;
    RaceSnapshotSlot slot;
    SpectatorFeed feed{window, [] { return ExactResult{.entrants = {Entrant(5, 1, 1, 30'000)}}; },
                       slot, 100};
};

TEST_F(SpectatorFeedLastPassTest, APassIsKeptUntilTheNextOneAndForgottenAtAReset) {
    Raise({.kind = RaceEventKind::PassAccepted, .id = 5, .raceTime = 30.0});
    EXPECT_EQ(Published(), (LastPass{5, 30'000}));
    Raise({.kind = RaceEventKind::StandingsChanged});
    EXPECT_EQ(Published(), (LastPass{5, 30'000}));
    Raise({.kind = RaceEventKind::PassAccepted, .id = 7, .raceTime = 31.25});
    EXPECT_EQ(Published(), (LastPass{7, 31'250}));
    Raise({.kind = RaceEventKind::RaceReset});
    EXPECT_EQ(Published(), std::nullopt);
}

}  // namespace
}  // namespace palomind::testing
