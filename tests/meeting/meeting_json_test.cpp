#include "meeting/meeting_json.h"

#include <gtest/gtest.h>

#include "meeting/meeting_schedule.h"

namespace palomind {
namespace {

// A meeting with every field away from its default.
Meeting FullMeeting() {
    Meeting meeting;
    meeting.name = "第5戦 \"冬\"";
    meeting.date = "2026-12-09";
    MeetingClass& gt = AddClass(meeting, "GT");
    gt.raceTimeS = 300;
    gt.startWaitS = 5;
    gt.minLapMs = 4500;
    gt.heatSize = 6;
    gt.rounds = 4;
    gt.practiceTimeS = 0;
    gt.ranking = {RankingMethod::Consecutive, 2, 5};
    gt.finals = {8, 2, 3, 2};
    gt.practiceRecords.push_back({"20261209-090000-1.race", true, false});
    AddClass(meeting, "ツーリング");
    meeting.entries = {{1, "山田", 5, "c1", "12", "港RC"},
                       {2, "鈴木", 5, "c1", "", ""},
                       {3, "佐藤", 7, "c2", "", ""}};
    meeting.rounds.push_back(
        {"c1",
         1,
         18446744073709551615u,
         {{"c1-q1-1", 1, {2}, {{"a.race", true, false}, {"b.race", false, true}}},
          {"c1-q1-2", 2, {1}, {}}}});
    return meeting;
}

TEST(MeetingJsonTest, AMeetingReadsBackAsItWasWritten) {
    const std::string written = MeetingJson(FullMeeting());
    std::string error;
    const std::optional<Meeting> read = ReadMeetingJson(written, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(MeetingJson(*read), written);
    EXPECT_EQ(read->classes[0].ranking.best, 2);
    EXPECT_EQ(read->rounds[0].seed, 18446744073709551615u);
    EXPECT_EQ(read->rounds[0].heats[0].records[1].accepted, true);
}

struct DamageCase {
    std::string from;
    std::string to;
    std::string error;
};

TEST(MeetingJsonTest, ADamagedNewerOrMisshapenFileIsRefusedNamingTheKey) {
    const std::string good = MeetingJson(FullMeeting());
    const std::vector<DamageCase> cases{
        {"\"version\": 1", "\"version\": 2", "version: 2 is newer than this program reads (1)"},
        {"palomind-meeting", "palomind-race", "format: not a meeting (\"palomind-race\")"},
        {"\"transponder\": 7", "\"transponder\": 64", "entries[2].transponder: must be at most 63"},
        {"\"class\": \"c2\"", "\"class\": \"c9\"", "entries[2].class: no class \"c9\""},
        {"\"heat_size\": 6", "\"heat_size\": 1", "classes[0].heat_size: must be at least 2"},
        {"\"a.race\"", "\"../a.race\"",
         "rounds[0].heats[0].records[0].file: \"../a.race\" is not a file name in races/"},
        {"\"b.race\"", "\"a.race\"",
         "rounds[0].heats[0].records[1].file: \"a.race\" is filed twice"},
        {"\"method\": \"consecutive\"", "\"method\": \"best\"",
         "classes[0].ranking.method: unknown method \"best\""},
        {"\"name\": \"鈴木\"", "\"name\": \"山田\"",
         "entries[1].name: \"山田\" is empty or entered twice"},
        {"\"heat\": 2", "\"heat\": 1", "rounds[0].heats[1].heat: 1 is listed twice"},
        {"\"seed\": 18446744073709551615", "\"seed\": -1",
         "rounds[0].seed: must be a whole number"},
        {"\"entries\": [", "\"entries\": {", "not JSON (at byte 0)"},
    };
    for (const DamageCase& c : cases) {
        std::string damaged = good;
        const std::size_t at = damaged.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        damaged.replace(at, c.from.size(), c.to);
        std::string error;
        EXPECT_FALSE(ReadMeetingJson(damaged, error)) << c.to;
        if (c.error.rfind("not JSON", 0) == 0) {
            EXPECT_EQ(error.rfind("not JSON", 0), 0u) << error;
        } else {
            EXPECT_EQ(error, c.error) << c.to;
        }
    }
}

struct StateCase {
    const char* what;
    std::vector<HeatRecord> records;
    RecordFacts facts;  // of every record
    HeatState state;
};

TEST(MeetingScheduleTest, AHeatsStateComesFromItsStandingRecord) {
    using End = RecordFacts::End;
    const HeatRecord ran{"r.race", false, false};
    const HeatRecord accepted{"r.race", false, true};
    const HeatRecord replaced{"old.race", true, false};
    const std::vector<StateCase> cases{
        {"nothing filed", {}, {}, HeatState::ToRun},
        {"every run replaced", {replaced}, {End::AllFinished, false}, HeatState::Replaced},
        {"not ended", {replaced, ran}, {End::None, false}, HeatState::Running},
        {"stopped", {ran}, {End::Stopped, false}, HeatState::Stopped},
        {"stopped and accepted", {accepted}, {End::Stopped, false}, HeatState::Done},
        {"all finished", {replaced, ran}, {End::AllFinished, false}, HeatState::Done},
        {"short lap unresolved", {ran}, {End::AllFinished, true}, HeatState::Provisional},
    };
    for (const StateCase& c : cases) {
        std::vector<std::string> asked;
        const HeatState state = StateOfHeat(c.records, [&](const std::string& file) {
            asked.push_back(file);
            return c.facts;
        });
        EXPECT_EQ(state, c.state) << c.what;
        for (const std::string& file : asked) EXPECT_NE(file, "old.race") << c.what;
    }
}

TEST(MeetingScheduleTest, PracticeComesFirstThenEachRoundOfEveryClass) {
    Meeting meeting = FullMeeting();
    meeting.rounds.push_back({"c2", 2, 1, {{"c2-q2-1", 1, {3}, {}}}});
    meeting.rounds.push_back({"c2", 1, 1, {{"c2-q1-1", 1, {3}, {}}}});
    meeting.classes[0].name = "GT改";  // renaming keeps the ids
    const auto schedule =
        MeetingSchedule(meeting, [](const std::string&) { return RecordFacts{}; });
    std::vector<std::string> order;
    for (const ScheduledHeat& heat : schedule) order.push_back(heat.id);
    EXPECT_EQ(order,
              (std::vector<std::string>{"c2-p", "c1-q1-1", "c1-q1-2", "c2-q1-1", "c2-q2-1"}));
    EXPECT_EQ(schedule[0].round, 0);
    EXPECT_EQ(schedule[0].startWaitS, 0);
    EXPECT_EQ(schedule[0].raceTimeS, 300);
    EXPECT_EQ(schedule[0].title, "ツーリング 練習");
    EXPECT_EQ(schedule[2].title, "GT改 予選1 ヒート2");
    EXPECT_EQ(schedule[2].minLapMs, 4500);
    EXPECT_EQ(schedule[1].state, HeatState::Running);
    EXPECT_EQ(NextHeatToRun(schedule), 0u);
}

}  // namespace
}  // namespace palomind
