#include "app/crash_recovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/replay_command.h"
#include "documents/result_file.h"
#include "documents/settings_file.h"
#include "tests/support/test_folders.h"

namespace palomind {
namespace {

namespace fs = std::filesystem;

// A journal as the running program writes it: the settings and the start-up
// reset, a race started, a clock line each second and passes of four IDs,
// some frames split across two receive blocks.
std::string RaceJournal() {
    std::ostringstream text;
    text << "palomind-journal 1\n1000 racetime 20\n1000 startwait 2\n1000 ttsmode 0\n1000 "
            "boot\n2000 start\n";
    for (int second = 3; second <= 30; ++second) {
        const int tick = second * 1000 - 500;
        text << tick << " clock\n";
        if (second >= 5 && second % 3 != 0) {
            const int id = second % 4 + 1;
            text << tick + 120 << " rx fe fe fe 0" << id << " 10 20 3" << id << "\n";
        }
        if (second % 3 == 0)
            text << tick + 300 << " rx fe fe fe 0" << second % 4 + 1 << " 10\n"
                 << tick + 301 << " rx 20 3" << second % 4 + 1 << "\n";
    }
    return text.str();
}

std::vector<JournalEvent> Events(const std::string& text) {
    const JournalParseResult parsed = ParseJournal(text);
    EXPECT_TRUE(parsed.ok) << parsed.errorLine << ": " << parsed.error;
    return parsed.events;
}

bool SameEvents(const std::vector<JournalEvent>& a, const std::vector<JournalEvent>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const JournalEvent& x, const JournalEvent& y) {
            return x.tick == y.tick && x.kind == y.kind && x.value == y.value && x.bytes == y.bytes;
        });
}

class CrashRecoveryFolderTest : public ::testing::Test {
  protected:
    fs::path Journal(const std::string& name, const std::string& text) const {
        folder_.Write(name, text);
        return folder_.Path() / name;
    }
    std::optional<CrashedRun> Find(
        const std::string& own = "palomind-20240601-120000-9.running.journal") {
        return FindCrashedRun(folder_.Path(), folder_.Path() / own, files_,
                              [this](long pid) { return pid == livePid_; });
    }

    testing::ScratchFolder folder_;
    DiskFileStore files_;
    long livePid_ = -1;
};

TEST_F(CrashRecoveryFolderTest, OffersTheNewestRunWhenItEndedWithoutShuttingDown) {
    Journal("palomind-20240501-090000-100.journal", RaceJournal() + "# shutdown\n");
    const fs::path crashed = Journal("palomind-20240501-100000-200.running.journal", RaceJournal());
    Journal("palomind-20240601-120000-9.running.journal",
            "palomind-journal 1\n");  // this run's own
    const auto run = Find();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->journal, crashed);
    EXPECT_TRUE(run->problem.empty());
    EXPECT_TRUE(SameEvents(run->events, Events(RaceJournal())));
}

TEST_F(CrashRecoveryFolderTest, OffersNothingWhenTheLastRunShutDownCleanly) {
    Journal("palomind-20240501-090000-100.running.journal", RaceJournal());
    Journal("palomind-20240501-100000-200.journal", RaceJournal() + "# shutdown\n");
    EXPECT_FALSE(Find());
}

TEST_F(CrashRecoveryFolderTest, OffersNothingFromARunThatIsStillGoingOrHeldNoRace) {
    Journal("palomind-20240501-100000-200.running.journal", RaceJournal());
    livePid_ = 200;  // a second instance, alive
    EXPECT_FALSE(Find());

    livePid_ = -1;
    Journal("palomind-20240501-110000-300.running.journal",
            "palomind-journal 1\n5 boot\n9 racetime 30\n");
    EXPECT_FALSE(Find());
}

TEST_F(CrashRecoveryFolderTest, AnsweredJournalIsSettledUnderItsNewNameAndNeverOfferedAgain) {
    struct Answer {
        bool restored;
        const char* settledName;
    };
    for (const Answer& answer : {Answer{true, "palomind-20240501-100000-200.restored.journal"},
                                 Answer{false, "palomind-20240501-100000-200.declined.journal"}}) {
        SCOPED_TRACE(answer.settledName);
        const fs::path crashed =
            Journal("palomind-20240501-100000-200.running.journal", RaceJournal());
        ASSERT_TRUE(Find());
        ASSERT_TRUE(SettleCrashedRun(crashed, answer.restored));
        EXPECT_FALSE(fs::exists(crashed));
        EXPECT_TRUE(fs::exists(folder_.Path() / answer.settledName));
        EXPECT_FALSE(Find());
        fs::remove(folder_.Path() / answer.settledName);
    }
}

TEST_F(CrashRecoveryFolderTest, OnlyARunningJournalIsSettled) {
    for (const char* name : {"palomind-20240501-100000-200.journal",
                             "palomind-20240501-100000-200.declined.journal", "notes.journal"}) {
        EXPECT_FALSE(SettleCrashedRun(Journal(name, RaceJournal()), true)) << name;
        EXPECT_TRUE(fs::exists(folder_.Path() / name)) << name;
    }
}

TEST_F(CrashRecoveryFolderTest, SettledJournalIsPrunableOnlyOnceEachOfItsRacesHasItsRecord) {
    // The run started at 10:00:00 local time; its races 1 s and 30 s after the boot.
    const fs::path twoRaces = Journal("palomind-20240501-100000-200.declined.journal",
                                      RaceJournal() + "31000 start\n31500 clock\n");
    const fs::path noRace =
        Journal("palomind-20240501-110000-300.restored.journal", "palomind-journal 1\n1000 boot\n");
    const fs::path damaged = Journal("palomind-20240501-120000-400.restored.journal",
                                     "palomind-journal 1\n1000 strat\n2000 boot\n");
    const fs::path races = folder_.Path() / "races";
    fs::create_directories(races);
    struct Case {
        const char* what;
        fs::path journal;
        std::vector<const char*> records;
        bool prunable;
    };
    const std::vector<Case> cases = {
        {"no record yet", twoRaces, {}, false},
        {"one of two", twoRaces, {"20240501-100001-1.race"}, false},
        {"both", twoRaces, {"20240501-100001-1.race", "20240501-100030-1.race"}, true},
        {"a journal without a race", noRace, {}, true},
        {"a damaged journal", damaged, {}, false},
    };
    for (const Case& c : cases) {
        fs::remove_all(races);
        fs::create_directories(races);
        for (const char* record : c.records) std::ofstream(races / record) << "x\n";
        EXPECT_EQ(EveryRaceHasItsRecord(c.journal, races), c.prunable) << c.what;
    }
}

TEST_F(CrashRecoveryFolderTest, DamagedJournalIsReportedAndNotReplayed) {
    std::string text = RaceJournal();
    text.insert(text.find("2000 start"), "2000 strat\n");
    Journal("palomind-20240501-100000-200.running.journal", text);
    const auto run = Find();
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->events.empty());
    EXPECT_NE(run->problem.find("行目"), std::string::npos) << run->problem;
    EXPECT_NE(DamagedJournalText(*run).find("palomind-20240501-100000-200.running.journal"),
              std::string::npos);
}

TEST_F(CrashRecoveryFolderTest, ALastLineLeftOutIsNotedForTheNewJournal) {
    Journal("palomind-20240501-100000-200.running.journal", RaceJournal() + "31000 rx fe f");
    const auto run = Find();
    ASSERT_TRUE(run);
    EXPECT_TRUE(SameEvents(run->events, Events(RaceJournal())));
    EXPECT_NE(run->leftOutNote.find("no line end"), std::string::npos) << run->leftOutNote;
    EXPECT_NE(run->leftOutNote.find("\"31000 rx fe f\""), std::string::npos) << run->leftOutNote;
    Journal("palomind-20240501-110000-300.running.journal", RaceJournal());
    EXPECT_TRUE(Find()->leftOutNote.empty());
}

TEST_F(CrashRecoveryFolderTest, TellsTheHeatTheCrashedRaceWasRunAs) {
    std::string text = RaceJournal();
    text.insert(text.find("2000 start"), "1500 heat A-Q1-H2\n");
    Journal("palomind-20240501-100000-200.running.journal", text + "30900 heat A-Q1-H3\n");
    const auto run = Find();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->heat, "A-Q1-H2");  // the next heat loaded is not the race's
    Journal("palomind-20240501-110000-300.running.journal", RaceJournal());
    EXPECT_EQ(Find()->heat, "");
}

TEST(CrashedJournal, CutAtAnyByteGivesExactlyTheEventsOfItsCompleteLines) {
    const std::string text = RaceJournal();
    const std::size_t header = text.find('\n') + 1;
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        const JournalParseResult parsed =
            ParseCrashedJournal(std::string_view(text).substr(0, cut));
        if (cut < header) {
            EXPECT_FALSE(parsed.ok) << cut;
            continue;
        }
        const std::size_t complete = text.rfind('\n', cut - 1) + 1;
        ASSERT_TRUE(parsed.ok) << cut;
        EXPECT_TRUE(SameEvents(parsed.events, Events(text.substr(0, complete))))
            << "cut at " << cut;
    }
}

TEST(CrashedJournal, DamageBeforeTheLastLineFailsTheRead) {
    std::string text = RaceJournal();
    text.replace(text.find(" clock"), 6, " clonk");
    EXPECT_FALSE(ParseCrashedJournal(text).ok);
}

TEST(CrashedJournal, ARaceRecordIsNoRunToBringBack) {
    const JournalParseResult parsed = ParseCrashedJournal(
        "palomind-race 1\n100 race 19700101-000000-1 1970-01-01T00:00:00+00:00\n100 start\n");
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.errorLine, 1);
}

TEST(CrashedRunReplay, GoesOnLiveOnlyOnTheSameBootWithATickCounterThatWentOn) {
    std::vector<JournalEvent> events = Events(RaceJournal());
    EXPECT_TRUE(RaceCanGoOnLive(events, events.back().tick, ""));
    EXPECT_TRUE(RaceCanGoOnLive(events, 40'000, "boot-b"));  // the journal knows no boot
    EXPECT_FALSE(RaceCanGoOnLive(events, 1'234, ""));
    for (JournalEvent& e : events)
        if (e.kind == JournalEventKind::Boot) e.text = "boot-a";
    EXPECT_TRUE(RaceCanGoOnLive(events, 40'000, "boot-a"));
    EXPECT_TRUE(RaceCanGoOnLive(events, 40'000, ""));  // this system knows none
    // Rebooted and up longer than before: the counter did not go back.
    EXPECT_FALSE(RaceCanGoOnLive(events, 40'000, "boot-b"));
}

}  // namespace
}  // namespace palomind
