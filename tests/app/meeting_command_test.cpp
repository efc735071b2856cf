#include "app/meeting_command.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "app/class_results.h"
#include "app/replay_command.h"
#include "meeting/meeting_folder.h"
#include "platform/file_store.h"
#include "tests/support/receiver_frame.h"
#include "tests/support/test_folders.h"

namespace palomind {
namespace {

using testing::ReadBytes;

struct Outcome {
    int status = -1;
    std::string err;
};

struct BadLineCase {
    std::vector<std::string> args;
    std::string error;  // the one line on standard error
};

// A meeting folder "m" in a scratch folder, and the program's command line
// run on it with a fixed date and seed source.
class MeetingCommandTest : public ::testing::Test {
  protected:
    Outcome Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--meeting", Meeting()});
        const CommandLine line = ParseCommandLine(args);
        EXPECT_EQ(line.error, "");
        std::ostringstream err;
        MeetingCommandWorld world{files_, "2026-12-09", [] { return std::uint64_t{42}; }};
        return {RunMeetingFolderCommand(line, world, err), err.str()};
    }
    void Succeed(const std::vector<std::string>& args) {
        const Outcome outcome = Run(args);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
    }
    std::string Meeting() const { return folder_.File("m"); }
    std::string MeetingFile() const { return folder_.File("m/meeting.json"); }
    // A meeting with a class GT of three entrants, two on transponder 5.
    void SetUpMeeting() {
        Succeed({"--new", "冬の大会"});
        Succeed({"--class", "GT", "--heat-size", "2", "--race-time", "300", "--min-lap", "4.5"});
        folder_.Write("entries.csv", "name,class,transponder\nAnn,GT,5\nBob,GT,5\nCy,GT,7\n");
        Succeed({"--import-entries", folder_.File("entries.csv")});
    }

    // Each line refused with status 2 and its one line, meeting.json as it was.
    void ExpectEachRefused(const std::vector<BadLineCase>& cases) {
        const std::string before = ReadBytes(MeetingFile());
        for (const BadLineCase& c : cases) {
            const Outcome outcome = Run(c.args);
            EXPECT_EQ(outcome.status, 2) << c.error;
            EXPECT_EQ(outcome.err, c.error + "\n");
            EXPECT_EQ(ReadBytes(MeetingFile()), before) << c.error;
        }
    }

    testing::ScratchFolder folder_;
    DiskFileStore files_;
};

TEST_F(MeetingCommandTest, ANewMeetingClassImportAndDrawGiveTheSchedule) {
    SetUpMeeting();
    Succeed({"--draw-heats", "GT", "--round", "1"});
    Succeed({"--schedule", "--out", folder_.File("schedule.json")});
    const auto schedule = nlohmann::json::parse(ReadBytes(folder_.File("schedule.json")));
    const auto& heats = schedule.at("heats");
    ASSERT_EQ(heats.size(), 3u);
    EXPECT_EQ(heats[0].at("heat"), "c1-p");
    EXPECT_EQ(heats[0].at("round"), 0);
    EXPECT_EQ(heats[0].at("kind"), "practice");
    EXPECT_EQ(heats[0].at("entrants").size(), 3u);
    for (std::size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(heats[i].at("kind"), "qualifying");
        EXPECT_EQ(heats[i].at("round"), 1);
        EXPECT_EQ(heats[i].at("state"), "to-run");
        EXPECT_EQ(heats[i].at("class"), "GT");
        EXPECT_EQ(heats[i].at("min_lap_ms"), 4500);
    }
    // Ann and Bob share transponder 5: the heat of two holds one of them.
    const auto& pair = heats[1].at("entrants");
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_NE(pair[0].at("transponder"), pair[1].at("transponder"));
    EXPECT_EQ(heats[2].at("entrants").size(), 1u);
    const auto meeting = nlohmann::json::parse(ReadBytes(MeetingFile()));
    EXPECT_EQ(meeting.at("date"), "2026-12-09");
    EXPECT_EQ(meeting.at("rounds")[0].at("seed"), 42);
    EXPECT_TRUE(std::filesystem::is_directory(Meeting() + "/races"));
}

TEST_F(MeetingCommandTest, AClassKeepsEverySettingItIsNotGiven) {
    SetUpMeeting();
    Succeed(
        {"--class", "GT", "--start-wait",  "3", "--practice-time", "0", "--method", "fastest-lap",
         "--best",  "2",  "--consecutive", "4", "--main-size",     "6", "--bump",   "1",
         "--legs",  "3",  "--best-legs",   "2"});
    Succeed({"--class", "GT", "--rounds", "5", "--best", "all"});
    const auto c = nlohmann::json::parse(ReadBytes(MeetingFile())).at("classes")[0];
    const std::vector<std::pair<nlohmann::json, nlohmann::json>> expected{
        {c.at("race_time_s"), 300},
        {c.at("start_wait_s"), 3},
        {c.at("heat_size"), 2},
        {c.at("rounds"), 5},
        {c.at("min_lap_ms"), 4500},
        {c.at("practice_time_s"), 0},
        {c.at("ranking"), {{"method", "fastest-lap"}, {"best", nullptr}, {"consecutive", 4}}},
        {c.at("finals"), {{"main_size", 6}, {"bump", 1}, {"legs", 3}, {"best_legs", 2}}},
    };
    for (const auto& [stored, given] : expected) EXPECT_EQ(stored, given) << given;
    EXPECT_EQ(c.at("id"), "c1");
}

TEST_F(MeetingCommandTest, BadInputGetsOneLineStatusTwoAndChangesNothing) {
    SetUpMeeting();
    folder_.Write("bad.csv", "name,class,transponder\nDee,GT,99\n");
    const std::vector<BadLineCase> cases{
        {{"--new", "Again"}, "palomind: " + Meeting() + ": not an empty folder"},
        {{"--class", "GT", "--heat-size", "25"},
         "palomind: --heat-size: \"25\" is not a whole number from 2 to 20"},
        {{"--class", "GT", "--race-time", "0"},
         "palomind: --race-time: \"0\" is not a whole number from 1 to 1000000000"},
        {{"--class", "GT", "--min-lap", "4.5555"},
         "palomind: --min-lap: \"4.5555\" is not a time in seconds from 0 to 600 (at most "
         "three decimals)"},
        {{"--class", "GT", "--method", "best"},
         "palomind: --method: unknown method \"best\" (best-round, round-points, laps-time, "
         "fastest-lap, consecutive)"},
        {{"--class", "GT", "--main-size", "4", "--bump", "4"},
         "palomind: --class: bump 4 must be less than the main size 4"},
        {{"--class", "😀"},
         "palomind: --class: the name must be text that cp932 can hold, not empty"},
        {{"--import-entries", folder_.File("bad.csv")},
         "palomind: " + folder_.File("bad.csv") +
             ": row 2: transponder \"99\" is not a number from 1 to 63"},
        {{"--draw-heats", "Nope", "--round", "1"}, "palomind: --draw-heats: no class \"Nope\""},
        {{"--draw-heats", "GT"}, "palomind: --draw-heats needs --round"},
        {{"--draw-heats", "GT", "--round", "9"},
         "palomind: --draw-heats: round 9: class \"GT\" has 3 qualifying rounds"},
        {{"--draw-heats", "GT", "--round", "1", "--seed", "-3"},
         "palomind: --seed: \"-3\" is not a whole number"},
        {{"--schedule"}, "palomind: --schedule needs --out"},
        {{"--class", "GT", "--schedule"}, "palomind: --schedule cannot be used with --class"},
        {{"--round", "1"},
         "palomind: --meeting needs one of --new, --class, --import-entries, --draw-heats, "
         "--schedule, --file-race and --results"},
        {{"--class", "GT", "--seed", "1"}, "palomind: --seed needs --draw-heats"},
    };
    ExpectEachRefused(cases);
}

TEST_F(MeetingCommandTest, ADamagedMeetingFileIsRefusedAndLeftAsItWas) {
    SetUpMeeting();
    std::string damaged = ReadBytes(MeetingFile());
    damaged.resize(damaged.size() / 2);  // cut short
    testing::WriteBytes(MeetingFile(), damaged);
    const Outcome outcome = Run({"--class", "Touring"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err.rfind("palomind: " + MeetingFile() + ": not JSON", 0), 0u) << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1);
    EXPECT_EQ(ReadBytes(MeetingFile()), damaged);
}

TEST_F(MeetingCommandTest, AFiledRecordThatIsNotARaceRecordEndsWithStatusOne) {
    SetUpMeeting();
    Succeed({"--draw-heats", "GT", "--round", "1", "--seed", "5"});
    std::string text = ReadBytes(MeetingFile());
    const std::string noRecords = "\"records\": []";
    text.replace(text.find(noRecords), noRecords.size(),
                 R"("records": [{"file": "x.race", "replaced": false, "accepted": false}])");
    testing::WriteBytes(MeetingFile(), text);
    testing::WriteBytes(Meeting() + "/races/x.race", "not a record\n");
    const Outcome outcome = Run({"--schedule", "--out", folder_.File("s.json")});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err.rfind("palomind: " + Meeting() + "/races/x.race: ", 0), 0u)
        << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(folder_.File("s.json")));
}

TEST_F(MeetingCommandTest, AHeatWhoseFiledRecordRanToTheEndIsDone) {
    SetUpMeeting();
    Succeed({"--draw-heats", "GT", "--round", "1", "--seed", "5"});
    // The journal's two races, every entrant finished in each, as records.
    const testing::TemporaryCurrentDirectory working;
    std::ostringstream replayMessages;
    ASSERT_EQ(RunReplayCommand({"--replay", PALOMIND_TEST_DATA "/multi_race_noise.journal",
                                "--races", Meeting() + "/races"},
                               replayMessages),
              0)
        << replayMessages.str();
    std::vector<std::string> records;
    for (const auto& entry : std::filesystem::directory_iterator(Meeting() + "/races"))
        records.push_back(entry.path().filename().string());
    std::sort(records.begin(), records.end());
    ASSERT_EQ(records.size(), 2u);
    std::string text = ReadBytes(MeetingFile());
    const std::string noRecords = "\"records\": []";
    // The first heat ran twice, the first run replaced; the second once.
    text.replace(text.find(noRecords), noRecords.size(),
                 "\"records\": [{\"file\": \"" + records[0] +
                     "\", \"replaced\": true, \"accepted\": false}, {\"file\": \"" + records[1] +
                     "\", \"replaced\": false, \"accepted\": false}]");
    testing::WriteBytes(MeetingFile(), text);

    Succeed({"--schedule", "--out", folder_.File("schedule.json")});
    const auto heats = nlohmann::json::parse(ReadBytes(folder_.File("schedule.json"))).at("heats");
    EXPECT_EQ(heats[1].at("state"), "done");
    EXPECT_EQ(heats[2].at("state"), "to-run");
}

// A race as the replay records it: RaceStart at tick 4000; Dee (3) laps
// twice, Eve (4) once, transponder 9, in no heat, three times; Fay (6) and
// Gus (8) never pass.
const std::string kHeatRace =
    "palomind-journal 1\n1000 racetime 60\n1000 startwait 2\n1000 boot\n" +
    std::string("2000 start\n") + testing::RxLine(5000, 3) + testing::RxLine(5500, 9) +
    testing::RxLine(6000, 4) + testing::RxLine(10000, 9) + testing::RxLine(14500, 9) +
    testing::RxLine(15000, 3) + testing::RxLine(17000, 4) + testing::RxLine(19000, 9) +
    testing::RxLine(25000, 3);

std::string Edit(int n, const std::string& operation) {
    return "40000 edit " + std::to_string(n) + " 2026-12-09T12:00:00+09:00 " + operation + "\n";
}

// The meeting above and a class Touring of four, all in heat c2-q1-1, with
// race records made by the replay of journals.
class HeatFilingTest : public MeetingCommandTest {
  protected:
    void SetUp() override {
        SetUpMeeting();
        folder_.Write("touring.csv",
                      "name,class,transponder\nDee,Touring,3\nEve,Touring,4\nFay,Touring,6\n"
                      "Gus,Touring,8\n");
        Succeed({"--import-entries", folder_.File("touring.csv")});
        Succeed({"--draw-heats", "GT", "--round", "1", "--seed", "5"});
        Succeed({"--draw-heats", "Touring", "--round", "1", "--seed", "5"});
    }
    // The record of the journal `name`, with `after` at its end; a journal
    // named as the program names them gives its record a name of its own.
    std::string MadeRecord(const std::string& name, const std::string& journal,
                           const std::string& after = {}) {
        const testing::TemporaryCurrentDirectory working;
        const std::string races = folder_.File("made-" + name);
        folder_.Write(name, journal);
        std::ostringstream messages;
        EXPECT_EQ(RunReplayCommand({"--replay", folder_.File(name), "--races", races}, messages), 0)
            << messages.str();
        std::string record;
        for (const auto& entry : std::filesystem::directory_iterator(races)) record = entry.path();
        testing::WriteBytes(record, ReadBytes(record) + after);
        return record;
    }
    nlohmann::json Results(const std::string& heat) {
        Succeed({"--results", heat, "--out", folder_.File("results.json")});
        return nlohmann::json::parse(ReadBytes(folder_.File("results.json")));
    }
    // The director accepts the heat's last record, a stopped run, as its result.
    void AcceptLast(const std::string& heat) {
        auto meeting = nlohmann::json::parse(ReadBytes(MeetingFile()));
        for (auto& c : meeting.at("classes")) {
            if (c.at("id").get<std::string>() + "-p" == heat)
                c.at("practice_records").back().at("accepted") = true;
        }
        for (auto& round : meeting.at("rounds")) {
            for (auto& h : round.at("heats")) {
                if (h.at("id") == heat) h.at("records").back().at("accepted") = true;
            }
        }
        testing::WriteBytes(MeetingFile(), meeting.dump(4));
    }
    ClassResults Touring() {
        LoadedMeeting loaded = LoadMeeting(Meeting(), files_);
        EXPECT_TRUE(loaded.meeting) << loaded.error;
        std::string error;
        const auto results = ReadClassResults(*loaded.meeting, "c2", Meeting(), files_, error);
        EXPECT_TRUE(results) << error;
        return results.value_or(ClassResults{});
    }
    std::vector<nlohmann::json> FiledRecords(const std::string& heat) {
        const auto meeting = nlohmann::json::parse(ReadBytes(MeetingFile()));
        for (const auto& round : meeting.at("rounds")) {
            for (const auto& h : round.at("heats")) {
                if (h.at("id") == heat) return h.at("records");
            }
        }
        ADD_FAILURE() << heat;
        return {};
    }
};

TEST_F(HeatFilingTest, BadFilingsAndResultsGetOneLineStatusTwoAndChangeNothing) {
    const std::string record = MadeRecord("run.journal", kHeatRace);
    Succeed({"--file-race", "c2-q1-1", "--record", record});
    const std::string ranAsAnother = MadeRecord(
        "palomind-20261209-100000-1.journal",
        std::string(kHeatRace).insert(kHeatRace.find("2000 start"), "1500 heat c1-q1-2\n"));
    const std::string sameName =
        folder_.File("same/") + std::filesystem::path(record).filename().string();
    std::filesystem::create_directories(folder_.File("same"));
    testing::WriteBytes(sameName, ReadBytes(record) + Edit(1, "penalty 3 1 0 x"));
    const std::string name = std::filesystem::path(record).filename().string();
    const std::vector<BadLineCase> cases{
        {{"--file-race", "c9-q1-1", "--record", record},
         "palomind: --file-race: no heat \"c9-q1-1\""},
        {{"--file-race", "c2-q1-1"}, "palomind: --file-race needs --record"},
        {{"--file-race", "c2-q1-1", "--record", ranAsAnother},
         "palomind: --file-race: " + ranAsAnother +
             " was run as heat \"c1-q1-2\", not \"c2-q1-1\""},
        {{"--file-race", "c1-q1-1", "--record", record},
         "palomind: --file-race: " + name + " is filed under heat \"c2-q1-1\" already"},
        {{"--file-race", "c2-q1-1", "--record", sameName},
         "palomind: --file-race: " + Meeting() + "/races/" + name +
             ": another file of that name is there"},
        {{"--results", "c1-q1-1", "--out", folder_.File("r.json")},
         "palomind: --results: heat \"c1-q1-1\" has no race record filed"},
        {{"--results", "c2-q9-1", "--out", folder_.File("r.json")},
         "palomind: --results: no heat \"c2-q9-1\""},
        {{"--results", "c2-q1-1"}, "palomind: --results needs --out"},
        {{"--schedule", "--out", folder_.File("r.json"), "--record", record},
         "palomind: --record needs --file-race"},
        {{"--class", "GT", "--out", folder_.File("r.json")},
         "palomind: --out needs --schedule or --results"},
    };
    ExpectEachRefused(cases);
    EXPECT_FALSE(std::filesystem::exists(folder_.File("r.json")));
    EXPECT_EQ(ReadBytes(Meeting() + "/races/" + name), ReadBytes(record));
}

TEST_F(HeatFilingTest, AFiledHeatsResultPlacesItsEntrantsOnlyAndListsTheRest) {
    const std::string record =
        MadeRecord("run.journal", kHeatRace, Edit(1, "penalty 3 2 0 フライング"));
    Succeed({"--file-race", "c2-q1-1", "--record", record});
    EXPECT_EQ(ReadBytes(Meeting() + "/races/" + std::filesystem::path(record).filename().string()),
              ReadBytes(record));
    const auto result = Results("c2-q1-1");
    EXPECT_EQ(result.at("heat"), "c2-q1-1");
    EXPECT_EQ(result.at("revision"), 1);
    EXPECT_EQ(result.at("not_entered"), nlohmann::json::parse(R"([{"id": 9, "passes": 4}])"));
    // The stranger's three laps and Dee's penalty put Eve first among the heat.
    const struct {
        int id;
        int number;
        const char* name;
        const char* status;
        nlohmann::json place;
        int laps;
    } expected[] = {
        {4, 5, "Eve", "RUN", 1, 1},
        {3, 4, "Dee", "RUN", 2, 0},
        {6, 6, "Fay", "DNS", nullptr, 0},
        {8, 7, "Gus", "DNS", nullptr, 0},
    };
    const auto& entrants = result.at("entrants");
    ASSERT_EQ(entrants.size(), std::size(expected)) << entrants;
    for (std::size_t i = 0; i < entrants.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(entrants[i].at("id"), expected[i].id);
        EXPECT_EQ(entrants[i].at("number"), expected[i].number);
        EXPECT_EQ(entrants[i].at("name"), expected[i].name);
        EXPECT_EQ(entrants[i].at("status"), expected[i].status);
        EXPECT_EQ(entrants[i].at("place"), expected[i].place);
        EXPECT_EQ(entrants[i].at("laps"), expected[i].laps);
    }
    EXPECT_EQ(entrants[1].at("penalty"), nlohmann::json::parse(R"({"laps": 2, "ms": 0})"));
    EXPECT_EQ(entrants[2].at("time_ms"), 0);
}

TEST_F(HeatFilingTest, APracticeSessionFilesIntoItsClassAndListsEveryEntrant) {
    const std::string record = MadeRecord("run.journal", kHeatRace);
    Succeed({"--file-race", "c1-p", "--record", record});
    const auto gt = nlohmann::json::parse(ReadBytes(MeetingFile())).at("classes")[0];
    EXPECT_EQ(gt.at("practice_records").size(), 1u);
    const auto result = Results("c1-p");
    // Ann and Bob share transponder 5: both are listed.
    std::vector<std::pair<std::string, std::string>> entrants;
    for (const auto& e : result.at("entrants")) entrants.emplace_back(e.at("name"), e.at("status"));
    const std::vector<std::pair<std::string, std::string>> expected{
        {"Ann", "DNS"}, {"Bob", "DNS"}, {"Cy", "DNS"}};
    EXPECT_EQ(entrants, expected);
    EXPECT_EQ(result.at("not_entered").size(), 3u);
}

TEST_F(HeatFilingTest, ARecordFiledAgainChangesNothingAndAnotherReplacesIt) {
    const std::string first = MadeRecord("run.journal", kHeatRace);
    Succeed({"--file-race", "c2-q1-1", "--record", first});
    const std::string once = ReadBytes(MeetingFile());
    Succeed({"--file-race", "c2-q1-1", "--record", first});
    EXPECT_EQ(ReadBytes(MeetingFile()), once);

    const std::string rerun = MadeRecord(
        "palomind-20261209-110000-1.journal",
        std::string(kHeatRace).insert(kHeatRace.find("2000 start"), "1500 heat c2-q1-1\n"),
        Edit(1, "dq 4 x"));
    Succeed({"--file-race", "c2-q1-1", "--record", rerun});
    const auto records = FiledRecords("c2-q1-1");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].at("replaced"), true);
    EXPECT_EQ(records[1].at("file"), std::filesystem::path(rerun).filename().string());
    EXPECT_EQ(records[1].at("replaced"), false);
    EXPECT_EQ(Results("c2-q1-1").at("entrants")[1].at("status"), "DQ");
}

struct RoundRow {
    std::string entrant;
    RaceStatus status;
    std::int64_t laps;
    std::int64_t timeMs;
};

TEST_F(HeatFilingTest, ARoundResultIsTheStandingRecordsLatestRevisionWithEveryEntrant) {
    Succeed({"--file-race", "c2-q1-1", "--record", MadeRecord("run.journal", kHeatRace)});
    const std::string rerun = MadeRecord(
        "palomind-20261209-110000-1.journal",
        std::string(kHeatRace).insert(kHeatRace.find("2000 start"), "1500 heat c2-q1-1\n"),
        Edit(1, "dq 4 x") + Edit(2, "penalty 3 1 500 x"));
    Succeed({"--file-race", "c2-q1-1", "--record", rerun});
    AcceptLast("c2-q1-1");
    const ClassResults results = Touring();
    ASSERT_EQ(results.rounds.size(), 1u);
    EXPECT_TRUE(results.rounds[0].Complete());
    // The rerun stands: Eve disqualified, Dee a lap and 0.5 s down; Fay and
    // Gus never passed.
    const std::vector<RoundRow> expected{{"Dee", RaceStatus::Run, 1, 21500},
                                         {"Eve", RaceStatus::DQ, 1, 13000},
                                         {"Fay", RaceStatus::DNS, 0, 0},
                                         {"Gus", RaceStatus::DNS, 0, 0}};
    const RaceResults& rows = results.rounds[0].results;
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].entrant);
        EXPECT_EQ(rows[i].entrant, expected[i].entrant);
        EXPECT_EQ(rows[i].status, expected[i].status);
        EXPECT_EQ(rows[i].laps, expected[i].laps);
        EXPECT_EQ(rows[i].timeMs, expected[i].timeMs);
        EXPECT_FALSE(rows[i].provisional);
    }
    EXPECT_EQ(rows[0].lapMs, (std::vector<std::int64_t>{11000, 10000}));  // as run
    ASSERT_EQ(results.ranking.ranking.size(), 1u);
    EXPECT_EQ(results.ranking.ranking[0].entrant, "Dee");
    EXPECT_EQ(results.ranking.unranked, (std::vector<std::string>{"Eve", "Fay", "Gus"}));
}

TEST_F(HeatFilingTest, AStoppedHeatNotAcceptedGivesItsRoundNoResultYet) {
    Succeed({"--file-race", "c2-q1-1", "--record", MadeRecord("run.journal", kHeatRace)});
    const ClassResults results = Touring();
    ASSERT_EQ(results.rounds.size(), 1u);
    EXPECT_EQ(results.rounds[0].heatsWithoutResult, (std::vector<std::string>{"c2-q1-1"}));
    EXPECT_TRUE(results.rounds[0].results.empty());
    EXPECT_TRUE(results.ranking.ranking.empty());
}

TEST_F(HeatFilingTest, ASeededRoundOneStacksByPracticeAndRunsSlowestFirst) {
    Succeed({"--class", "Touring", "--heat-size", "2"});
    Succeed({"--file-race", "c2-p", "--record", MadeRecord("run.journal", kHeatRace)});
    AcceptLast("c2-p");
    Succeed({"--draw-heats", "Touring", "--round", "1", "--seeded"});
    Succeed({"--schedule", "--out", folder_.File("schedule.json")});
    const auto schedule = nlohmann::json::parse(ReadBytes(folder_.File("schedule.json")));
    std::vector<std::pair<std::string, std::vector<std::string>>> touring;
    for (const auto& heat : schedule.at("heats")) {
        if (heat.at("class") != "Touring" || heat.at("kind") != "qualifying") continue;
        touring.push_back({heat.at("heat"), {}});
        for (const auto& e : heat.at("entrants")) touring.back().second.push_back(e.at("name"));
    }
    // Dee's fastest lap (10 s) beats Eve's (13 s); Fay and Gus never passed.
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected{
        {"c2-q1-2", {"Fay", "Gus"}}, {"c2-q1-1", {"Dee", "Eve"}}};
    EXPECT_EQ(touring, expected);
    EXPECT_EQ(nlohmann::json::parse(ReadBytes(MeetingFile())).at("rounds")[1].at("seeded"), true);
}

TEST_F(HeatFilingTest, SeededDrawRefusalsGetOneLineStatusTwoAndChangeNothing) {
    const std::vector<BadLineCase> cases{
        {{"--draw-heats", "Touring", "--round", "1", "--seeded", "--seed", "3"},
         "palomind: --seeded cannot be used with --seed"},
        {{"--draw-heats", "Touring", "--round", "1", "--seeded"},
         "palomind: --draw-heats: round 1 of class \"Touring\" is seeded by its practice "
         "session, which has no result yet"},
        {{"--draw-heats", "Touring", "--round", "2", "--seeded"},
         "palomind: --draw-heats: round 2 of class \"Touring\" is seeded by the rounds before "
         "it: heat \"c2-q1-1\" has no result yet"},
        {{"--draw-heats", "GT", "--round", "9", "--seeded"},
         "palomind: --draw-heats: round 9: class \"GT\" has 3 qualifying rounds"},
        {{"--class", "GT", "--seeded"}, "palomind: --seeded needs --draw-heats"},
    };
    ExpectEachRefused(cases);
}

}  // namespace
}  // namespace palomind
