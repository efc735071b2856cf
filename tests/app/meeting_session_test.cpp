// The meeting run in the program without its window: where the races are
// recorded, what loading a heat sets, and how each heat's race is filed.
#include "app/meeting_session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/crash_recovery.h"
#include "app/journal_reading.h"
#include "app/race_core.h"
#include "app/replay.h"
#include "documents/cp932.h"
#include "documents/result_file.h"
#include "meeting/meeting_folder.h"
#include "record/race_heat.h"
#include "record/race_record_folder.h"
#include "record/race_start_time.h"
#include "tests/support/meeting_entrant.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/receiver_frame.h"
#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

class TextJournal final : public EventJournal {
  public:
    bool Record(const JournalEvent& event) override {
        text += FormatJournalLine(event) + "\n";
        return true;
    }
    bool Note(std::string_view) override { return true; }
    void SyncIfDue() override {}
    std::string text = "palomind-journal 1\n";
};

// The crashed run's journal: its name gives the run's start its records
// were named by.
constexpr const char* kCrashedJournal = "palomind-20261209-100000-4242.running.journal";

struct SteppedClock final : TickClock {
    std::int32_t TimeGetTime() override { return tick; }
    std::atomic<std::int32_t> tick = 2'000'000;
};

// Class "GT" (race time 3 s, start wait 1 s, minimum lap 700 ms) with
// three entrants on transponders 4, 7 and 9, practice and one round of one
// heat drawn 7, 4.
Meeting TwoHeatMeeting() {
    Meeting meeting;
    meeting.name = "Club day";
    meeting.date = "2026-12-09";
    MeetingClass& gt = AddClass(meeting, "GT");
    gt.raceTimeS = 3;
    gt.startWaitS = 1;
    gt.minLapMs = 700;
    gt.practiceTimeS = 2;
    gt.rounds = 1;
    meeting.entries = {Entrant(1, "青木", 4), Entrant(2, "Baba", 7), Entrant(3, "Chiba", 9)};
    Heat heat;
    heat.id = QualifyingHeatId(gt.id, 1, 1);
    heat.number = 1;
    heat.entrants = {2, 1};  // Chiba runs in practice only
    MeetingRound round;
    round.classId = gt.id;
    round.number = 1;
    round.seed = 5;
    round.heats = {heat};
    meeting.rounds.push_back(round);
    return meeting;
}

class MeetingSessionTest : public ::testing::Test {
  protected:
    MeetingSessionTest()
        : app({clock, sound, serial, settings, dialogs, memoryFiles, journal, "boot-1"}),
          records(working.Path() / "races"),
          recorder(records, RaceRecorder::WhenTaken::NextNumber,
                   RunStartFromJournalName(kCrashedJournal)),
          session(app, diskFiles, working.Path() / "races") {
        memoryFiles.files["Palomind.ini"] = Utf8ToCp932("1\r\n20\r\n2\r\n0\r\n\"レース\"\r\n");
        app.LoadStartupFiles();
        app.KeepRaceRecords(&recorder);
        app.KeepRaceRecordsIn(&records);
        app.Boot();
        EXPECT_TRUE(serial.Open(1));
        std::string error;
        EXPECT_TRUE(SaveMeeting(meetingFolder.Path().string(), TwoHeatMeeting(), diskFiles, error))
            << error;
    }

    std::string Folder() const { return meetingFolder.Path().string(); }
    void RunFor(std::int32_t ms) {
        for (const std::int32_t end = clock.tick + ms; clock.tick < end;) {
            clock.tick += 10;
            app.Timer1_Timer();
        }
    }
    void Pass(std::uint8_t id) { serial.Receive(Frame(id)); }
    // The meeting opened, `heat` loaded and its race under way for `ms`.
    void RunHeatFor(const std::string& heat, std::int32_t ms) {
        if (!session.IsOpen()) {
            EXPECT_EQ(session.Open(Folder()), "");
        }
        EXPECT_EQ(session.PrepareHeat(heat), "");
        app.StartRace();
        RunFor(ms);
    }
    // Every transponder given laps the whole race time and finishes.
    void RunToTheFinish(const std::vector<std::uint8_t>& ids) {
        app.StartRace();
        RunFor(app.State().StartWait * 1000 + 100);
        for (int lap = 0; lap <= app.State().RaceTime; ++lap) {
            for (const std::uint8_t id : ids) Pass(id);
            RunFor(1000);
        }
        RunFor(500);
        for (const std::uint8_t id : ids) Pass(id);
    }
    std::vector<std::string> RecordsIn(const fs::path& folder) const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error))
            names.push_back(entry.path().filename().string());
        return names;
    }
    HeatState StateOf(const std::string& heat) const {
        std::string error;
        const auto schedule = session.Schedule(error);
        EXPECT_TRUE(schedule) << error;
        for (const ScheduledHeat& scheduled : *schedule) {
            if (scheduled.id == heat) return scheduled.state;
        }
        ADD_FAILURE() << "no heat " << heat;
        return HeatState::ToRun;
    }
    std::vector<HeatRecord> Filed(const std::string& heat) const {
        const LoadedMeeting saved = LoadMeeting(Folder(), diskFiles);
        EXPECT_TRUE(saved.meeting) << saved.error;
        if (heat == "c1-p") return saved.meeting->classes.at(0).practiceRecords;
        return saved.meeting->rounds.at(0).heats.at(0).records;
    }
    std::string Replayed() const {
        const JournalParseResult parsed = ReadJournal(journal.text);
        EXPECT_TRUE(parsed.ok) << parsed.error;
        SteppedClock replayClock;
        RecordingSoundPlayer silent(replayClock);
        RaceCore core(silent);
        ReplayJournal(parsed.events, core, std::nullopt);
        return FormatResultFile(core.State(), core.Window());
    }

    ScratchFolder working;
    ScratchFolder meetingFolder;
    SteppedClock clock;
    RecordingSoundPlayer sound{clock};
    FakeSerialPort serial;
    MemorySettingsStore settings;
    ScriptedUserDialogs dialogs;
    MemoryFileStore memoryFiles;
    mutable DiskFileStore diskFiles;
    TextJournal journal;
    Application app;
    RaceRecordFolder records;
    RaceRecorder recorder;
    MeetingSession session;
};

TEST_F(MeetingSessionTest, RecordsGoIntoTheMeetingsRacesOnlyWhileItIsOpen) {
    const fs::path meetingRaces = meetingFolder.Path() / kMeetingRacesFolder;
    const fs::path workingRaces = working.Path() / "races";
    const auto race = [this] {
        app.StartRace();
        RunFor(1500);
        app.StopRace();
        RunFor(1000);  // the next record takes another second
    };
    race();
    ASSERT_EQ(session.Open(Folder()), "");
    race();
    race();
    session.Close();
    race();
    EXPECT_EQ(RecordsIn(workingRaces).size(), 2u);
    EXPECT_EQ(RecordsIn(meetingRaces).size(), 2u);
}

TEST_F(MeetingSessionTest, PreparingAHeatSetsItsNamesParametersTitleAndHeatLine) {
    app.SetName(4, "Ito");
    app.SetName(9, "Kato");
    app.CommentTyped("晴れ\r\n路面ドライ");
    ASSERT_EQ(session.Open(Folder()), "");
    struct Case {
        std::string heat;
        std::int32_t raceTime;
        std::int32_t startWait;
        std::string comment;
        std::string nameOf9;  // the file's name where 9 is not in the heat
    };
    for (const Case& c :
         {Case{"c1-p", 2, 0, "GT 練習\r\n晴れ\r\n路面ドライ", "Chiba"},
          Case{"c1-q1-1", 3, 1, "GT 予選1 ヒート1\r\n晴れ\r\n路面ドライ", "Kato"}}) {
        SCOPED_TRACE(c.heat);
        ASSERT_EQ(session.PrepareHeat(c.heat), "");
        EXPECT_EQ(app.Roster()[4], "青木");
        EXPECT_EQ(app.Roster()[7], "Baba");
        EXPECT_EQ(app.Roster()[9], c.nameOf9);
        EXPECT_EQ(app.State().RaceTime, c.raceTime);
        EXPECT_EQ(app.State().StartWait, c.startWait);
        EXPECT_EQ(app.State().MinLapMs, 700);
        EXPECT_EQ(app.Window().Comment, c.comment);
        EXPECT_EQ(app.State().Heat, c.heat);
        EXPECT_TRUE(session.HeatRosterLoaded());
    }
}

TEST_F(MeetingSessionTest, ClosingTheMeetingBringsBackTheNamesAndMinimumLapAndUnloadsTheHeat) {
    app.SetName(4, "Ito");
    app.SetMinLap(1500);
    ASSERT_EQ(session.Open(Folder()), "");
    ASSERT_EQ(session.PrepareNextHeat(), "");
    session.Close();
    EXPECT_EQ(app.Roster()[4], "Ito");
    EXPECT_EQ(app.State().MinLapMs, 1500);
    EXPECT_EQ(settings.GetSetting("Race", "MinLapMs"), "1500");
    EXPECT_EQ(app.State().Heat, "");
    EXPECT_FALSE(session.HeatRosterLoaded());
}

TEST_F(MeetingSessionTest, AnUnknownHeatIsRefusedAndNothingChanges) {
    ASSERT_EQ(session.Open(Folder()), "");
    EXPECT_NE(session.PrepareHeat("c9-q1-1"), "");
    EXPECT_EQ(app.State().Heat, "");
    EXPECT_FALSE(session.HeatRosterLoaded());
}

TEST_F(MeetingSessionTest, AHeatAllFinishedIsFiledDone) {
    ASSERT_EQ(session.Open(Folder()), "");
    ASSERT_EQ(session.PrepareHeat("c1-q1-1"), "");
    RunToTheFinish({4, 7, 9});
    ASSERT_EQ(Filed("c1-q1-1").size(), 1u);
    EXPECT_EQ(StateOf("c1-q1-1"), HeatState::Done);
    EXPECT_EQ(Replayed(), FormatResultFile(app.State(), app.Window()));
}

TEST_F(MeetingSessionTest, AHeatStoppedIsFiledStoppedUntilAccepted) {
    RunHeatFor("c1-q1-1", 1500);
    EXPECT_EQ(StateOf("c1-q1-1"), HeatState::Running);
    Pass(4);
    app.StopRace();
    EXPECT_EQ(StateOf("c1-q1-1"), HeatState::Stopped);
    EXPECT_EQ(session.AcceptHeat("c1-q1-1"), "");
    EXPECT_EQ(StateOf("c1-q1-1"), HeatState::Done);
}

TEST_F(MeetingSessionTest, ANewStartOfTheSameHeatFilesTheRaceItEndsAsReplaced) {
    RunHeatFor("c1-q1-1", 1200);
    RunToTheFinish({4, 7, 9});
    const std::vector<HeatRecord> filed = Filed("c1-q1-1");
    ASSERT_EQ(filed.size(), 2u);
    EXPECT_TRUE(filed[0].replaced);
    EXPECT_FALSE(filed[1].replaced);
    EXPECT_EQ(StateOf("c1-q1-1"), HeatState::Done);
}

TEST_F(MeetingSessionTest, ARerunMarksTheRecordFiledBeforeReplacedAsItStarts) {
    RunHeatFor("c1-q1-1", 1500);
    app.StopRace();
    RunFor(1000);
    ASSERT_EQ(session.RerunHeat("c1-q1-1"), "");
    app.StartRace();
    const std::vector<HeatRecord> filed = Filed("c1-q1-1");
    ASSERT_EQ(filed.size(), 1u);
    EXPECT_TRUE(filed[0].replaced);
    EXPECT_EQ(StateOf("c1-q1-1"), HeatState::Running);
}

TEST_F(MeetingSessionTest, AnotherHeatsStartFilesTheRaceItEndsUnderItsOwnHeat) {
    RunHeatFor("c1-p", 1200);
    app.SetHeat("c1-q1-1");
    app.StartRace();
    ASSERT_EQ(Filed("c1-p").size(), 1u);
    EXPECT_FALSE(Filed("c1-p")[0].replaced);
    EXPECT_EQ(StateOf("c1-p"), HeatState::Stopped);
}

// The program started again after a crash, the meeting open before the
// crashed run's race is restored.
struct RestartedProgram {
    RestartedProgram(SteppedClock& clock, const fs::path& working, const std::string& meeting,
                     std::string bootIdentity)
        : app({clock, sound, serial, settings, dialogs, memoryFiles, journal,
               std::move(bootIdentity)}),
          records(working / "races"),
          recorder(records, RaceRecorder::WhenTaken::NextNumber, std::nullopt),
          session(app, diskFiles, working / "races") {
        app.LoadStartupFiles();
        app.KeepRaceRecords(&recorder);
        app.KeepRaceRecordsIn(&records);
        EXPECT_EQ(session.Open(meeting), "");
    }
    SteppedClock silentClock;
    RecordingSoundPlayer sound{silentClock};
    FakeSerialPort serial;
    MemorySettingsStore settings;
    ScriptedUserDialogs dialogs;
    MemoryFileStore memoryFiles;
    DiskFileStore diskFiles;
    TextJournal journal;
    Application app;
    RaceRecordFolder records;
    RaceRecorder recorder;
    MeetingSession session;
};

// On the same boot the race goes on live and is filed as it is stopped;
// after the machine restarted it is restored stopped and filed at once.
TEST_F(MeetingSessionTest, ARaceRestoredAfterACrashIsFiledUnderItsHeat) {
    RunHeatFor("c1-q1-1", 500);  // crashed in the start's countdown
    const JournalParseResult crashed = ParseCrashedJournal(journal.text);
    ASSERT_TRUE(crashed.ok) << crashed.error;
    const std::string crashedRecord = recorder.Current().value() + ".race";
    std::string error;
    for (const bool sameBoot : {true, false}) {
        SCOPED_TRACE(sameBoot ? "same boot" : "machine restarted");
        ASSERT_TRUE(SaveMeeting(Folder(), TwoHeatMeeting(), diskFiles, error)) << error;
        RestartedProgram restarted(clock, working.Path(), Folder(), sameBoot ? "boot-1" : "boot-2");
        EXPECT_EQ(restarted.app.BootRestoring(crashed.events, kCrashedJournal), sameBoot);
        restarted.session.FileRestoredRace(HeatOfLastRace(crashed.events));
        if (sameBoot) {
            EXPECT_TRUE(Filed("c1-q1-1").empty());
            clock.tick += 500;
            restarted.app.StopRace();
        }
        const std::vector<HeatRecord> filed = Filed("c1-q1-1");
        ASSERT_EQ(filed.size(), 1u);
        EXPECT_EQ(filed[0].file, crashedRecord);
    }
}

// The crashed run's earlier races are replayed at the restore: they are
// not run again, so the heats they were filed under keep their records.
TEST_F(MeetingSessionTest, ARestoreLeavesTheHeatsTheCrashedRunFiledBeforeAsFiled) {
    RunHeatFor("c1-p", 1200);
    app.SetHeat("c1-q1-1");
    app.StartRace();
    RunFor(500);
    const JournalParseResult crashed = ParseCrashedJournal(journal.text);
    ASSERT_TRUE(crashed.ok) << crashed.error;
    RestartedProgram restarted(clock, working.Path(), Folder(), "boot-1");
    ASSERT_TRUE(restarted.app.BootRestoring(crashed.events, kCrashedJournal));
    restarted.session.FileRestoredRace(HeatOfLastRace(crashed.events));
    const std::vector<HeatRecord> practice = Filed("c1-p");
    ASSERT_EQ(practice.size(), 1u);
    EXPECT_FALSE(practice[0].replaced);
}

TEST_F(MeetingSessionTest, TheCheckTellsTheHeatsTransponderSeenAndStrangersUntilTheStart) {
    ASSERT_EQ(session.Open(Folder()), "");
    EXPECT_EQ(session.Check(), nullptr);
    ASSERT_EQ(session.PrepareHeat("c1-q1-1"), "");
    Pass(4);
    Pass(17);
    RunFor(20);
    ASSERT_NE(session.Check(), nullptr);
    EXPECT_EQ(session.Check()->SeenInHeat(), (std::set<int>{4}));
    EXPECT_EQ(session.Check()->Strangers(), (std::set<int>{17}));
    app.StartRace();
    EXPECT_EQ(session.Check(), nullptr);
}

TEST_F(MeetingSessionTest, ARefusedMeetingFileIsNotOpenedNorOverwritten) {
    meetingFolder.Write(kMeetingFileName, "{\"format\": 99}");
    EXPECT_NE(session.Open(Folder()), "");
    EXPECT_FALSE(session.IsOpen());
    EXPECT_EQ(ReadBytes(meetingFolder.Path() / kMeetingFileName), "{\"format\": 99}");
}

}  // namespace
}  // namespace palomind::testing
