// Race records: every race of a journal cut into a record of its own that
// replays alone to that race's result, the passes of a record with their
// identities, and its exact result as JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <sstream>

#include "app/replay_command.h"
#include "record/race_start_time.h"
#include "tests/support/receiver_frame.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

class RaceRecordTest : public ::testing::Test {
  protected:
    int Run(std::vector<std::string> args) {
        err_.str({});
        return RunReplayCommand(args, err_);
    }
    std::vector<fs::path> Records(const std::string& folder) const {
        std::vector<fs::path> records;
        for (const auto& entry : fs::directory_iterator(folder)) records.push_back(entry.path());
        std::sort(records.begin(), records.end());
        return records;
    }

    TemporaryCurrentDirectory directory_;
    std::ostringstream err_;
};

// A run's journal as the program would write it without its clock lines,
// with the lines where each race's record must end.
class GeneratedRun {
  public:
    explicit GeneratedRun(unsigned seed) : random_(seed) {}

    void Line(const std::string& event) { lines_.push_back(std::to_string(tick_) + " " + event); }
    void Wait(int ms) { tick_ += ms; }
    // On to `ms` past the next whole second of the run.
    void WaitPastASecond(int ms) { tick_ += 1000 - (tick_ - kFirstTick) % 1000 + ms; }
    void Rx(const std::vector<std::uint8_t>& bytes) {
        std::string line = "rx";
        for (const std::uint8_t b : bytes) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", b);
            line += hex;
        }
        Line(line);
    }
    // A record ends where something else starts.
    void EndsARace() { ends_.push_back(lines_.size()); }

    // Passes of the IDs given (now and then one the engine ignores), test
    // buttons and noise, some frames split over two blocks.
    void Racing(int steps, const std::vector<std::uint8_t>& ids) {
        for (int step = 0; step < steps; ++step) {
            Wait(Between(150, 900));
            const int what = Between(0, 19);
            if (what < 14) {
                const std::uint8_t id = what == 0 ? std::uint8_t{70} : ids[Pick(ids.size())];
                std::vector<std::uint8_t> bytes = Frame(id, Byte(), Byte());
                if (bytes.back() == 0xFE) bytes.back() = 0x01;  // a broken frame, as noise
                if (what % 3 == 0) {
                    const auto cut = static_cast<std::ptrdiff_t>(Between(1, 6));
                    Rx({bytes.begin(), bytes.begin() + cut});
                    Wait(1);
                    Rx({bytes.begin() + cut, bytes.end()});
                } else {
                    Rx(bytes);
                }
            } else if (what < 17) {
                Line("id" + std::to_string(what - 13));
            } else {
                Rx({Byte(), 0xFE, Byte()});
            }
        }
    }

    std::string Text() const {
        std::string text = "palomind-journal 1\n";
        for (const std::string& line : lines_) text += line + "\n";
        return text;
    }
    // The journal up to (not with) line `end`.
    std::string TextBefore(std::size_t end) const {
        std::string text = "palomind-journal 1\n";
        for (std::size_t i = 0; i < end; ++i) text += lines_[i] + "\n";
        return text;
    }
    std::string TickOf(std::size_t line) const {
        return lines_[line].substr(0, lines_[line].find(' '));
    }
    const std::vector<std::size_t>& Ends() const { return ends_; }
    std::size_t Size() const { return lines_.size(); }

  private:
    int Between(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }
    std::size_t Pick(std::size_t n) { return static_cast<std::size_t>(Between(0, int(n) - 1)); }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Between(0, 0xFD)); }

    std::mt19937 random_;
    std::vector<std::string> lines_;
    std::vector<std::size_t> ends_;
    static constexpr std::int32_t kFirstTick = 100'000;
    std::int32_t tick_ = kFirstTick;
};

// Four races: the first long enough to grow the lap history, ended by a
// start while a frame is half received; the second stopped, then test
// passes, ended by an opened file; a roster edit, then two starts within one
// second.
GeneratedRun FourRaces(unsigned seed) {
    GeneratedRun run(seed);
    run.Line("racetime 12");
    run.Line("startwait 3");
    run.Line("name 3 Taro");
    run.Line("comment 雨\\r\\n路面ウェット");
    run.Line("boot 3f0c-9a");
    run.Wait(700);
    run.Line("start");
    run.Racing(90, {3, 5});
    run.Rx({0xFE, 0xFE, 0xFE, 0x05, 0x10});
    run.Wait(300);
    run.EndsARace();
    run.Line("start");
    run.Rx({0x20, 0x35});
    run.Racing(30, {5, 7, 9, 64});
    run.Line("stop");
    run.Line("id1");
    run.Line("comment after the race");
    run.Wait(2000);
    run.EndsARace();
    run.Line("open 22 78 22 0d 0a 30 0d 0a 30 0d 0a");
    run.Line("name 5 Hanako");
    run.Line("id2");
    run.Line("racetime 8");
    run.WaitPastASecond(100);
    run.EndsARace();
    run.Line("start");
    run.Wait(200);
    run.EndsARace();
    run.Line("start");
    run.Racing(40, {3, 5, 12});
    run.EndsARace();
    return run;
}

TEST_F(RaceRecordTest, EveryRacesRecordReplaysToTheResultOfThatRacesEndInTheWholeJournal) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        const GeneratedRun run = FourRaces(seed);
        WriteBytes("run.journal", run.Text());
        const std::string folder = "races" + std::to_string(seed);
        ASSERT_EQ(Run({"--replay", "run.journal", "--races", folder}), 0) << err_.str();
        const std::vector<fs::path> records = Records(folder);
        // The opened file's end is no race's: four starts, four records.
        ASSERT_EQ(records.size(), 4u);
        const std::size_t ends[] = {run.Ends()[0], run.Ends()[1], run.Ends()[3], run.Size()};
        for (std::size_t race = 0; race < records.size(); ++race) {
            SCOPED_TRACE(records[race].string());
            std::vector<std::string> whole = {"--replay", "prefix.journal", "--save", "whole.rdt"};
            if (ends[race] < run.Size()) {
                whole.insert(whole.end(), {"--until", run.TickOf(ends[race])});
            }
            WriteBytes("prefix.journal", run.TextBefore(ends[race]));
            ASSERT_EQ(Run(whole), 0) << err_.str();
            ASSERT_EQ(Run({"--replay", records[race].string(), "--save", "record.rdt"}), 0)
                << err_.str();
            EXPECT_EQ(ReadBytes("record.rdt"), ReadBytes("whole.rdt"));
        }
        // The unknown run start gives 1970, and two starts in one second are
        // numbered.
        EXPECT_EQ(records[2].filename().string().substr(0, 9), "19700101-");
        EXPECT_EQ(records[3].filename().string().substr(records[3].filename().string().size() - 7),
                  "-2.race");
    }
}

TEST_F(RaceRecordTest, RecordsThatExistAreLeftAsTheyAre) {
    WriteBytes("run.journal", FourRaces(1).Text());
    ASSERT_EQ(Run({"--replay", "run.journal", "--races", "races"}), 0) << err_.str();
    const std::vector<fs::path> records = Records("races");
    ASSERT_EQ(records.size(), 4u);
    WriteBytes(records[1], "kept");
    fs::remove(records[2]);
    ASSERT_EQ(Run({"--replay", "run.journal", "--races", "races"}), 0) << err_.str();
    EXPECT_EQ(Records("races"), records);
    EXPECT_EQ(ReadBytes(records[1]), "kept");
}

TEST_F(RaceRecordTest, TheRunsStartComesFromTheJournalsName) {
    WriteBytes("palomind-20261209-114551-77.journal",
               "palomind-journal 1\n5000 boot\n8500 start\n");
    ASSERT_EQ(Run({"--replay", "palomind-20261209-114551-77.journal", "--races", "r"}), 0);
    const std::vector<fs::path> records = Records("r");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].filename(), "20261209-114554-1.race");
    EXPECT_NE(ReadBytes(records[0]).find(" race 20261209-114554-1 2026-12-09T11:45:54"),
              std::string::npos);
}

// One race with passes of every kind: in the countdown, after the race time,
// of an ID the engine ignores and of one it never ranks.
constexpr const char* kEveryKindOfPass =
    "palomind-journal 1\n"
    "1000 racetime 60\n"
    "1000 startwait 2\n"
    "1000 name 5 Taro\n"
    "1000 boot\n"
    "2000 start\n"
    "2500 id2\n"
    "4200 rx fe fe fe 05 10 20 35\n"
    "5000 id2\n"
    "9000 rx fe fe fe 00 01 02 03\n"
    "10000 rx fe fe fe 40 00 00 40\n"
    "11000 rx fe fe fe 09 00 00 09\n"
    "65000 id2\n"
    "66000 id2\n"
    "67000 rx fe fe fe 05 10 20 35\n"
    "68000 id3\n"
    "69000 id1\n";

// The record of a journal of one race, written into "races".
class OneRaceRecordTest : public RaceRecordTest {
  protected:
    void RecordOf(const char* journal) {
        WriteBytes("run.journal", journal);
        ASSERT_EQ(Run({"--replay", "run.journal", "--races", "races"}), 0) << err_.str();
        const std::vector<fs::path> records = Records("races");
        ASSERT_EQ(records.size(), 1u);
        record_ = records[0].string();
    }
    std::string record_;
};

class RaceRecordOfEveryKindOfPass : public OneRaceRecordTest {
  protected:
    void SetUp() override { RecordOf(kEveryKindOfPass); }
};

TEST_F(RaceRecordOfEveryKindOfPass, ListsEveryPassWithItsIdentityAndWhatItBecame) {
    ASSERT_EQ(Run({"--replay", record_, "--passes", "passes.csv"}), 0) << err_.str();
    EXPECT_EQ(ReadBytes("passes.csv"),
              "id,ordinal,source,tick,race_ms,became,lap,lap_ms,flag\n"
              "2,1,button,2500,-1500,start,,,\n"
              "5,1,receiver,4200,200,start,,,\n"
              "2,2,button,5000,1000,lap,1,1000,\n"
              "0,1,receiver,9000,5000,ignored,,,\n"
              "64,1,receiver,10000,6000,start,,,\n"
              "9,1,receiver,11000,7000,start,,,\n"
              "2,3,button,65000,61000,finish,2,60000,\n"
              "2,4,button,66000,62000,after-finish,,,\n"
              "5,2,receiver,67000,63000,finish,1,63000,\n"
              "3,1,button,68000,64000,after-finish,,,\n"
              "4,1,button,69000,65000,after-finish,,,\n");
}

TEST_F(RaceRecordOfEveryKindOfPass, GivesItsExactResultAsJson) {
    ASSERT_EQ(Run({"--replay", record_, "--result-json", "result.json"}), 0) << err_.str();
    const std::string unregistered = "未登録";
    EXPECT_EQ(ReadBytes("result.json"),
              "{\"race\":\"19700101-000001-1\",\"started\":\"1970-01-01T00:00:01+00:00\","
              "\"revision\":0,\"provisional\":false,\"race_time_s\":60,\"entrants\":["
              "{\"id\":2,\"name\":\"" +
                  unregistered +
                  "\",\"status\":\"RUN\",\"place\":1,"
                  "\"laps\":2,\"time_ms\":61000,\"best_ms\":1000,\"lap_ms\":[1000,60000],"
                  "\"short_laps\":[]},"
                  "{\"id\":5,\"name\":\"Taro\",\"status\":\"RUN\",\"place\":2,\"laps\":1,"
                  "\"time_ms\":63000,\"best_ms\":63000,\"lap_ms\":[63000],\"short_laps\":[]},"
                  "{\"id\":9,\"name\":\"" +
                  unregistered +
                  "\",\"status\":\"START\",\"place\":3,"
                  "\"laps\":0,\"time_ms\":7000,\"best_ms\":null,\"lap_ms\":[],\"short_laps\":[]},"
                  "{\"id\":64,\"name\":\"" +
                  unregistered +
                  "\",\"status\":\"START\","
                  "\"place\":null,\"laps\":0,\"time_ms\":6000,\"best_ms\":null,\"lap_ms\":[],"
                  "\"short_laps\":[]}]}\n");
}

TEST_F(RaceRecordOfEveryKindOfPass, OptionsForARecordRefuseAJournalAndTheOtherWayRound) {
    const std::vector<std::vector<std::string>> refused = {
        {"--replay", "run.journal", "--passes", "p.csv"},
        {"--replay", "run.journal", "--result-json", "r.json"},
        {"--replay", record_, "--races", "again"},
    };
    for (const auto& args : refused) {
        SCOPED_TRACE(args[2]);
        EXPECT_EQ(Run(args), 2);
        const std::string message = err_.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    }
    EXPECT_FALSE(fs::exists("p.csv"));
    EXPECT_FALSE(fs::exists("r.json"));
    EXPECT_FALSE(fs::exists("again"));
}

// A race whose minimum lap is 5 s: ID 2's second lap is 0.5 s. The minimum is
// raised after the start, which flags nothing of this race.
constexpr const char* kShortLapRace =
    "palomind-journal 1\n"
    "1000 racetime 60\n"
    "1000 startwait 2\n"
    "1000 ttsmode 1\n"
    "1000 minlap 5000\n"
    "1000 boot\n"
    "2000 start\n"
    "4000 minlap 600000\n"
    "5000 id2\n"
    "15000 id2\n"
    "15500 id2\n"
    "25500 id2\n";

class ShortLapRecordTest : public OneRaceRecordTest {
  protected:
    void SetUp() override { RecordOf(kShortLapRace); }
};

TEST_F(ShortLapRecordTest, TheRecordHoldsTheMinimumInForceAtTheStartAndItsChanges) {
    const std::string text = ReadBytes(record_);
    EXPECT_NE(text.find("\n2000 ttsmode 1\n2000 minlap 5000\n2000 name 1 "), std::string::npos)
        << text.substr(0, 200);
    EXPECT_NE(text.find("\n4000 minlap 600000\n"), std::string::npos);
}

TEST_F(ShortLapRecordTest, PassesAndResultFlagTheShortLapAndTheRaceIsProvisional) {
    ASSERT_EQ(Run({"--replay", record_, "--passes", "passes.csv", "--result-json", "r.json"}), 0)
        << err_.str();
    EXPECT_EQ(ReadBytes("passes.csv"),
              "id,ordinal,source,tick,race_ms,became,lap,lap_ms,flag\n"
              "2,1,button,5000,1000,start,,,\n"
              "2,2,button,15000,11000,lap,1,11000,\n"
              "2,3,button,15500,11500,lap,2,500,short\n"
              "2,4,button,25500,21500,lap,3,10000,\n");
    const std::string json = ReadBytes("r.json");
    EXPECT_NE(json.find("\"provisional\":true"), std::string::npos) << json;
    EXPECT_NE(json.find("\"short_laps\":[2]"), std::string::npos) << json;
}

TEST_F(ShortLapRecordTest, TheVoiceCallsTheShortLapToBeCheckedAndNeverSaysItsTime) {
    ASSERT_EQ(Run({"--replay", record_, "--trace", "trace.txt"}), 0) << err_.str();
    const std::string trace = ReadBytes("trace.txt");
    EXPECT_NE(trace.find("15000 speak にばん、11てん00\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("15500 speak にばん、かくにん\n"), std::string::npos) << trace;
    EXPECT_EQ(trace.find("2しゅう"), std::string::npos) << trace;
    EXPECT_EQ(trace.find("0てん50"), std::string::npos) << trace;
}

TEST_F(OneRaceRecordTest, ARecordOrJournalWithoutAMinimumLapFlagsNothing) {
    RecordOf("palomind-journal 1\n1000 startwait 2\n1000 boot\n2000 start\n5000 id2\n5100 id2\n");
    std::string text = ReadBytes(record_);
    EXPECT_NE(text.find(" minlap 0\n"), std::string::npos);
    // A record written before the minimum existed: its line taken out.
    const std::size_t line = text.find("2000 minlap 0\n");
    ASSERT_NE(line, std::string::npos);
    text.erase(line, std::string("2000 minlap 0\n").size());
    WriteBytes("older.race", text);
    ASSERT_EQ(Run({"--replay", "older.race", "--passes", "p.csv"}), 0) << err_.str();
    EXPECT_EQ(ReadBytes("p.csv").find("short"), std::string::npos);
}

// The journal's name is local time; the record's time says its offset, and
// the zone's rules (POSIX strings, so no zone files are needed) decide it.
TEST(RaceStartTime, IsTheRunsLocalStartPlusTheTicksWithTheZonesOffset) {
    const struct {
        const char* zone;
        std::string journal;
        std::int64_t sinceRunStartMs;
        std::string stem;
        std::string wallClock;
    } cases[] = {
        {"JST-9", "palomind-20261209-114551-7.journal", 2500, "20261209-114553",
         "2026-12-09T11:45:53+09:00"},
        {"NST+3:30", "palomind-20261209-114551-7.running.journal", 2500, "20261209-114553",
         "2026-12-09T11:45:53-03:30"},
        {"JST-9", "palomind-20261231-235959-7.journal", 1000, "20270101-000000",
         "2027-01-01T00:00:00+09:00"},
        {"JST-9", "run.journal", -1500, "19691231-235958", "1969-12-31T23:59:58+00:00"},
        {"JST-9", "palomind-2026x209-114551-7.journal", 0, "19700101-000000",
         "1970-01-01T00:00:00+00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.journal);
        {
            const ScopedEnvironmentVariable zone("TZ", c.zone);
            tzset();
            const RaceStartTime start =
                RaceStartAt(RunStartFromJournalName(c.journal), c.sinceRunStartMs);
            EXPECT_EQ(start.stem, c.stem);
            EXPECT_EQ(start.wallClock, c.wallClock);
        }
        tzset();
    }
}

}  // namespace
}  // namespace palomind::testing
