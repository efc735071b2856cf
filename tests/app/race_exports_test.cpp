// What leaves the program for readers outside it: /race.json, the CSV and
// HTML exports, and the paced copies of the window the web server reads.
#include <gtest/gtest.h>

#include <iterator>
#include <nlohmann/json.hpp>
#include <utility>

#include "documents/exact_times.h"
#include "documents/race_csv.h"
#include "documents/race_html.h"
#include "documents/race_json.h"
#include "engine/exact_result.h"
#include "tests/engine/engine_fixture.h"
#include "web/spectator_feed.h"

namespace palomind::testing {
namespace {

const RaceExportFacts kFacts{
    .started = "2026-12-09T11:45:51+09:00", .version = "1.2.3.4", .over = true};

// A race of 22 entrants (two more than the window shows), with names that a
// CSV or an HTML page must carry unharmed.
class ScriptedRaceTest : public EngineTest {
  protected:
    ScriptedRaceTest() {
        names[1] = "Sato, \"Flash\"\r\nJr.";
        names[2] = "<b>Ito</b> & Co";
        StartAt(0);
        TickUntil(10'600);  // timing opens at 11 s
        for (int lap = 0; lap <= 3; ++lap)
            for (int id = 1; id <= 22; ++id) Pass(id, 12'000 + lap * 30'000 + id * 700);
    }
};

TEST_F(ScriptedRaceTest, RaceJsonHoldsTheWindowsTexts) {
    Pass(1, 12'000 + 4 * 30'000 + 700 + 5'000);  // a slower fourth lap: last and best differ
    const auto json = nlohmann::json::parse(RaceJson(window));
    EXPECT_EQ(json["status"], window.StatusCaption);
    EXPECT_EQ(json["lamp"], "#8080FF");
    EXPECT_EQ(json["elapsed"], window.ElapsedCaption);
    EXPECT_EQ(json["remaining"], window.RemainingCaption);
    EXPECT_EQ(json["comment"], window.Comment);
    // Each key of a place (docs/spectators.md) with the window's column that
    // means the same, whatever their order.
    const std::pair<const char*, StandingsCol> meanings[] = {
        {"place", kStandingsPlaceCol}, {"id", kStandingsIdCol},     {"name", kStandingsNameCol},
        {"laps", kStandingsLapsCol},   {"time", kStandingsTimeCol}, {"lap", kStandingsLastLapCol},
        {"best", kStandingsBestLapCol}};
    ASSERT_EQ(json["standings"].size(), 20u);
    for (int row = 1; row <= 20; ++row) {
        ASSERT_EQ(json["standings"][row - 1].size(), std::size(meanings)) << row;
        for (const auto& [key, col] : meanings)
            EXPECT_EQ(json["standings"][row - 1][key], Standing(row, col)) << row << key;
    }
    EXPECT_EQ(json["standings"][0]["id"], "01");
    EXPECT_EQ(json["standings"][0]["name"], names[1]);
    EXPECT_EQ(json["standings"][0]["laps"], "004");
    EXPECT_EQ(json["standings"][0]["best"], "00m30s00");
    EXPECT_NE(json["standings"][0]["lap"], json["standings"][0]["best"]);

    const auto& columns = json["lapHistory"]["columns"];
    const auto& rows = json["lapHistory"]["rows"];
    ASSERT_EQ(columns.size(), 20u);  // the 21st and 22nd entrants have no column
    ASSERT_EQ(rows.size(), 4u);      // laps 1 to 4
    for (int col = 1; col <= 20; ++col) {
        EXPECT_EQ(columns[col - 1]["id"], LapCell(0, col));
        EXPECT_EQ(columns[col - 1]["name"], LapCell(1, col));
        for (int lap = 1; lap <= 4; ++lap) EXPECT_EQ(rows[lap - 1][col], LapCell(lap + 1, col));
    }
    EXPECT_EQ(rows[3][0], "4");
}

TEST_F(ScriptedRaceTest, RaceJsonReplacesTextThatIsNotUtf8) {
    window.Comment = "bad \xff byte";
    EXPECT_NO_THROW(nlohmann::json::parse(RaceJson(window)));
}

TEST(TimeCellSecondsTest, ReadsTheWindowsTimeTexts) {
    EXPECT_EQ(TimeCellSeconds("00h01m23s45"), "83.45");
    EXPECT_EQ(TimeCellSeconds("01m02s03"), "62.03");
    EXPECT_EQ(TimeCellSeconds("02h00m00s00"), "7200.00");
    EXPECT_EQ(TimeCellSeconds("-00h00m09s50"), "-9.50");
    EXPECT_EQ(TimeCellSeconds(""), "");
    EXPECT_EQ(TimeCellSeconds("---"), "---");
    EXPECT_EQ(TimeCellSeconds("01m2xs03"), "01m2xs03");
}

TEST_F(ScriptedRaceTest, CsvListsEveryRankedEntrantWithTheEnginesMilliseconds) {
    const std::string csv = RaceCsv(state, ExactResultOf(state), window, names, kFacts);
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF"
                        "レース時間,480\r\n"
                        "順位,ID,名前,周回,合計タイム,ベストラップ,ラップ1,ラップ2,ラップ3\r\n"
                        "1,1,\"Sato, \"\"Flash\"\"\r\nJr.\",3,92.700,30.000,32.700,30.000,30."
                        "000\r\n",
                        0),
              0u)
        << csv.substr(0, 300);
    // 22 entrants, the last two from the engine's ranking; then the race's rows.
    EXPECT_TRUE(
        csv.ends_with("\r\n21,21,N21,3,106.700,30.000,46.700,30.000,30.000\r\n"
                      "22,22,N22,3,107.400,30.000,47.400,30.000,30.000\r\n"
                      "\r\n"
                      "開始,2026-12-09T11:45:51+09:00\r\n"
                      "コメント,\r\n"
                      "バージョン,1.2.3.4\r\n"))
        << csv.substr(csv.size() - 200);
    std::size_t lines = 0;
    for (std::size_t at = csv.find("\r\n"); at != std::string::npos; at = csv.find("\r\n", at + 1))
        ++lines;
    EXPECT_EQ(lines, 2u + 22u + 1u + 4u);  // the first name holds a line break
}

// A name is text whatever it looks like: one that reads as a number is
// marked too, so that the spreadsheet keeps it as written ("-05").
TEST_F(ScriptedRaceTest, CsvMarksNamesThatBeginLikeAFormula) {
    const struct {
        const char* name;
        const char* field;
    } cases[] = {
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+1+2", "'+1+2"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\t=1", "'\t=1"},
        {"\r=1", "\"'\r=1\""},
        {"+81", "'+81"},
        {"-x", "'-x"},
        {"-5", "'-5"},
        {"-1.25", "'-1.25"},
        {"Ito-san", "Ito-san"},
        {"未登録", ""},  // the roster's placeholder: no name
    };
    for (const auto& c : cases) {
        names[1] = c.name;
        const std::string csv = RaceCsv(state, ExactResultOf(state), window, names, kFacts);
        EXPECT_NE(csv.find(std::string("\r\n1,1,") + c.field + ",3,"), std::string::npos)
            << c.name << "\n"
            << csv.substr(0, 200);
    }
}

TEST_F(ScriptedRaceTest, HtmlIsOnePageWithTheWindowsTextsEscaped) {
    const std::string html = RaceHtml(window, kFacts);
    EXPECT_NE(html.find("&lt;b&gt;Ito&lt;/b&gt; &amp; Co"), std::string::npos);
    EXPECT_EQ(html.find("<b>Ito"), std::string::npos);
    EXPECT_NE(html.find("@media print"), std::string::npos);  // its style is inside
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("http"), std::string::npos);  // nothing fetched from elsewhere
    EXPECT_NE(html.find(">" + Standing(20, 6) + "<"), std::string::npos);
}

// Two entrants, ID 2's second lap 0.5 s against a minimum of 5 s.
class ShortLapRaceTest : public EngineTest {
  protected:
    ShortLapRaceTest() {
        state.StartWait = 0;
        state.MinLapMs = 5'000;
        StartAt(0);
        Pass(1, 1'000);
        Pass(2, 1'100);
        Pass(1, 20'000);
        Pass(2, 20'100);
        Pass(2, 20'600);
    }
};

TEST_F(ShortLapRaceTest, CsvSaysProvisionalAndListsTheFlaggedLaps) {
    const std::string csv = RaceCsv(state, ExactResultOf(state), window, names, kFacts);
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "レース時間,480\r\n"
              "順位,ID,名前,周回,合計タイム,ベストラップ,ラップ1,ラップ2\r\n"
              "1,2,N2,2,20.600,0.500,20.100,0.500\r\n"
              "2,1,N1,1,20.000,20.000,20.000,\r\n"
              "\r\n"
              "開始,2026-12-09T11:45:51+09:00\r\n"
              "コメント,\r\n"
              "バージョン,1.2.3.4\r\n"
              "状態,暫定\r\n"
              "短いラップ,2,2\r\n");
}

TEST_F(ShortLapRaceTest, PageJsonAndHtmlMarkTheFlaggedLapAndSayProvisional) {
    const auto json = nlohmann::json::parse(RaceJson(window));
    EXPECT_EQ(json["provisional"], true);
    EXPECT_EQ(json["lapHistory"]["short"], nlohmann::json::parse("[[1, 2]]"));
    EXPECT_EQ(json["lapHistory"]["rows"][1][2], "00m00s50");  // the text stays as shown

    const std::string html = RaceHtml(window, kFacts);
    EXPECT_NE(html.find("<td class=\"short\">00m00s50</td>"), std::string::npos);
    EXPECT_EQ(html.find("class=\"short\"", html.find("class=\"short\">00m00s50") + 1),
              std::string::npos);
    EXPECT_NE(html.find("<span class=\"provisional\">暫定</span>"), std::string::npos);
}

TEST_F(ScriptedRaceTest, WithoutAMinimumLapNothingIsMarkedOrProvisional) {
    const auto json = nlohmann::json::parse(RaceJson(window));
    EXPECT_EQ(json["provisional"], false);
    EXPECT_TRUE(json["lapHistory"]["short"].empty());
    EXPECT_EQ(RaceHtml(window, kFacts).find("暫定"), std::string::npos);
    EXPECT_EQ(RaceCsv(state, ExactResultOf(state), window, names, kFacts).find("暫定"),
              std::string::npos);
}

TEST(ExactTimeTextsTest, WriteWholeMillisecondsInTheWindowsFormsTruncatingToHundredths) {
    const struct {
        std::int64_t ms;
        const char* raceTime;
        const char* lapTime;
    } cases[] = {
        {47'400, "00h00m47s40", "00m47s40"},       {47'409, "00h00m47s40", "00m47s40"},
        {3'723'450, "01h02m03s45", "02m03s45"},  // a lap drops its hours, as the window's
        {-1'500, "-00h00m01s50", "-00m01s50"},     {0, "00h00m00s00", "00m00s00"},
        {360'000'000, "100h00m00s00", "00m00s00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExactRaceTimeText(c.ms), c.raceTime) << c.ms;
        EXPECT_EQ(ExactLapTimeText(c.ms), c.lapTime) << c.ms;
    }
}

// ID 1's first lap is 47.4 s, which the window's arithmetic shows as 47.39.
class ExactTimesTest : public EngineTest {
  protected:
    ExactTimesTest() {
        StartAt(0);  // timing from 10 s
        Pass(1, 5'000);
        Pass(1, 57'400);
    }
};

TEST_F(ExactTimesTest, PageAndHtmlShowTheEnginesMillisecondsNotTheWindowsArithmetic) {
    ASSERT_EQ(LapCell(2, 1), "00m47s39");
    const RaceWindowModel exact = WithExactTimes(window, ExactResultOf(state));
    EXPECT_EQ(exact.LapHistory.TextMatrix(2, 1), "00m47s40");
    EXPECT_EQ(exact.Standings.TextMatrix(1, kStandingsTimeCol), "00h00m47s40");
    EXPECT_EQ(exact.Standings.TextMatrix(1, kStandingsLastLapCol), "00m47s40");
    EXPECT_EQ(exact.Standings.TextMatrix(1, kStandingsBestLapCol), "00m47s40");
    EXPECT_EQ(exact.Standings.TextMatrix(1, kStandingsNameCol), Standing(1, kStandingsNameCol));
    EXPECT_EQ(exact.LapHistory.TextMatrix(3, 1), "");  // no lap 2: nothing written
    EXPECT_NE(RaceHtml(exact, kFacts).find(">00m47s40<"), std::string::npos);
}

TEST_F(ExactTimesTest, AResultFileShownKeepsTheTextsItHolds) {
    const RaceWindowModel shown = WithExactTimes(window, ExactResult{});
    EXPECT_EQ(shown.LapHistory.TextMatrix(2, 1), "00m47s39");
    EXPECT_EQ(shown.Standings.TextMatrix(1, kStandingsTimeCol), Standing(1, kStandingsTimeCol));
}

TEST_F(ExactTimesTest, TheSpectatorFeedPublishesTheExactTimes) {
    RaceSnapshotSlot slot;
    SpectatorFeed feed{window, [this] { return ExactResultOf(state); }, slot, 100};
    feed.PublishNow(0);
    EXPECT_EQ(slot.Latest().window->LapHistory.TextMatrix(2, 1), "00m47s40");
}

// The feed copies the window for the web server, paced by the event ticks.
class SpectatorFeedTest : public ::testing::Test {
  protected:
    void Event(std::int32_t tick) {
        feed.OnRaceEvent({.kind = RaceEventKind::StandingsChanged, .tick = tick});
    }
    std::uint64_t Published() const { return slot.Latest().sequence; }

    RaceWindowModel window;
    RaceState state;
    RaceSnapshotSlot slot;
    SpectatorFeed feed{window, [this] { return ExactResultOf(state); }, slot, 100};
};

TEST_F(SpectatorFeedTest, CopiesAtOnceThenAtMostOncePerIntervalAndFlushesTheRest) {
    Event(1000);
    EXPECT_EQ(Published(), 1u);
    window.StatusCaption = "計測中";
    Event(1050);  // held back: the last copy is younger than 100 ms
    EXPECT_EQ(Published(), 1u);
    feed.Flush(1080);
    EXPECT_EQ(Published(), 1u);
    feed.Flush(1100);
    EXPECT_EQ(Published(), 2u);
    EXPECT_EQ(slot.Latest().window->StatusCaption, "計測中");
    feed.Flush(5000);  // nothing new
    EXPECT_EQ(Published(), 2u);
}

TEST_F(SpectatorFeedTest, ACopyIsTheWindowAsItWasNotAsItBecomes) {
    window.Comment = "before";
    Event(0);
    window.Comment = "after";
    EXPECT_EQ(slot.Latest().window->Comment, "before");
}

TEST_F(SpectatorFeedTest, PacingSurvivesTheTickCounterWrapping) {
    Event(2147483600);
    window.Comment = "x";
    Event(-2147483600);  // 96 ms later, after the wrap
    EXPECT_EQ(Published(), 1u);
    feed.Flush(-2147483590);
    EXPECT_EQ(Published(), 2u);
}

}  // namespace
}  // namespace palomind::testing
