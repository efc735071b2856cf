#include "app/live_journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>

#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FileNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

JournalEvent Event(std::int32_t tick, JournalEventKind kind, std::int32_t value = 0,
                   std::vector<std::uint8_t> bytes = {}) {
    JournalEvent event;
    event.tick = tick;
    event.kind = kind;
    event.value = value;
    event.bytes = std::move(bytes);
    return event;
}

TEST(LiveJournalTest, EveryLineIsInTheFileAsSoonAsItIsRecorded) {
    TemporaryCurrentDirectory directory;
    LiveJournal journal("journal", "palomind-20240501-093000-7", 5);
    ASSERT_TRUE(journal.Start());
    EXPECT_EQ(journal.Path(), fs::path("journal") / "palomind-20240501-093000-7.running.journal");

    EXPECT_TRUE(journal.Record(Event(1000, JournalEventKind::Boot)));
    EXPECT_TRUE(journal.Record(Event(2000, JournalEventKind::Rx, 0, {0xFE, 0x05})));
    EXPECT_TRUE(journal.Note("line\r\nbreaks become spaces"));
    // Read while the journal is still open, as after a crash.
    const std::string written = ReadBytes(journal.Path());
    EXPECT_EQ(written, "palomind-journal 1\n" +
                           FormatJournalLine(Event(1000, JournalEventKind::Boot)) + "\n" +
                           FormatJournalLine(Event(2000, JournalEventKind::Rx, 0, {0xFE, 0x05})) +
                           "\n# line  breaks become spaces\n");
    EXPECT_TRUE(ParseJournal(written).ok);
}

// A sync that takes as long as the disk likes (here: until the test lets it
// go) holds up neither recording nor asking for the next sync.
TEST(LiveJournalTest, ASlowSyncToTheDiskHoldsUpNothingOnTheRecordingThread) {
    const TemporaryCurrentDirectory directory;
    std::mutex gate;
    std::unique_lock closed(gate);
    std::atomic<int> syncsStarted = 0;
    LiveJournal journal("journal", "palomind-20240501-093000-8", 5, [&](int) {
        if (++syncsStarted == 1) return;  // the one at start
        const std::lock_guard waitForTheTest(gate);
    });
    ASSERT_TRUE(journal.Start());
    EXPECT_TRUE(journal.Record(Event(1000, JournalEventKind::Boot)));  // asks for a sync
    while (syncsStarted < 2) std::this_thread::yield();  // the syncer is stuck in it now
    for (std::int32_t tick = 1001; tick < 1100; ++tick) {
        EXPECT_TRUE(journal.Record(Event(tick, JournalEventKind::Clock)));
        journal.SyncIfDue();
    }
    EXPECT_NE(ReadBytes(journal.Path()).find("1099 clock\n"), std::string::npos);
    closed.unlock();
    journal.FinishCleanly();
    EXPECT_EQ(ReadBytes(journal.Path()).substr(ReadBytes(journal.Path()).size() - 11),
              "# shutdown\n");
}

// The syncer's thread works on a descriptor of its own: a clean shutdown
// while it is in a sync waits for that sync, never syncs beside it, and no
// sync is ever handed a descriptor already closed.
TEST(LiveJournalTest, ShutdownDuringTheSyncersSyncWaitsForItAndNoSyncSeesAClosedFile) {
    const TemporaryCurrentDirectory directory;
    std::atomic<int> syncs = 0, inSync = 0, overlapping = 0, closedSeen = 0;
    LiveJournal journal("journal", "palomind-20240501-093000-10", 5, [&](int fd) {
        if (++inSync > 1) ++overlapping;
        ++syncs;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        if (fcntl(fd, F_GETFD) == -1) ++closedSeen;
        --inSync;
    });
    ASSERT_TRUE(journal.Start());
    EXPECT_TRUE(journal.Record(Event(1000, JournalEventKind::Boot)));  // asks for a sync
    while (syncs < 2) std::this_thread::yield();                       // the syncer is in it now
    journal.FinishCleanly();
    EXPECT_GE(syncs, 3);  // at the start, the syncer's, the shutdown's
    EXPECT_EQ(overlapping, 0);
    EXPECT_EQ(closedSeen, 0);
    EXPECT_EQ(journal.Path(), fs::path("journal") / "palomind-20240501-093000-10.journal");
}

// A race record handed over is synced with the journal, on the journal's own
// thread, and once more when it is handed back.
TEST(LiveJournalTest, AFileHandedOverIsSyncedOnTheJournalsThreadAndOnceMoreWhenItEnds) {
    const TemporaryCurrentDirectory directory;
    std::FILE* record = std::fopen("r.race", "wb");
    ASSERT_NE(record, nullptr);
    struct stat recordStat {};
    ASSERT_EQ(fstat(fileno(record), &recordStat), 0);
    const std::thread::id recordingThread = std::this_thread::get_id();
    std::atomic<int> recordSyncs = 0;
    std::atomic<bool> syncedOnTheRecordingThread = false;
    LiveJournal journal("journal", "palomind-20240501-093000-9", 5, [&](int fd) {
        struct stat synced {};
        if (fstat(fd, &synced) != 0 || synced.st_ino != recordStat.st_ino) return;
        if (std::this_thread::get_id() == recordingThread) syncedOnTheRecordingThread = true;
        ++recordSyncs;
    });
    ASSERT_TRUE(journal.Start());
    const auto waitFor = [&](int syncs) {
        for (int i = 0; i < 5000 && recordSyncs < syncs; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return recordSyncs >= syncs;
    };
    journal.SyncAlso(fileno(record));
    EXPECT_TRUE(waitFor(1));
    journal.SyncAlso(-1);
    std::fclose(record);  // the journal's thread has a descriptor of its own
    EXPECT_TRUE(waitFor(2));
    journal.FinishCleanly();
    EXPECT_FALSE(syncedOnTheRecordingThread);
}

TEST(LiveJournalTest, CleanShutdownMarksTheJournalCompleteUnderItsFinalName) {
    TemporaryCurrentDirectory directory;
    LiveJournal journal("journal", "palomind-20240501-093000-7", 5);
    ASSERT_TRUE(journal.Start());
    journal.Record(Event(1000, JournalEventKind::Boot));
    journal.FinishCleanly();

    EXPECT_EQ(FileNames("journal"), std::vector<std::string>{"palomind-20240501-093000-7.journal"});
    const std::string written = ReadBytes("journal/palomind-20240501-093000-7.journal");
    EXPECT_TRUE(written.ends_with("\n# shutdown\n"));
    EXPECT_FALSE(journal.Record(Event(2000, JournalEventKind::Boot)));  // nothing after the end
}

TEST(LiveJournalTest, KeepsTheNewestCompleteJournalsAndNeverDeletesUnfinishedOnes) {
    TemporaryCurrentDirectory directory;
    fs::create_directory("journal");
    for (const char* name :
         {"palomind-20240101-080000-1.journal", "palomind-20240102-080000-1.journal",
          "palomind-20240103-080000-1.journal", "palomind-20231231-080000-9.running.journal",
          "notes.txt"}) {
        std::ofstream("journal/" + std::string(name)) << "x\n";
    }
    LiveJournal journal("journal", "palomind-20240104-080000-1", 2);
    ASSERT_TRUE(journal.Start());
    // Two complete ones kept (the newest); the crashed run and other files stay.
    EXPECT_EQ(FileNames("journal"),
              (std::vector<std::string>{"notes.txt", "palomind-20231231-080000-9.running.journal",
                                        "palomind-20240102-080000-1.journal",
                                        "palomind-20240103-080000-1.journal",
                                        "palomind-20240104-080000-1.running.journal"}));
    journal.FinishCleanly();
    EXPECT_EQ(FileNames("journal"),
              (std::vector<std::string>{"notes.txt", "palomind-20231231-080000-9.running.journal",
                                        "palomind-20240103-080000-1.journal",
                                        "palomind-20240104-080000-1.journal"}));
}

TEST(LiveJournalTest, SettledJournalsArePrunedWithTheCompleteOnesOnlyWhenTheirRacesAreKept) {
    struct Case {
        const char* what;
        bool racesKept;
        std::vector<std::string> left;
    };
    const std::vector<Case> cases = {
        {"races kept: the oldest go",
         true,
         {"palomind-20240103-080000-1.restored.journal",
          "palomind-20240104-080000-1.running.journal"}},
        {"races not kept: every settled one stays",
         false,
         {"palomind-20240101-080000-1.declined.journal", "palomind-20240102-080000-1.journal",
          "palomind-20240103-080000-1.restored.journal",
          "palomind-20240104-080000-1.running.journal"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryCurrentDirectory directory;
        fs::create_directory("journal");
        for (const char* name :
             {"palomind-20240101-080000-1.declined.journal", "palomind-20240102-080000-1.journal",
              "palomind-20240103-080000-1.restored.journal"}) {
            std::ofstream("journal/" + std::string(name)) << "x\n";
        }
        LiveJournal journal(
            "journal", "palomind-20240104-080000-1", 1, LiveJournal::SyncFileToDisk,
            [&c](const fs::path& settled) {
                EXPECT_TRUE(settled.filename().string().find(".running.") == std::string::npos);
                return c.racesKept;
            });
        ASSERT_TRUE(journal.Start());
        EXPECT_EQ(FileNames("journal"), c.left);
    }
}

TEST(LiveJournalTest, JournalThatCannotBeCreatedFailsOnceAndRecordsNothing) {
    TemporaryCurrentDirectory directory;
    std::ofstream("journal") << "a file where the folder should be\n";
    LiveJournal journal("journal", "palomind-20240501-093000-7", 5);
    EXPECT_FALSE(journal.Start());
    EXPECT_NE(journal.Problem().find("journal"), std::string::npos);
    EXPECT_FALSE(journal.Record(Event(1000, JournalEventKind::Boot)));
    journal.FinishCleanly();  // harmless
}

}  // namespace
}  // namespace palomind::testing
