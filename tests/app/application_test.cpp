// The application core without a window: every command is journaled and
// applied through the one dispatcher, so the journal alone replays to the race
// the operator saw, whatever was typed, renamed or opened.
#include "app/application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/journal_reading.h"
#include "app/race_core.h"
#include "app/race_revision.h"
#include "app/replay.h"
#include "app/replay_command.h"
#include "documents/cp932.h"
#include "documents/exact_times.h"
#include "documents/race_csv.h"
#include "documents/race_json.h"
#include "documents/result_file.h"
#include "engine/exact_result.h"
#include "record/race_record_folder.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/receiver_frame.h"
#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

// The journal in memory, as the file would hold it.
class MemoryJournal final : public EventJournal {
  public:
    bool Record(const JournalEvent& event) override {
        text += FormatJournalLine(event) + "\n";
        return true;
    }
    bool Note(std::string_view note) override {
        text += "# " + std::string(note) + "\n";
        return true;
    }
    void SyncIfDue() override {}
    // The lines of one event kind ("comment", "name", ...).
    std::vector<std::string> Lines(std::string_view event) const {
        std::vector<std::string> found;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1) {
            const std::string line = text.substr(start, end - start);
            const std::size_t space = line.find(' ');
            if (space != std::string::npos && line.compare(space + 1, event.size(), event) == 0 &&
                (line.size() == space + 1 + event.size() || line[space + 1 + event.size()] == ' '))
                found.push_back(line);
        }
        return found;
    }
    std::string text = "palomind-journal 1\n";
};

// Read on the receiver's thread too, where a test gives it one.
struct ManualClock final : TickClock {
    std::int32_t TimeGetTime() override { return tick; }
    std::atomic<std::int32_t> tick = 1'000'000;
};

class ApplicationTest : public ::testing::Test {
  protected:
    explicit ApplicationTest(std::string bootIdentity = "boot-1")
        : app({clock, sound, serial, settings, dialogs, files, journal, std::move(bootIdentity)}) {
        files.files["Palomind.ini"] = Utf8ToCp932("1\r\n20\r\n2\r\n0\r\n\"レース\"\r\n");
        app.LoadStartupFiles();
    }

    void RunUntil(std::int32_t tick) {
        while (clock.tick < tick) {
            clock.tick += 10;
            app.Timer1_Timer();
        }
    }
    void Pass(std::uint8_t id, std::int32_t afterMs) {
        RunUntil(clock.tick + afterMs);
        serial.Receive(Frame(id));
    }
    // The result file a replay of the journal alone gives, with no settings
    // or roster files to read.
    std::string Replayed() const { return ReplayedFrom(journal.text); }
    // The same of a race record (or any journal text).
    std::string ReplayedFrom(const std::string& text) const {
        const JournalParseResult parsed = ReadJournal(text);
        EXPECT_TRUE(parsed.ok) << parsed.errorLine << ": " << parsed.error;
        RecordingSoundPlayer silent(replayClock);
        RaceCore core(silent);
        core.KeepShownRecord();  // a journal's corrections re-score the race shown
        ReplayJournal(parsed.events, core, std::nullopt);
        return FormatResultFile(core.State(), core.Window());
    }
    std::string Live() {
        const RaceDocument race = app.Document();
        return FormatResultFile(race.state, race.window);
    }

    ManualClock clock;
    mutable ManualClock replayClock;
    RecordingSoundPlayer sound{clock};
    FakeSerialPort serial;
    MemorySettingsStore settings;
    ScriptedUserDialogs dialogs;
    MemoryFileStore files;
    MemoryJournal journal;
    Application app;
};

TEST_F(ApplicationTest, CommentNamesAndAnOpenedFileReplayToTheRaceTheOperatorSaw) {
    ASSERT_TRUE(serial.Open(1));
    app.Boot();
    app.StartRace();
    RunUntil(clock.tick + 2500);
    for (int lap = 0; lap < 3; ++lap)
        for (std::uint8_t id : {3, 5, 7}) Pass(id, 700);
    app.CommentTyped("雨\r\n路面 \"ウェット\" \\ 注意");
    app.SetName(5, "Taro, racing");  // an ID already racing
    app.SetName(12, "");
    app.SetName(40, "ハナコ");
    Pass(5, 700);
    RunUntil(clock.tick + 20'000);
    for (std::uint8_t id : {3, 5, 7}) Pass(id, 300);
    ASSERT_EQ(app.State().AllFinished, kTrue);
    const std::string firstRace = Live();
    EXPECT_EQ(Replayed(), firstRace);
    EXPECT_NE(firstRace.find("Taro, racing"), std::string::npos);

    files.files["saved.rdt"] = firstRace;
    app.StartRace();
    RunUntil(clock.tick + 5000);
    ASSERT_EQ(app.OpenResultFile("saved.rdt"), "");
    EXPECT_EQ(Live(), firstRace);
    EXPECT_EQ(Replayed(), firstRace);

    app.StartRace();
    Pass(7, 3000);
    RunUntil(clock.tick + 2000);
    EXPECT_EQ(Replayed(), Live());
}

TEST_F(ApplicationTest, StartupInputIsJournaledBeforeBootWithTheBootIdentity) {
    files.files["idname.ind"] = "";
    app.Boot();
    const std::vector<std::string> names = journal.Lines("name");
    ASSERT_EQ(names.size(), 64u);
    EXPECT_EQ(journal.Lines("racetime").size(), 1u);
    EXPECT_EQ(journal.Lines("comment").size(), 1u);
    const std::vector<std::string> boots = journal.Lines("boot");
    ASSERT_EQ(boots.size(), 1u);
    EXPECT_EQ(boots[0], std::to_string(clock.tick) + " boot boot-1");
    EXPECT_LT(journal.text.find(names.back()), journal.text.find(boots[0]));

    // Renaming to the same name journals nothing; a change is journaled at once.
    app.SetName(9, app.Roster()[9]);
    app.SetName(9, "Jiro");
    EXPECT_EQ(journal.Lines("name").size(), 65u);
}

TEST_F(ApplicationTest, TheMinimumLapKeptPerUserIsJournaledAndTheReplayNeedsNoStore) {
    settings.values[{"Race", "MinLapMs"}] = "5000";
    app.LoadStartupFiles();
    ASSERT_TRUE(serial.Open(1));
    app.Boot();
    EXPECT_EQ(journal.Lines("minlap"),
              std::vector<std::string>{std::to_string(clock.tick) + " minlap 5000"});
    app.StartRace();
    RunUntil(clock.tick + 2500);
    Pass(3, 700);
    Pass(3, 6000);
    Pass(3, 300);  // lap 2, 0.3 s: flagged
    ASSERT_TRUE(app.State().ShortLap(3, 2));
    // A change is journaled and kept, and flags nothing of the race begun.
    app.SetMinLap(0);
    EXPECT_EQ(journal.Lines("minlap").size(), 2u);
    EXPECT_EQ((settings.values[{"Race", "MinLapMs"}]), "0");
    EXPECT_TRUE(IsProvisional(app.State()));

    settings.values[{"Race", "MinLapMs"}] = "600000";  // what the store holds is not read
    const JournalParseResult parsed = ReadJournal(journal.text);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    RecordingSoundPlayer silent(replayClock);
    RaceCore core(silent);
    ReplayJournal(parsed.events, core, std::nullopt);
    EXPECT_TRUE(core.State().ShortLap(3, 2));
    EXPECT_FALSE(core.State().ShortLap(3, 1));
    EXPECT_EQ(core.State().MinLapMs, 0);
}

TEST_F(ApplicationTest, AStoredMinimumLapThatIsNoWholeNumberInRangeIsOff) {
    for (const char* stored : {"abc", "-5", "600001", "99999999", "5 ", ""}) {
        settings.values[{"Race", "MinLapMs"}] = stored;
        app.LoadStartupFiles();
        EXPECT_EQ(app.State().MinLapMs, 0) << stored;
    }
    settings.values[{"Race", "MinLapMs"}] = "600000";
    app.LoadStartupFiles();
    EXPECT_EQ(app.State().MinLapMs, 600'000);
}

TEST_F(ApplicationTest, TypingIsJournaledOnceItRestsOrBeforeAnythingReadsTheComment) {
    app.Boot();
    const std::size_t atBoot = journal.Lines("comment").size();
    app.CommentTyped("a");
    RunUntil(clock.tick + 200);
    app.CommentTyped("ab");
    RunUntil(clock.tick + 280);
    EXPECT_EQ(journal.Lines("comment").size(), atBoot);  // still typing
    RunUntil(clock.tick + 300);
    ASSERT_EQ(journal.Lines("comment").size(), atBoot + 1);
    EXPECT_EQ(app.Window().Comment, "ab");

    app.CommentTyped("ab\r\nc");
    EXPECT_EQ(app.Document().window.Comment, "ab\r\nc");  // a save reads it at once
    app.CommentTyped("ab\r\nc");                          // unchanged: nothing to journal
    app.StartRace();
    EXPECT_EQ(journal.Lines("comment").size(), atBoot + 2);
    EXPECT_EQ(journal.Lines("comment").back(), std::to_string(clock.tick) + " comment ab\\r\\nc");
}

TEST_F(ApplicationTest, AFileThatCannotBeShownLeavesTheRaceAndTheJournalAlone) {
    app.Boot();
    app.StartRace();
    const std::string before = journal.text;
    files.files["bad.rdt"] = std::string("\"\x81\x20\"\r\n0\r\n0\r\n");
    EXPECT_NE(app.OpenResultFile("bad.rdt"), "");
    EXPECT_NE(app.OpenResultFile("missing.rdt"), "");
    EXPECT_EQ(journal.text, before);
    EXPECT_EQ(app.State().RaceStarted, kTrue);
}

// The receiver's thread stamps what it reads while the window thread is
// blocked (here: it simply does not run). When the window thread comes back,
// every block counts at its stamp: the race clock first catches up to it, and
// the journal's ticks never go back.
TEST_F(ApplicationTest, BlocksStampedWhileTheWindowIsBlockedCountAtTheirStamps) {
    serial.holdBytes = true;
    ASSERT_TRUE(serial.Open(1));
    app.Boot();
    app.StartRace();  // start-wait 2: timing opens at the start second
    const std::int32_t start = app.State().RaceStart * 1000;
    RunUntil(start - 1500);

    // The window thread stalls from here; the receiver goes on reading.
    clock.tick = start - 400;  // timing is open: tick-seconds round
    serial.Receive(Frame(5));
    clock.tick = start + 2'300;
    serial.Receive(Frame(5));
    clock.tick = start + 2'900;
    app.TestPass(3);  // the first thing the window does when it comes back

    EXPECT_EQ(app.State().RaceRunning, kTrue);
    EXPECT_EQ(app.State().LapCount[5], 1);
    EXPECT_NEAR(app.State().LastLap[5], 2.3, 1e-9);  // lap 1: from the start to its stamp
    EXPECT_EQ(app.State().LapCount[3], 0);
    // The clock acted at the first stamp, before its block, and the test
    // pass came after both blocks.
    const JournalParseResult parsed = ReadJournal(journal.text);
    ASSERT_TRUE(parsed.ok);
    std::vector<std::string> after;
    for (const JournalEvent& e : parsed.events)
        if (e.tick >= start - 1500) {
            const std::string line = FormatJournalLine(e);
            after.push_back(line.substr(0, line.find(' ', line.find(' ') + 1)));
        }
    EXPECT_EQ(after,
              (std::vector<std::string>{
                  std::to_string(start - 400) + " clock", std::to_string(start - 400) + " rx",
                  std::to_string(start + 2'300) + " clock", std::to_string(start + 2'300) + " rx",
                  std::to_string(start + 2'900) + " id3"}))
        << journal.text;
    EXPECT_EQ(Replayed(), Live());
}

// A real receiver thread stamps passes while the window thread runs its
// timer: each is journaled once, in the order read, the journal's ticks never
// go back, and the replay gives the race the window shows.
TEST_F(ApplicationTest, PassesStampedOnTheReceiversThreadWhileTheTimerRunsCountInOrder) {
    constexpr int kFrames = 300;
    serial.holdBytes = true;
    ASSERT_TRUE(serial.Open(1));
    app.Boot();
    app.StartRace();
    RunUntil(app.State().RaceStart * 1000 + 100);
    std::atomic<bool> reading = true;
    std::thread receiver([&] {
        for (int n = 0; n < kFrames; ++n) {
            serial.Receive(Frame(static_cast<std::uint8_t>(1 + n % 8)));
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        reading = false;
    });
    while (reading.load()) {
        clock.tick += 10;
        app.Timer1_Timer();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    receiver.join();
    app.Timer1_Timer();

    const JournalParseResult parsed = ReadJournal(journal.text);
    ASSERT_TRUE(parsed.ok);
    int received = 0, wentBack = 0;
    for (std::size_t i = 0; i < parsed.events.size(); ++i) {
        const JournalEvent& e = parsed.events[i];
        if (i > 0 && e.tick < parsed.events[i - 1].tick) ++wentBack;
        if (e.kind != JournalEventKind::Rx) continue;
        if (e.bytes == Frame(static_cast<std::uint8_t>(1 + received % 8))) ++received;
    }
    EXPECT_EQ(received, kFrames);
    EXPECT_EQ(wentBack, 0);
    EXPECT_EQ(Replayed(), Live());
}

// A file that could not be read once may read the next time: what the
// operator is told is what the journal holds, and it is the first read.
TEST_F(ApplicationTest, AFileThatCannotBeReadIsRefusedEvenWhenItReadsAMomentLater) {
    app.Boot();
    files.files["saved.rdt"] = "\"x\"\r\n0\r\n0\r\n";
    files.failingReads = 1;
    EXPECT_EQ(app.OpenResultFile("saved.rdt"), kResultFileUnreadable);
    EXPECT_TRUE(journal.Lines("open").empty());
    EXPECT_EQ(app.OpenResultFile("saved.rdt"), "");
    EXPECT_EQ(journal.Lines("open").size(), 1u);
}

// A run that crashed during timing, with a typed comment and a renamed ID.
class RestoreTest : public ApplicationTest {
  protected:
    RestoreTest() : ApplicationTest("boot-2") {}
    static std::vector<JournalEvent> CrashedRun(const std::string& bootIdentity) {
        const std::string text =
            "palomind-journal 1\n"
            "900000 racetime 60\n900000 startwait 1\n"
            "900000 name 5 Saburo\n900000 comment before\n"
            "900000 boot " +
            bootIdentity +
            "\n"
            "901000 start\n902000 clock\n"
            "902500 comment typed\\r\\nlive\n"
            "903000 clock\n903100 rx fe fe fe 05 10 20 35\n"
            "903200 name 5 Shiro\n";
        return ReadJournal(text).events;
    }
};

TEST_F(RestoreTest, SameBootGoesOnLiveWithTheTypedCommentAndNames) {
    EXPECT_TRUE(app.BootRestoring(CrashedRun("boot-2"), "crashed.journal"));
    EXPECT_EQ(app.Window().Comment, "typed\r\nlive");
    EXPECT_EQ(app.Roster()[5], "Shiro");
    EXPECT_EQ(app.State().RaceRunning, kTrue);
    EXPECT_TRUE(sound.played.empty());  // the old race's sounds do not play again
    EXPECT_EQ(Replayed(), Live());
}

TEST_F(RestoreTest, AnotherBootRestoresTheRaceStoppedThoughTheCounterWentOn) {
    EXPECT_FALSE(app.BootRestoring(CrashedRun("boot-1"), "crashed.journal"));
    EXPECT_EQ(app.State().RaceStarted, kFalse);
    EXPECT_EQ(app.Window().Comment, "typed\r\nlive");
    EXPECT_EQ(app.Roster()[5], "Shiro");
    EXPECT_EQ(app.State().LapCount[5], 0);  // the race as it stood is still shown
}

// The run's race records, written live into a folder of their own.
class RecordedRestoreTest : public RestoreTest {
  protected:
    std::vector<std::filesystem::path> RecordFiles() const {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            found.push_back(entry.path());
        std::sort(found.begin(), found.end());
        return found;
    }
    // The record the crashed run wrote of its race, as --races writes it,
    // from the same start-up files.
    std::string CrashedRecord() {
        ScratchFolder written;
        RaceRecordFolder output(written.Path());
        RaceRecorder writer(output, RaceRecorder::WhenTaken::Skip, std::nullopt);
        RecordingSoundPlayer silent(replayClock);
        RaceCore core(silent);
        core.LoadStartupFiles(files, dialogs);
        core.Observe(&writer);
        ReplayJournal(CrashedRun("boot-2"), core, std::nullopt);
        writer.Finish();
        return ReadBytes(written.Path() / "19700101-000001-1.race");
    }

    ScratchFolder folder;
    RaceRecordFolder records{folder.Path()};
    RaceRecorder recorder{records, RaceRecorder::WhenTaken::NextNumber, std::nullopt};
};

TEST_F(RecordedRestoreTest, EveryRaceOfTheRunReplaysFromItsOwnLiveRecord) {
    ASSERT_TRUE(serial.Open(1));
    app.KeepRaceRecords(&recorder);
    app.Boot();
    app.SetHeat("A-Q1-H2");
    app.StartRace();
    for (int lap = 0; lap < 4; ++lap)
        for (std::uint8_t id : {3, 5}) Pass(id, 900);
    app.TestPass(1);
    app.SetHeat("");
    app.SetName(5, "Goro");
    Pass(5, 25'000);
    const std::string firstRace = Live();
    ASSERT_EQ(app.State().LapCount[3], 2);  // the first frame came in the countdown
    app.StartRace();
    Pass(5, 4000);
    app.CommentTyped("二回目");
    app.StopRace();
    recorder.Finish();
    const std::vector<std::filesystem::path> written = RecordFiles();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(ReplayedFrom(ReadBytes(written[0])), firstRace);
    EXPECT_EQ(ReplayedFrom(ReadBytes(written[1])), Live());
}

TEST_F(RecordedRestoreTest, AHeatLoadedIsJournaledAndTheRecordOfItsRaceSaysSo) {
    ASSERT_TRUE(serial.Open(1));
    app.KeepRaceRecords(&recorder);
    app.Boot();
    for (const char* bad : {"A Q1", "A\tQ1", "\xc3(", " "}) EXPECT_FALSE(app.SetHeat(bad)) << bad;
    EXPECT_TRUE(journal.Lines("heat").empty());
    ASSERT_TRUE(app.SetHeat("A-Q1-H2"));
    ASSERT_TRUE(app.SetHeat("A-Q1-H2"));  // no change, no line
    app.StartRace();
    Pass(5, 3000);
    ASSERT_TRUE(app.SetHeat(""));  // cleared for the race after this one
    Pass(5, 3000);
    app.StartRace();
    Pass(3, 3000);
    app.StopRace();
    recorder.Finish();
    EXPECT_EQ(journal.Lines("heat").size(), 2u);
    EXPECT_EQ(Replayed(), Live());
    const std::vector<std::filesystem::path> written = RecordFiles();
    ASSERT_EQ(written.size(), 2u);
    const struct {
        std::string heat;
        bool heatLineSecond;  // the line right after the race line
    } expected[] = {{"A-Q1-H2", true}, {"", false}};
    for (std::size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE(written[i].string());
        const JournalParseResult parsed = ReadJournal(ReadBytes(written[i]));
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(parsed.events[1].kind == JournalEventKind::Heat, expected[i].heatLineSecond);
        EXPECT_EQ(SplitRaceRecord(parsed.events, parsed.lines).Heat(), expected[i].heat);
    }
    EXPECT_EQ(app.State().Heat, "");
}

// Where the records cannot be written the operator is told, and the race
// goes on.
TEST_F(RecordedRestoreTest, ARecordThatCannotBeWrittenIsToldAndTheRaceGoesOn) {
    struct ToldView final : ApplicationView {
        void PlatformFailed(PlatformProblem problem, std::string_view detail) override {
            if (problem == PlatformProblem::JournalFailed) told.emplace_back(detail);
        }
        void ReceiverAbsenceChanged(const std::optional<ReceiverAbsence>&) override {}
        std::vector<std::string> told;
    } view;
    app.SetView(&view);
    const std::filesystem::path blocked = folder.Path() / "races";
    WriteBytes(blocked, "a file where the folder should be");
    RaceRecordFolder unwritable(blocked);
    RaceRecorder writer(unwritable, RaceRecorder::WhenTaken::NextNumber, std::nullopt);
    app.KeepRaceRecords(&writer);
    app.Boot();
    app.StartRace();
    RunUntil(clock.tick + 3000);
    app.TestPass(2);
    ASSERT_EQ(view.told.size(), 1u);
    EXPECT_EQ(view.told[0], "レース記録を書き込めません: 19700101-000000-1.race");
    EXPECT_EQ(app.State().LapCount[2], 0);
    app.SetView(nullptr);
}

TEST_F(RecordedRestoreTest, TheRestoredRaceGoesOnInTheRecordTheCrashLeftCutShort) {
    const std::string crashed = CrashedRecord();
    ASSERT_FALSE(crashed.empty());
    // The crash came while the last line but one was being written.
    const std::size_t cut = crashed.rfind('\n', crashed.size() - 2);
    WriteBytes(folder.Path() / "19700101-000001-1.race", crashed.substr(0, cut - 4));
    app.KeepRaceRecords(&recorder);
    ASSERT_TRUE(app.BootRestoring(CrashedRun("boot-2"), "crashed.journal"));
    Pass(5, 1000);
    app.StopRace();
    recorder.Finish();
    const std::vector<std::filesystem::path> written = RecordFiles();
    ASSERT_EQ(written.size(), 1u);
    const std::string record = ReadBytes(written[0]);
    EXPECT_EQ(record.substr(0, crashed.size()), crashed);
    EXPECT_EQ(ReplayedFrom(record), Live());
}

TEST_F(RecordedRestoreTest, AfterARestartTheJournalSaysWhichRecordTheRaceGoesOnIn) {
    app.KeepRaceRecords(&recorder);
    ASSERT_FALSE(app.BootRestoring(CrashedRun("boot-1"), "crashed.journal"));
    app.CommentTyped("再起動の後");
    app.CommitComment();
    recorder.Finish();
    EXPECT_NE(journal.text.find("goes on in the race record 19700101-000001-1"), std::string::npos);
    const std::string record = ReadBytes(folder.Path() / "19700101-000001-1.race");
    EXPECT_TRUE(ReadJournal(record).ok);  // its ticks never went back
    EXPECT_EQ(ReplayedFrom(record), Live());
}

// Earlier races opened from their records, beside a run that goes on.
class OpenedRaceRecordTest : public RecordedRestoreTest {
  protected:
    OpenedRaceRecordTest() {
        serial.Open(1);
        app.KeepRaceRecords(&recorder);
        app.Boot();
    }
    // A race of two entrants, stopped after their finish; its result file.
    std::string RunRace(std::uint8_t first, std::uint8_t second) {
        app.StartRace();
        RunUntil(clock.tick + 2000);  // timing opens
        for (int lap = 0; lap < 3; ++lap)
            for (std::uint8_t id : {first, second}) Pass(id, 1100);
        Pass(first, 25'000);
        app.StopRace();
        return Live();
    }
};

TEST_F(OpenedRaceRecordTest, ARecordOpenedShowsItsRaceAndTheJournalReplaysToIt) {
    const std::string firstRace = RunRace(3, 5);
    RunRace(7, 9);
    files.files["first.race"] = ReadBytes(RecordFiles().front());
    ASSERT_EQ(app.OpenRaceRecord("first.race"), "");
    EXPECT_EQ(Live(), firstRace);
    EXPECT_EQ(app.ShownRecord(), "19700101-000000-1");
    EXPECT_EQ(journal.Lines("record").size(), 1u);
    EXPECT_EQ(Replayed(), firstRace);
    EXPECT_TRUE(IsIdle(app.State()));
}

// What a race inherits from its run (the last ID for "ＩＤ１", the lap
// history's size) is the run's, not the shown record's: the next race's own
// record still replays to it.
TEST_F(OpenedRaceRecordTest, TheRaceAfterAnOpenedRecordInheritsFromTheRun) {
    RunRace(3, 5);
    app.StartRace();
    Pass(12, 2500);   // once timing is open
    app.TestPass(1);  // counts on from 12
    files.files["first.race"] = ReadBytes(RecordFiles().front());
    ASSERT_EQ(app.OpenRaceRecord("first.race"), "");
    app.StartRace();
    app.TestPass(1);
    RunUntil(clock.tick + 4000);
    app.StopRace();
    EXPECT_EQ(app.State().LapCount[14], 0);
    EXPECT_EQ(app.ShownRecord(), std::nullopt);
    recorder.Finish();
    const std::vector<std::filesystem::path> written = RecordFiles();
    ASSERT_EQ(written.size(), 3u);  // opening wrote no record of its own
    EXPECT_EQ(ReplayedFrom(ReadBytes(written.back())), Live());
    EXPECT_EQ(Replayed(), Live());
}

TEST_F(OpenedRaceRecordTest, WhatIsNotARaceRecordIsRefusedAndChangesNothing) {
    RunRace(3, 5);
    const std::string record = ReadBytes(RecordFiles().front());
    files.files["journal.race"] = "palomind-journal 1\n1000 boot\n";
    files.files["result.race"] = Live();
    files.files["damaged.race"] = record + "x\n";
    files.files["empty.race"] = "";
    const std::string shown = Live();
    const std::string before = journal.text;
    for (const char* path :
         {"journal.race", "result.race", "damaged.race", "empty.race", "missing.race"}) {
        SCOPED_TRACE(path);
        EXPECT_NE(app.OpenRaceRecord(path), "");
    }
    EXPECT_EQ(journal.text, before);
    EXPECT_EQ(Live(), shown);
    EXPECT_EQ(app.ShownRecord(), std::nullopt);
}

// The start that ends a race never saved names the record that alone keeps it.
TEST_F(OpenedRaceRecordTest, AStartNamesTheRecordOfTheRaceItEndedWhenThatWasNeverSaved) {
    EXPECT_EQ(app.StartRace(), std::nullopt);  // no race before it
    app.StopRace();
    EXPECT_EQ(app.StartRace(), "19700101-000000-1.race");
    app.StopRace();
    app.ResultFileSaved("saved.rdt");
    EXPECT_EQ(app.StartRace(), std::nullopt);
    files.files["first.race"] = ReadBytes(RecordFiles().front());
    ASSERT_EQ(app.OpenRaceRecord("first.race"), "");
    EXPECT_EQ(app.StartRace(), std::nullopt);  // the opening ended that race
}

// Corrections made after the race, on the race timed last or on a record
// opened: each scored at once, kept in the record and the run's journal.
class LiveCorrectionTest : public OpenedRaceRecordTest {
  protected:
    static Correction Delete(int id, int ordinal) {
        return {.operation = CorrectionOperation::Delete, .id = id, .pass = {.ordinal = ordinal}};
    }
    static Correction Dq(int id) { return {.operation = CorrectionOperation::Dq, .id = id}; }
    // The result file of revision k (all when none) of a record's text.
    static std::string RevisionOf(const std::string& text, int k = 1 << 30) {
        const JournalParseResult parsed = ReadJournal(text);
        EXPECT_TRUE(parsed.ok) << parsed.errorLine << ": " << parsed.error;
        const Revision revision = ScoreRevision(SplitRaceRecord(parsed.events, parsed.lines), k);
        return FormatResultFile(revision.state, revision.window);
    }
    std::string OnlyRecord() {
        recorder.Finish();
        const std::vector<std::filesystem::path> written = RecordFiles();
        EXPECT_EQ(written.size(), 1u);
        return written.empty() ? std::string() : ReadBytes(written.front());
    }
};

TEST_F(LiveCorrectionTest, TheRaceJustRunIsScoredAgainAtOnceAndItsRecordAndJournalSayHow) {
    const std::string asRun = RunRace(3, 5);
    ASSERT_TRUE(app.CanCorrect());
    ASSERT_EQ(app.CorrectRace(Delete(5, 2), "二重検知", "山田"), "");
    const std::string corrected = Live();
    EXPECT_NE(corrected, asRun);
    EXPECT_EQ(journal.Lines("edit").size(), 1u);
    EXPECT_EQ(Replayed(), corrected);  // the run's journal re-scores it too
    const std::string record = OnlyRecord();
    EXPECT_EQ(RevisionOf(record), corrected);
    EXPECT_EQ(RevisionOf(record, 0), asRun);
    EXPECT_NE(record.find(" operator 山田\n"), std::string::npos);
}

// A record of an earlier run: its corrections come after its last tick,
// whatever this run's counter says.
TEST_F(LiveCorrectionTest, ARecordOfAnotherRunTakesItsCorrectionsAtItsOwnLastTick) {
    RunRace(3, 5);
    recorder.Finish();
    RaceRecorder nextRun(records, RaceRecorder::WhenTaken::NextNumber, std::nullopt);
    app.KeepRaceRecords(&nextRun);
    const std::filesystem::path first = RecordFiles().front();
    const std::string before = ReadBytes(first);
    files.files["first.race"] = before;
    RunUntil(clock.tick + 60'000);
    ASSERT_EQ(app.OpenRaceRecord("first.race"), "");
    ASSERT_TRUE(app.CanCorrect());
    ASSERT_EQ(app.CorrectRace(Dq(3), "コース外走行", ""), "");
    const std::string record = ReadBytes(first);
    ASSERT_EQ(record.substr(0, before.size()), before);
    const std::string added = record.substr(before.size());
    const std::string lastTick = std::to_string(ReadJournal(before).events.back().tick);
    EXPECT_EQ(added.rfind(lastTick + " edit 1 ", 0), 0u) << added;
    EXPECT_EQ(RevisionOf(record), Live());
    EXPECT_EQ(Replayed(), Live());
    EXPECT_EQ(app.Document().disqualified, std::set<int>{3});
}

// The operator line comes before the first correction of each person in
// turn, never again while the same person goes on.
TEST_F(LiveCorrectionTest, AnOperatorIsWrittenWhereThePersonCorrectingChanges) {
    RunRace(3, 5);
    const struct {
        Correction correction;
        const char* person;
    } steps[] = {{Delete(5, 2), ""},
                 {Dq(3), "A"},
                 {Dq(5), "A"},
                 {{.operation = CorrectionOperation::Reinstate, .id = 3}, "B"},
                 {{.operation = CorrectionOperation::Revert, .reverted = 1}, "A"},
                 {{.operation = CorrectionOperation::Assign, .id = 3, .assignedTo = 9}, "A"},
                 {{.operation = CorrectionOperation::Penalty, .id = 5, .penaltyLaps = 1}, "A"}};
    for (const auto& step : steps)
        ASSERT_EQ(app.CorrectRace(step.correction, "理由", step.person), "");
    const std::vector<std::string> operators = journal.Lines("operator");
    ASSERT_EQ(operators.size(), 3u);
    EXPECT_EQ(operators[0].substr(operators[0].find(' ')), " operator A");
    EXPECT_EQ(operators[1].substr(operators[1].find(' ')), " operator B");
    EXPECT_EQ(operators[2].substr(operators[2].find(' ')), " operator A");
    EXPECT_EQ(journal.Lines("edit").size(), 7u);
    EXPECT_EQ(app.Result().entrants.back().penaltyLaps, 1);
    EXPECT_EQ(RevisionOf(OnlyRecord()), Live());
}

TEST_F(LiveCorrectionTest, ACorrectionThatCannotBeMadeWritesNothing) {
    files.files["saved.rdt"] = RunRace(3, 5);
    const struct {
        Correction correction;
        const char* reason;
    } refused[] = {
        {Delete(5, 99), "理由"},  // no such pass
        {Delete(40, 1), "理由"},  // an ID not in the race
        {Dq(3), ""},              // a disqualification needs its reason
        // 5 has passes of its own; a penalty of nothing.
        {{.operation = CorrectionOperation::Assign, .id = 3, .assignedTo = 5}, "理由"},
        {{.operation = CorrectionOperation::Penalty, .id = 5}, "理由"},
        {{.operation = CorrectionOperation::Revert, .reverted = 1}, ""},
    };
    const std::string before = journal.text;
    const std::string shown = Live();
    for (const auto& c : refused) EXPECT_NE(app.CorrectRace(c.correction, c.reason, ""), "");
    EXPECT_EQ(journal.text, before);
    EXPECT_EQ(Live(), shown);
    ASSERT_EQ(app.OpenResultFile("saved.rdt"), "");
    EXPECT_FALSE(app.CanCorrect());  // a result file has no record
    EXPECT_NE(app.CorrectRace(Dq(3), "理由", ""), "");
    app.StartRace();
    EXPECT_FALSE(app.CanCorrect());  // a race in progress
    EXPECT_EQ(journal.Lines("edit").size(), 0u);
}

// A race whose one short lap the director accepts: every output reads the
// corrected result, so nothing is provisional or marked any more.
class AcceptedShortLapTest : public LiveCorrectionTest {
  protected:
    AcceptedShortLapTest() {
        app.SetMinLap(5000);  // in force from the next start
        app.StartRace();
        RunUntil(clock.tick + 2500);
        Pass(3, 700);
        Pass(5, 100);
        Pass(3, 6000);
        Pass(3, 300);  // its lap 2, 0.3 s: flagged
        Pass(5, 6000);
        Pass(3, 6000);
        app.StopRace();
    }
    std::string LiveCsv() {
        const RaceDocument race = app.Document();
        return RaceCsv(race.state, race.result, race.window, app.Roster(), app.ExportFacts(),
                       race.disqualified);
    }
    nlohmann::json PageJson() {
        return nlohmann::json::parse(RaceJson(WithExactTimes(app.Window(), app.Result())));
    }
    bool WindowMarksALap() const {
        const GridModel& history = app.Window().LapHistory;
        for (int row = 0; row < history.Rows(); ++row)
            for (int col = 0; col < history.Cols(); ++col)
                if (history.CellMarked(row, col)) return true;
        return false;
    }
    static Correction Accept(int id, int ordinal) {
        return {.operation = CorrectionOperation::Accept, .id = id, .pass = {.ordinal = ordinal}};
    }
};

TEST_F(AcceptedShortLapTest, TheFlagMakesEveryOutputProvisionalUntilItIsAccepted) {
    ASSERT_TRUE(app.State().ShortLap(3, 2));
    EXPECT_TRUE(app.Provisional());
    EXPECT_TRUE(WindowMarksALap());
    EXPECT_NE(LiveCsv().find("暫定"), std::string::npos);
    EXPECT_TRUE(PageJson()["provisional"].get<bool>());
    ASSERT_EQ(app.CorrectRace(Accept(3, 3), "", ""), "");
    EXPECT_FALSE(app.Provisional());
    EXPECT_FALSE(WindowMarksALap());
    const std::string csv = LiveCsv();
    EXPECT_EQ(csv.find("暫定"), std::string::npos) << csv;
    EXPECT_EQ(csv.find("短いラップ"), std::string::npos) << csv;
    const nlohmann::json page = PageJson();
    EXPECT_FALSE(page["provisional"].get<bool>());
    EXPECT_TRUE(page["lapHistory"]["short"].empty());
}

TEST_F(AcceptedShortLapTest, RevertingTheAcceptMakesTheRaceProvisionalAgain) {
    ASSERT_EQ(app.CorrectRace(Accept(3, 3), "", ""), "");
    ASSERT_EQ(
        app.CorrectRace({.operation = CorrectionOperation::Revert, .reverted = 1}, "誤り", ""), "");
    EXPECT_TRUE(app.Provisional());
    EXPECT_TRUE(WindowMarksALap());
    EXPECT_NE(LiveCsv().find("短いラップ"), std::string::npos);
}

// The live export after the corrections is the record's replay's, byte for
// byte; a disqualification is placed last in both.
TEST_F(AcceptedShortLapTest, TheLiveCsvIsTheReplayOfTheRecord) {
    ASSERT_EQ(app.CorrectRace(Accept(3, 3), "", ""), "");
    ASSERT_EQ(app.CorrectRace(Dq(5), "コース外走行", ""), "");
    const std::string live = LiveCsv();
    ASSERT_NE(live.find("失格"), std::string::npos);
    recorder.Finish();
    const std::vector<std::filesystem::path> written = RecordFiles();
    ASSERT_EQ(written.size(), 1u);
    TemporaryCurrentDirectory here;
    std::ostringstream err;
    ASSERT_EQ(
        RunReplayCommand({"--replay", written.front().string(), "--export-csv", "r.csv"}, err), 0)
        << err.str();
    EXPECT_EQ(ReadBytes(here.Path() / "r.csv"), live);
}

}  // namespace
}  // namespace palomind::testing
