// Corrections of a race record: each revision is the engine's own scoring
// of the raw passes with the corrections applied, and a correction that
// does not fit the race it corrects makes the record bad.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "app/lap_review.h"
#include "app/race_revision.h"
#include "app/replay_command.h"
#include "tests/support/entrant_result.h"
#include "tests/support/receiver_frame.h"
#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

// RaceStart is at tick 4000 (the start at 2000, 2 s of countdown). ID 7's
// second pass comes just before an "ＩＤ１" press, which counts on from it;
// ID 70 passes, but is no entrant.
const std::string kRace =
    "palomind-journal 1\n1000 racetime 60\n1000 startwait 2\n"
    "1000 name 5 Taro\n1000 boot\n2000 start\n" +
    RxLine(5000, 5) + RxLine(6000, 7) + RxLine(15000, 5) + RxLine(15500, 7) + "16000 id1\n" +
    RxLine(25000, 5) + RxLine(26500, 70) + RxLine(35000, 5) + RxLine(36000, 7);

constexpr const char* kWhen = "2026-12-09T12:00:00+09:00";

std::string Edit(int n, const std::string& operation) {
    return "40000 edit " + std::to_string(n) + " " + kWhen + " " + operation + "\n";
}

class RaceCorrectionsTest : public ::testing::Test {
  protected:
    // Every file of a test in a folder of its own: tests run side by side.
    TemporaryCurrentDirectory folder_;

    void SetUp() override {
        WriteBytes("run.journal", kRace);
        ASSERT_EQ(Run({"--replay", "run.journal", "--races", "races"}), 0) << err_.str();
        for (const auto& entry : fs::directory_iterator("races")) record_ = ReadBytes(entry.path());
        ASSERT_FALSE(record_.empty());
    }
    int Run(const std::vector<std::string>& args) {
        err_.str({});
        return RunReplayCommand(args, err_);
    }
    // The record written as `name`, with `corrections` after its last line.
    std::string Write(const std::string& name, const std::string& record,
                      const std::string& corrections = {}) {
        WriteBytes(name, record + corrections);
        return name;
    }
    std::string Saved(const std::string& record, const std::vector<std::string>& more = {}) {
        std::vector<std::string> args = {"--replay", record, "--save", "out.rdt"};
        args.insert(args.end(), more.begin(), more.end());
        EXPECT_EQ(Run(args), 0) << err_.str();
        return ReadBytes("out.rdt");
    }
    std::string Passes(const std::string& record) {
        EXPECT_EQ(Run({"--replay", record, "--passes", "passes.csv"}), 0) << err_.str();
        return ReadBytes("passes.csv");
    }
    // The raw record with a line taken out, or one put in after every
    // line of its tick.
    std::string Without(const std::string& line) const {
        std::string text = record_;
        const std::size_t at = text.find(line);
        EXPECT_NE(at, std::string::npos) << line;
        return text.erase(at, line.size());
    }
    static std::string Dropped(std::string text, const std::string& line) {
        return text.erase(text.find(line), line.size());
    }
    // The raw record with the frames of `from` at `ticks` made frames of `to`.
    std::string Renumbered(const std::vector<int>& ticks, std::uint8_t from,
                           std::uint8_t to) const {
        std::string text = record_;
        for (const int tick : ticks) {
            const std::size_t at = text.find(RxLine(tick, from));
            EXPECT_NE(at, std::string::npos) << tick;
            text.replace(at, RxLine(tick, from).size(), RxLine(tick, to));
        }
        return text;
    }
    std::string With(const std::string& line) const {
        const long tick = std::stol(line);
        std::string text = record_;
        std::size_t at = text.find('\n') + 1;  // after the header
        while (at < text.size() && std::stol(text.substr(at)) <= tick) at = text.find('\n', at) + 1;
        return text.insert(at, line);
    }

    std::string record_;
    std::ostringstream err_;
};

TEST_F(RaceCorrectionsTest, EachRevisionIsScoredAsTheRaceItStandsFor) {
    const struct {
        const char* what;
        std::string corrections;
        std::string sameAs;  // the record these corrections make of the race
    } cases[] = {
        {"delete then restore is no correction",
         Edit(1, "delete 5 3 二重") + Edit(2, "restore 5 3"), record_},
        {"a revert of an add is no add", Edit(1, "add 5 26000 見落とし") + Edit(2, "revert 1"),
         record_},
        {"a revert of a revert puts the correction back",
         Edit(1, "delete 5 3 x") + Edit(2, "revert 1") + Edit(3, "revert 2"),
         Without(RxLine(25000, 5))},
        {"a deleted pass is the race without its frame", Edit(1, "delete 5 3 二重"),
         Without(RxLine(25000, 5))},
        {"an add is the race with its frame at its tick", Edit(1, "add 5 26000 見落とし"),
         With(RxLine(30000, 5))},
        {"a dq and its reinstate is no correction", Edit(1, "dq 5 危険") + Edit(2, "reinstate 5"),
         record_},
        {"an assigned transponder's passes are its entrant's", Edit(1, "assign 70 9 借用"),
         Renumbered({26500}, 70, 9)},
        {"every raw pass of the transponder goes", Edit(1, "assign 5 9 借用"),
         Renumbered({5000, 15000, 25000, 35000}, 5, 9)},
        {"a revert of an assign is no assign", Edit(1, "assign 70 9 借用") + Edit(2, "revert 1"),
         record_},
        {"a pass deleted before the assign stays deleted",
         Edit(1, "delete 5 2 二重") + Edit(2, "assign 5 9 借用"),
         Dropped(Renumbered({5000, 25000, 35000}, 5, 9), RxLine(15000, 5))},
        {"a pass deleted after the assign by its own identity",
         Edit(1, "assign 5 9 借用") + Edit(2, "delete 5 2 二重"),
         Dropped(Renumbered({5000, 25000, 35000}, 5, 9), RxLine(15000, 5))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string expected = Saved(Write("same.race", c.sameAs));
        EXPECT_EQ(Saved(Write("corrected.race", record_, c.corrections)), expected);
    }
}

TEST_F(RaceCorrectionsTest, RevisionZeroIsTheRaceAsItRanAndEveryRevisionCanBeRebuilt) {
    const std::string corrected =
        Write("corrected.race", record_,
              Edit(1, "delete 5 3 x") + Edit(2, "add 7 26000 y") + Edit(3, "revert 1"));
    const std::string asRan = Saved(Write("raw.race", record_));
    EXPECT_EQ(Saved(corrected, {"--revision", "0"}), asRan);
    EXPECT_EQ(Saved(corrected, {"--revision", "1"}),
              Saved(Write("one.race", record_, Edit(1, "delete 5 3 x"))));
    EXPECT_EQ(Saved(corrected), Saved(corrected, {"--revision", "3"}));
    EXPECT_EQ(Saved(corrected), Saved(Write("add.race", With(RxLine(30000, 7)))));
}

TEST_F(RaceCorrectionsTest, RawPassesKeepTheIdTheyHadInTheRace) {
    // "ＩＤ１" at 16000 counted on from ID 7's pass before it: deleted, that
    // pass still gave it 8; a manual pass in between gives it no other.
    const std::string csv = Passes(
        Write("corrected.race", record_, Edit(1, "delete 7 2 二重") + Edit(2, "add 9 11800 x")));
    EXPECT_NE(csv.find("\n7,2,receiver,15500,11500,deleted,,,\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n9,+2,manual,15800,11800,start,,,\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n8,1,button,16000,12000,start,,,\n"), std::string::npos) << csv;
    // The deleted pass is no lap: ID 7's next pass completes its first.
    EXPECT_NE(csv.find("\n7,3,receiver,36000,32000,lap,1,32000,\n"), std::string::npos) << csv;
}

TEST_F(RaceCorrectionsTest, ManualPassesComeAfterTheRawPassesOfTheirTickByNumber) {
    // Both at race time 21000, the tick of ID 5's third raw pass.
    const std::string csv = Passes(
        Write("corrected.race", record_, Edit(1, "add 8 21000 x") + Edit(2, "add 7 21000 y")));
    const std::size_t raw = csv.find("\n5,3,receiver,25000,");
    const std::size_t first = csv.find("\n8,+1,manual,25000,21000,");
    const std::size_t second = csv.find("\n7,+2,manual,25000,21000,");
    ASSERT_NE(second, std::string::npos) << csv;
    EXPECT_LT(raw, first) << csv;
    EXPECT_LT(first, second) << csv;
}

// The record's first line names the race and its start; the run's journal
// names the race it shows as its records do.
TEST_F(RaceCorrectionsTest, TheJournalAndItsRecordExportTheRecordsStart) {
    const std::string firstLine = record_.substr(0, record_.find('\n', record_.find('\n') + 1));
    const std::string started = firstLine.substr(firstLine.rfind(' ') + 1);
    ASSERT_EQ(started.rfind("1970-01-01T", 0), 0u) << firstLine;  // "run.journal" has no date
    const struct { const char* replayed; } cases[] = {{"run.journal"}, {"record.race"}};
    Write("record.race", record_);
    for (const auto& c : cases) {
        ASSERT_EQ(Run({"--replay", c.replayed, "--export-csv", "r.csv"}), 0) << err_.str();
        const std::string csv = ReadBytes("r.csv");
        EXPECT_NE(csv.find("\r\n\r\n開始," + started + "\r\n"), std::string::npos)
            << c.replayed << "\n"
            << csv;
    }
}

TEST_F(RaceCorrectionsTest, ADisqualifiedEntrantComesLastSayingSo) {
    const std::string record = Write("dq.race", record_, Edit(1, "dq 5 危険走行"));
    ASSERT_EQ(Run({"--replay", record, "--export-csv", "r.csv", "--result-json", "r.json",
                   "--export-html", "r.html"}),
              0)
        << err_.str();
    const std::string html = ReadBytes("r.html");
    EXPECT_LT(html.find("<td class=\"id\">08</td>"), html.find("<td class=\"id\">05</td>")) << html;
    EXPECT_NE(html.find("失格</td><td class=\"id\">05</td>"), std::string::npos) << html;
    const std::string csv = ReadBytes("r.csv");
    const std::size_t taro = csv.find("失格,5,Taro,");
    ASSERT_NE(taro, std::string::npos) << csv;
    EXPECT_EQ(csv.find("\r\n", taro), csv.find("\r\n\r\n開始,")) << "the last entrant's row";
    EXPECT_NE(csv.find("\r\n1,7,"), std::string::npos) << csv;
    const std::string json = ReadBytes("r.json");
    EXPECT_NE(json.find("\"revision\":1"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"id\":5,\"name\":\"Taro\",\"status\":\"DQ\",\"place\":null,\"laps\":3"),
              std::string::npos)
        << json;
    EXPECT_LT(json.find("\"id\":8"), json.find("\"id\":5")) << json;
}

TEST_F(RaceCorrectionsTest, RefusesACorrectionThatDoesNotFitTheRaceNamingItsLine) {
    const struct {
        const char* what;
        std::string corrections;
        int bad = 0;  // the correction refused; 0: the last
    } cases[] = {
        {"unknown ID for delete", Edit(1, "delete 6 1 x")},
        {"unknown ID for restore", Edit(1, "restore 6 1")},
        {"unknown ID for accept", Edit(1, "accept 6 1")},
        {"unknown ID for dq", Edit(1, "dq 6 x")},
        {"unknown ID for reinstate", Edit(1, "reinstate 6")},
        {"a dq of an ID that is no entrant", Edit(1, "dq 70 x")},
        {"unknown ordinal", Edit(1, "delete 5 5 x")},
        {"unknown manual pass", Edit(1, "delete 5 +1 x")},
        {"a manual pass of another ID", Edit(1, "add 5 100 x") + Edit(2, "delete 7 +1 x")},
        {"a reverted add's pass",
         Edit(1, "add 5 100 x") + Edit(2, "revert 1") + Edit(3, "delete 5 +1 x")},
        {"an add before the start", Edit(1, "add 5 -2001 x")},
        {"an add after the last raw event", Edit(1, "add 5 32001 x")},
        {"a revert of a later correction", Edit(1, "revert 2") + Edit(2, "dq 5 x"), 1},
        {"a revert of itself", Edit(1, "revert 1")},
        {"a revert of a missing correction", Edit(1, "revert 9")},
        {"a revert of a reverted correction",
         Edit(1, "dq 5 x") + Edit(2, "revert 1") + Edit(3, "revert 1")},
        {"a restore of a pass not deleted", Edit(1, "restore 5 2")},
        {"a restore after the delete was reverted",
         Edit(1, "delete 5 2 x") + Edit(2, "revert 1") + Edit(3, "restore 5 2")},
        {"an accept of a lap not flagged", Edit(1, "accept 5 2")},
        {"a reinstate of an entrant not disqualified", Edit(1, "reinstate 5")},
        {"a correction number out of sequence", Edit(1, "dq 5 x") + Edit(3, "dq 7 x")},
        {"a first correction not numbered 1", Edit(2, "dq 5 x")},
        {"an assign of a transponder with no pass", Edit(1, "assign 6 9 x")},
        {"an assign to an entrant with passes of its own", Edit(1, "assign 70 7 x")},
        {"an assign to an entrant given a manual pass",
         Edit(1, "add 9 100 x") + Edit(2, "assign 70 9 x")},
        {"an assign to an entrant given another's passes",
         Edit(1, "assign 70 9 x") + Edit(2, "assign 5 9 x")},
        {"an assign of a transponder given already",
         Edit(1, "assign 70 9 x") + Edit(2, "assign 70 10 x")},
        {"an assign to itself", Edit(1, "assign 70 70 x")},
        {"an assign to an ID the engine never ranks", Edit(1, "assign 70 64 x")},
        {"a penalty of an ID with no pass", Edit(1, "penalty 6 1 0 x")},
        {"a penalty of an ID that is no entrant", Edit(1, "penalty 70 1 0 x")},
        {"a penalty of nothing", Edit(1, "penalty 5 0 0 x")},
        {"a penalty of negative laps", Edit(1, "penalty 5 -1 0 x")},
        {"a penalty of negative time", Edit(1, "penalty 5 0 -1 x")},
    };
    const int badLine = static_cast<int>(std::count(record_.begin(), record_.end(), '\n'));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string record = Write("bad.race", record_, c.corrections);
        const int line =
            badLine +
            (c.bad != 0
                 ? c.bad
                 : static_cast<int>(std::count(c.corrections.begin(), c.corrections.end(), '\n')));
        EXPECT_EQ(Run({"--replay", record, "--save", "bad.rdt", "--passes", "bad.csv"}), 1);
        EXPECT_EQ(err_.str().rfind("bad.race:" + std::to_string(line) + ": edit: ", 0), 0u)
            << err_.str();
        EXPECT_FALSE(fs::exists("bad.rdt"));
        EXPECT_FALSE(fs::exists("bad.csv"));
    }
}

// Short laps are flagged from the minimum lap in force at the start (its
// "minlap" line).
TEST_F(RaceCorrectionsTest, AnAcceptedShortLapStandsAndTheRaceIsNoLongerProvisional) {
    // ID 5's second and third laps, 10 s each, are short under 10.5 s.
    std::string flagged = record_;
    flagged.insert(flagged.find("2000 start\n"), "2000 minlap 10500\n");
    const std::string once = Write("once.race", flagged, Edit(1, "accept 5 3 確認済み"));
    ASSERT_EQ(Run({"--replay", once, "--result-json", "once.json"}), 0) << err_.str();
    std::string json = ReadBytes("once.json");
    EXPECT_NE(json.find("\"short_laps\":[3]"), std::string::npos) << json;
    EXPECT_NE(json.find("\"provisional\":true"), std::string::npos) << json;
    const std::string twice = Write(
        "twice.race", flagged, Edit(1, "accept 5 3 確認済み") + Edit(2, "accept 5 4 確認済み"));
    ASSERT_EQ(Run({"--replay", twice, "--result-json", "twice.json"}), 0) << err_.str();
    json = ReadBytes("twice.json");
    EXPECT_EQ(json.find("\"short_laps\":[3]"), std::string::npos) << json;
    EXPECT_NE(json.find("\"provisional\":false"), std::string::npos) << json;
}

TEST_F(RaceCorrectionsTest, ARevisionIsAskedOfARecordThatHasIt) {
    const std::string record = Write("one.race", record_, Edit(1, "dq 5 x"));
    const std::vector<std::vector<std::string>> refused = {
        {"--replay", record, "--revision", "2", "--save", "r.rdt"},
        {"--replay", record, "--revision", "-1", "--save", "r.rdt"},
        {"--replay", "run.journal", "--revision", "0", "--save", "r.rdt"},
    };
    for (const auto& args : refused) {
        SCOPED_TRACE(args[1] + " " + args[3]);
        EXPECT_EQ(Run(args), 2);
        const std::string message = err_.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_FALSE(fs::exists("r.rdt"));
    }
}

TEST(CorrectedResult, TakesAcceptedShortLapsOutAndPlacesTheDisqualifiedLast) {
    const auto entrant = [](int id, std::optional<int> place, std::vector<int> shortLaps = {}) {
        EntrantResult e;
        e.id = id;
        e.place = place;
        e.shortLaps = std::move(shortLaps);
        return e;
    };
    const auto endingLap = [](PassIdentity identity, int lap) {
        RacePass pass;
        pass.identity = identity;
        pass.lap = lap;
        return pass;
    };
    const auto edits = [](std::set<int> disqualified, std::set<PassIdentity> accepted) {
        RevisionEdits e;
        e.disqualified = std::move(disqualified);
        e.accepted = std::move(accepted);
        return e;
    };
    const ExactResult ran{.entrants = {entrant(3, 1), entrant(5, 2, {2, 4}), entrant(9, 3),
                                       entrant(64, std::nullopt)}};
    const std::vector<RacePass> passes = {endingLap({.id = 5, .ordinal = 3}, 2),
                                          endingLap({.id = 5, .manual = 2}, 4)};
    const struct {
        const char* what;
        RevisionEdits edits;
        std::vector<std::pair<int, std::optional<int>>> order;  // id, place
        std::vector<int> shortLapsOf5;
    } cases[] = {
        {"no correction", edits({}, {}), {{3, 1}, {5, 2}, {9, 3}, {64, {}}}, {2, 4}},
        {"the leader disqualified", edits({3}, {}), {{5, 1}, {9, 2}, {64, {}}, {3, {}}}, {2, 4}},
        {"two disqualified keep their order",
         edits({9, 3}, {}),
         {{5, 1}, {64, {}}, {3, {}}, {9, {}}},
         {2, 4}},
        {"an accepted lap ending at a raw pass",
         edits({}, {{.id = 5, .ordinal = 3}}),
         {{3, 1}, {5, 2}, {9, 3}, {64, {}}},
         {4}},
        {"an accepted lap ending at a manual pass",
         edits({}, {{.id = 5, .manual = 2}}),
         {{3, 1}, {5, 2}, {9, 3}, {64, {}}},
         {2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ExactResult corrected = CorrectedResult(ran, c.edits, passes);
        std::vector<std::pair<int, std::optional<int>>> order;
        for (const EntrantResult& e : corrected.entrants) {
            order.emplace_back(e.id, e.place);
            EXPECT_EQ(e.status == EntrantStatus::Dq, c.edits.disqualified.contains(e.id)) << e.id;
            if (e.id == 5) {
                EXPECT_EQ(e.shortLaps, c.shortLapsOf5);
            }
        }
        EXPECT_EQ(order, c.order);
    }
}

// The window's view of a revision: the same as the command line's.
TEST_F(RaceCorrectionsTest, ScoringARevisionGivesItsPassesAndItsResult) {
    const JournalParseResult parsed =
        ParseJournal(record_ + Edit(1, "delete 5 3 x") + Edit(2, "dq 7 y"));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const RaceRecord record = SplitRaceRecord(parsed.events, parsed.lines);
    ASSERT_TRUE(CheckRaceRecord(record).ok);
    const Revision asRan = ScoreRevision(record, 0);
    const Revision latest = ScoreRevision(record, 2);
    EXPECT_EQ(latest.number, 2);
    EXPECT_EQ(asRan.result.entrants.front().laps, 3);
    ASSERT_EQ(latest.result.entrants.size(), 3u);
    EXPECT_EQ(latest.result.entrants[0].id, 5);
    EXPECT_EQ(latest.result.entrants[0].laps, 2);
    EXPECT_EQ(latest.result.entrants[2].id, 7);
    EXPECT_EQ(latest.result.entrants[2].status, EntrantStatus::Dq);
    EXPECT_EQ(latest.passes.size(), asRan.passes.size());
    EXPECT_EQ(latest.state.RaceStart, 4);
}

TEST(CorrectedResult, APenaltyTakesLapsOffAddsTimeAndPlacesTheFieldAgain) {
    const auto entrant = EntrantWith;
    // 3 and 5 tie on laps and time: the engine placed the lower ID first.
    const ExactResult ran{.entrants = {entrant(3, 1, 10, 300000), entrant(5, 2, 10, 300000),
                                       entrant(9, 3, 9, 290000), entrant(64, std::nullopt, 12, 1)}};
    const auto penalised = [](std::map<int, RevisionEdits::Penalty> penalties,
                              std::set<int> disqualified = {}) {
        RevisionEdits e;
        e.penalties = std::move(penalties);
        e.disqualified = std::move(disqualified);
        return e;
    };
    const struct {
        const char* what;
        RevisionEdits edits;
        std::vector<std::tuple<int, std::optional<int>, int, std::int64_t>> order;
    } cases[] = {
        {"time added behind its equal on laps",
         penalised({{3, {.laps = 0, .ms = 1}}}),
         {{5, 1, 10, 300000}, {3, 2, 10, 300001}, {9, 3, 9, 290000}, {64, {}, 12, 1}}},
        {"a lap off below the next on laps",
         penalised({{3, {.laps = 2, .ms = 0}}}),
         {{5, 1, 10, 300000}, {9, 2, 9, 290000}, {3, 3, 8, 300000}, {64, {}, 12, 1}}},
        {"laps never below 0",
         penalised({{9, {.laps = 20, .ms = 0}}}),
         {{3, 1, 10, 300000}, {5, 2, 10, 300000}, {9, 3, 0, 290000}, {64, {}, 12, 1}}},
        {"equals left equal keep the engine's order",
         penalised({{3, {.laps = 1, .ms = 0}}, {5, {.laps = 1, .ms = 0}}}),
         {{9, 1, 9, 290000}, {3, 2, 9, 300000}, {5, 3, 9, 300000}, {64, {}, 12, 1}}},
        {"an unranked ID stays last",
         penalised({{64, {.laps = 12, .ms = 0}}}),
         {{3, 1, 10, 300000}, {5, 2, 10, 300000}, {9, 3, 9, 290000}, {64, {}, 0, 1}}},
        {"a disqualified entrant still after all",
         penalised({{9, {.laps = 0, .ms = 5}}}, {3}),
         {{5, 1, 10, 300000}, {9, 2, 9, 290005}, {64, {}, 12, 1}, {3, {}, 10, 300000}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ExactResult corrected = CorrectedResult(ran, c.edits, {});
        std::vector<std::tuple<int, std::optional<int>, int, std::int64_t>> order;
        for (const EntrantResult& e : corrected.entrants)
            order.emplace_back(e.id, e.place, e.laps, e.timeMs);
        EXPECT_EQ(order, c.order);
    }
}

TEST_F(RaceCorrectionsTest, APenalisedResultSaysSoAndIsInTheAuditList) {
    const std::string record = Write("p.race", record_, Edit(1, "penalty 5 2 0 フライング"));
    ASSERT_EQ(Run({"--replay", record, "--result-json", "p.json"}), 0) << err_.str();
    const std::string json = ReadBytes("p.json");
    EXPECT_NE(json.find("{\"id\":7,\"name\":\"未登録\",\"status\":\"RUN\",\"place\":1,\"laps\":2"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"place\":2,\"laps\":1,\"time_ms\":31000"), std::string::npos) << json;
    EXPECT_NE(json.find("\"penalty\":{\"laps\":2,\"ms\":0}"), std::string::npos) << json;
    EXPECT_EQ(json.find("\"penalty\""), json.rfind("\"penalty\"")) << "ID 5's only";
    const std::vector<std::string> audit = AuditOfRecordText(ReadBytes(record));
    ASSERT_EQ(audit.size(), 1u);
    EXPECT_NE(audit[0].find("penalty 5 2 0 フライング  ID5: 3周 31000ms 1位 → 1周 31000ms 2位"),
              std::string::npos)
        << audit[0];
}

TEST_F(RaceCorrectionsTest, AnAssignIsListedForTheEntrantThePassesGoTo) {
    const std::vector<std::string> audit =
        AuditOfRecordText(record_ + Edit(1, "assign 70 9 借用") + Edit(2, "revert 1"));
    ASSERT_EQ(audit.size(), 2u);
    EXPECT_NE(audit[0].find("assign 70 9 借用  ID9: - → 0周 22500ms 4位"), std::string::npos)
        << audit[0];
    EXPECT_NE(audit[1].find("ID9: 0周 22500ms 4位 → -"), std::string::npos) << audit[1];
}

TEST_F(RaceCorrectionsTest, PassesOfTranspondersNotEnteredAreCountedByTransponder) {
    const auto revision = [&](const std::string& corrections) {
        const JournalParseResult parsed = ParseJournal(record_ + corrections);
        EXPECT_TRUE(parsed.ok) << parsed.error;
        const RaceRecord record = SplitRaceRecord(parsed.events, parsed.lines);
        EXPECT_TRUE(CheckRaceRecord(record).ok);
        return ScoreRevision(record, static_cast<int>(record.corrections.size()));
    };
    const std::set<int> heat = {5, 7, 8, 9};
    const struct {
        const char* what;
        std::string corrections;
        std::set<int> entrants;
        std::vector<TransponderPasses> notEntered;
    } cases[] = {
        {"a stranger's ignored pass counts", "", heat, {{.id = 70, .passes = 1, .scoredAs = 70}}},
        {"deleted passes count, manual ones do not",
         Edit(1, "delete 5 2 x") + Edit(2, "add 5 26000 y"),
         {7, 8},
         {{.id = 5, .passes = 4, .scoredAs = 5}, {.id = 70, .passes = 1, .scoredAs = 70}}},
        {"a transponder assigned to an entrant is entered", Edit(1, "assign 70 9 x"), heat, {}},
        {"one assigned to another stranger is not",
         Edit(1, "assign 70 10 x"),
         heat,
         {{.id = 70, .passes = 1, .scoredAs = 10}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NotEntered(revision(c.corrections), c.entrants), c.notEntered);
    }
    EXPECT_EQ(RawPassesByTransponder(revision("")).size(), 4u);  // 5, 7, 8 and 70
}

}  // namespace
}  // namespace palomind::testing
