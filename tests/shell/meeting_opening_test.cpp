// Coming to a meeting through the File menu and at start: new, open, the
// recent meetings, the meeting open at the end, a crashed heat restored into
// it, and the roster dialog while a heat's names are loaded.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "app/meeting_command.h"
#include "meeting/meeting_folder.h"
#include "record/race_record_folder.h"
#include "record/race_start_time.h"
#include "shell/roster_dialog.h"
#include "tests/support/meeting_entrant.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

// Class "GT" with 青木 on transponder 1 and Baba on 7, drawn into its first
// round's one heat.
Meeting OneHeatMeeting(const std::string& name) {
    Meeting meeting;
    meeting.name = name;
    meeting.date = "2026-12-09";
    MeetingClass& gt = AddClass(meeting, "GT");
    gt.raceTimeS = 3;
    gt.startWaitS = 1;
    gt.rounds = 1;
    meeting.entries = {Entrant(1, "青木", 1), Entrant(2, "Baba", 7)};
    Heat heat;
    heat.id = QualifyingHeatId(gt.id, 1, 1);
    heat.number = 1;
    heat.entrants = {1, 2};
    MeetingRound round;
    round.classId = gt.id;
    round.number = 1;
    round.heats = {heat};
    meeting.rounds.push_back(round);
    return meeting;
}

const std::string kHeat = QualifyingHeatId("c1", 1, 1);

class MeetingOpeningTest : public StartedShellTest {
  protected:
    // The meeting `name` saved in the subfolder `sub` of the scratch folder.
    std::string SavedMeeting(const std::string& sub, const std::string& name) const {
        const std::string folder = scratch.File(sub);
        fs::create_directories(folder);
        std::string error;
        DiskFileStore disk;
        EXPECT_TRUE(SaveMeeting(folder, OneHeatMeeting(name), disk, error)) << error;
        return folder;
    }
    void OpenThroughTheMenu(const std::string& folder) {
        h.dialogs.folderAnswers.push_back(folder);
        h.Choose("mnuFileOpenMeeting");
    }
    // The recent items shown, in menu order.
    std::vector<std::string> RecentCaptions() const {
        std::vector<std::string> captions;
        for (int n = 1; n <= 5; ++n) {
            const QAction* item = h.Item(("mnuFileMeeting" + std::to_string(n)).c_str());
            if (item->isVisible()) captions.push_back(item->text().toStdString());
        }
        return captions;
    }
    bool WindowShown() const {
        return h.meetings->Window() != nullptr && h.meetings->Window()->isVisible();
    }

    ScratchFolder scratch;
};

TEST_F(MeetingOpeningTest, NewOpenAndARecentItemOpenTheMeetingAndShowItsWindow) {
    const std::string kept = SavedMeeting("kept", "Club day");
    struct Case {
        const char* how;
        std::function<void()> choose;
        std::string folder;
        std::string name;
        std::string date;
    };
    const std::string created = scratch.File("new");
    const std::vector<Case> cases = {
        {"new",
         [&] {
             h.dialogs.folderAnswers.push_back(created);
             h.dialogs.inputAnswers.push_back("Winter cup");
             h.Choose("mnuFileNewMeeting");
         },
         created, "Winter cup", LocalDate(h.now)},
        {"open", [&] { OpenThroughTheMenu(kept); }, kept, "Club day", "2026-12-09"},
        {"recent: the newest but one", [&] { h.Choose("mnuFileMeeting2"); }, created, "Winter cup",
         LocalDate(h.now)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        c.choose();
        EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front();
        ASSERT_TRUE(h.session->IsOpen());
        EXPECT_EQ(h.session->Folder(), c.folder);
        EXPECT_EQ(h.session->OpenMeeting()->name, c.name);
        EXPECT_EQ(h.session->OpenMeeting()->date, c.date);
        EXPECT_TRUE(WindowShown());
        EXPECT_EQ(h.meetings->Window()->windowTitle().toStdString(), c.name);
        EXPECT_EQ(RecentCaptions().front(), "&1 " + c.name);
    }
    EXPECT_EQ(h.dialogs.folderRequests, (std::vector<std::string>{"大会を新規作成", "大会を開く"}));
}

TEST_F(MeetingOpeningTest, AMeetingThatDoesNotOpenIsToldAndNothingOpens) {
    const std::string refused = SavedMeeting("refused", "Old");
    const std::string recentRefused = SavedMeeting("gone", "Gone");
    OpenThroughTheMenu(recentRefused);
    h.meetings->CloseMeeting();
    const std::string newerFormat = "{\"format\": 99}";
    WriteBytes(fs::path(refused) / kMeetingFileName, newerFormat);
    WriteBytes(fs::path(recentRefused) / kMeetingFileName, newerFormat);
    struct Case {
        const char* how;
        std::function<void()> choose;
        bool told;
    };
    const std::vector<Case> cases = {
        {"recent: a newer format now, it leaves the list", [&] { h.Choose("mnuFileMeeting1"); },
         true},
        {"open: a newer format", [&] { OpenThroughTheMenu(refused); }, true},
        {"new: a folder in use",
         [&] {
             h.dialogs.folderAnswers.push_back(refused);
             h.dialogs.inputAnswers.push_back("Again");
             h.Choose("mnuFileNewMeeting");
         },
         true},
        {"open: cancelled", [&] { OpenThroughTheMenu(""); }, false},
        {"new: the name cancelled",
         [&] {
             h.dialogs.folderAnswers.push_back(scratch.File("unused"));
             h.dialogs.inputAnswers.push_back(std::nullopt);
             h.Choose("mnuFileNewMeeting");
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        h.dialogs.messages.clear();
        c.choose();
        EXPECT_EQ(h.dialogs.messages.size(), c.told ? 1u : 0u);
        EXPECT_FALSE(h.session->IsOpen());
        EXPECT_FALSE(WindowShown());
        EXPECT_TRUE(RecentCaptions().empty()) << "a meeting that did not open is not listed";
    }
    EXPECT_EQ(ReadBytes(fs::path(refused) / kMeetingFileName), newerFormat);
    EXPECT_FALSE(fs::exists(scratch.File("unused")));
}

TEST_F(MeetingOpeningTest, TheRecentListIsNewestFirstFiveAtMostAndNotInTheSettingsFile) {
    const std::string settingsFile = h.ReadFile("Palomind.ini");
    std::vector<std::string> folders;
    for (int n = 1; n <= 6; ++n)
        folders.push_back(SavedMeeting("m" + std::to_string(n), "M" + std::to_string(n)));
    for (const std::string& folder : folders) OpenThroughTheMenu(folder);
    OpenThroughTheMenu(folders[3]);  // opened again: to the top, not twice
    const std::vector<std::string> expected = {"&1 M4", "&2 M6", "&3 M5", "&4 M3", "&5 M2"};
    EXPECT_EQ(RecentCaptions(), expected);

    {
        ShellHarness next;
        next.settings.values = h.settings.values;
        next.Start();
        std::vector<std::string> listed;
        for (const RecentMeeting& meeting : next.meetings->Recent()) listed.push_back(meeting.name);
        EXPECT_EQ(listed, (std::vector<std::string>{"M4", "M6", "M5", "M3", "M2"}));
    }

    h.Close();
    EXPECT_EQ(h.ReadFile("Palomind.ini"), settingsFile);
}

TEST_F(MeetingOpeningTest, ClosingTheMeetingHidesItsWindowAndTheNextStartOpensNone) {
    OpenThroughTheMenu(SavedMeeting("kept", "Club day"));
    emit h.meetings->Window()->closeMeetingRequested();
    EXPECT_FALSE(h.session->IsOpen());
    EXPECT_FALSE(WindowShown());

    ShellHarness next;
    next.settings.values = h.settings.values;
    next.Start();
    EXPECT_FALSE(next.session->IsOpen());
    EXPECT_EQ(next.meetings->Recent().size(), 1u) << "it stays in the recent list";
}

TEST_F(MeetingOpeningTest, AMeetingThatNoLongerOpensAtStartIsToldOnceAndTheProgramGoesOn) {
    const std::string folder = SavedMeeting("kept", "Club day");
    OpenThroughTheMenu(folder);
    fs::remove(fs::path(folder) / kMeetingFileName);
    std::map<std::pair<std::string, std::string>, std::string> settings = h.settings.values;
    for (const int start : {1, 2}) {
        SCOPED_TRACE(start);
        ShellHarness next;
        next.WriteFile("Palomind.ini", SettingsFileBytes(1, 480, 10, 0));
        next.WriteFile("idname.ind", RosterFileBytes());
        next.settings.values = settings;
        next.Start();
        EXPECT_EQ(next.dialogs.messages.size(), start == 1 ? 1u : 0u);
        EXPECT_FALSE(next.session->IsOpen());
        EXPECT_EQ(next.Model().StatusCaption, "待機中");
        settings = next.settings.values;
    }
}

TEST_F(MeetingOpeningTest, TheRosterDialogWithAHeatLoadedEditsItsNamesAndOkLeavesTheFile) {
    OpenThroughTheMenu(SavedMeeting("kept", "Club day"));
    ASSERT_EQ(h.session->PrepareHeat(kHeat), "");
    const std::string rosterFile = h.ReadFile("idname.ind");
    h.Choose("mnuEditName");
    dlgIdName* roster = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<dlgIdName*>(top)) roster = dialog;
    }
    ASSERT_NE(roster, nullptr);
    const auto* grid = roster->findChild<QTableWidget*>();
    EXPECT_EQ(grid->item(1, 1)->text().toStdString(), "青木") << "ID 1, the heat's name";
    roster->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("Typed"));
    roster->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    EXPECT_FALSE(roster->isVisible());
    EXPECT_EQ(h.app->Roster()[1], "Typed");
    EXPECT_EQ(h.ReadFile("idname.ind"), rosterFile);
}

// The program killed in a heat's countdown; at the next start, on another
// boot, its meeting is open before the restore is asked, and the restored
// race is filed under the heat at once (it was restored stopped).
TEST(MeetingAtStartTest, TheMeetingOpenAtTheEndIsOpenedBeforeTheCrashedHeatIsRestored) {
    ScratchFolder scratch;
    std::string error;
    DiskFileStore disk;
    ASSERT_TRUE(SaveMeeting(scratch.Path().string(), OneHeatMeeting("Club day"), disk, error));
    // A program with its race records kept, as it runs.
    struct Program {
        Program(std::string boot, const std::string& run)
            : h(std::move(boot), run),
              recorder(records, RaceRecorder::WhenTaken::NextNumber,
                       RunStartFromJournalName(run + ".running.journal")) {
            h.WriteFile("Palomind.ini", SettingsFileBytes(1, 20, 2, 0));
            h.WriteFile("idname.ind", RosterFileBytes());
            h.app->KeepRaceRecords(&recorder);
            h.app->KeepRaceRecordsIn(&records);
        }
        ShellHarness h;
        RaceRecordFolder records{"races"};
        RaceRecorder recorder;
    };
    std::string crashedJournal;
    fs::path crashedJournalName;
    std::string crashedRecord;
    std::map<std::pair<std::string, std::string>, std::string> settings;
    {
        Program crashed("boot-1", "palomind-20261209-090000-4242");
        crashed.h.Start();
        crashed.h.dialogs.folderAnswers.push_back(scratch.Path().string());
        crashed.h.Choose("mnuFileOpenMeeting");
        ASSERT_EQ(crashed.h.session->PrepareHeat(kHeat), "");
        crashed.h.Press("レース開始");
        crashed.h.RunClockUntil(crashed.h.Now() + 500);
        crashedJournal = crashed.h.ReadFile(crashed.h.journal.Path().string());
        crashedJournalName = crashed.h.journal.Path().filename();
        crashedRecord = crashed.recorder.Current().value_or("") + ".race";
        settings = crashed.h.settings.values;
    }
    Program next("boot-2", "palomind-20261209-100000-4243");
    fs::create_directories("journal");
    next.h.WriteFile((fs::path("journal") / crashedJournalName).string(), crashedJournal);
    next.h.settings.values = settings;
    bool openWhenAsked = false;
    next.h.dialogs.whileAsking = [&] { openWhenAsked = next.h.session->IsOpen(); };
    next.h.dialogs.yesNoAnswers.push_back(true);
    next.h.Start();
    EXPECT_TRUE(openWhenAsked);
    EXPECT_EQ(next.h.dialogs.messages, std::vector<std::string>{std::string(kRestoredStoppedText)});
    const LoadedMeeting saved = LoadMeeting(scratch.Path().string(), disk);
    ASSERT_TRUE(saved.meeting) << saved.error;
    const std::vector<HeatRecord>& filed = saved.meeting->rounds.at(0).heats.at(0).records;
    ASSERT_EQ(filed.size(), 1u);
    EXPECT_EQ(filed[0].file, crashedRecord);
    EXPECT_TRUE(fs::exists(scratch.Path() / kMeetingRacesFolder / crashedRecord));
}

}  // namespace
}  // namespace palomind::testing
