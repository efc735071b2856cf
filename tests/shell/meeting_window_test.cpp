// The meeting window over a real session and application: what its
// schedule, heat and transponder check show, and what its buttons command.
#include "shell/meeting_window.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/meeting_harness.h"

namespace palomind::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Class "GT" (race time 30 s, start wait 1 s) with practice and round 1 of
// two heats: heat 1 is 青木 (4) and Baba (7), heat 2 is Chiba (9).
Meeting ClubDay() {
    Meeting meeting;
    meeting.name = "Club day";
    meeting.date = "2026-12-09";
    MeetingClass& gt = AddClass(meeting, "GT");
    gt.raceTimeS = 30;
    gt.startWaitS = 1;
    gt.practiceTimeS = 30;
    gt.rounds = 1;
    meeting.entries = {Entrant(1, "青木", 4), Entrant(2, "Baba", 7), Entrant(3, "Chiba", 9)};
    meeting.entries[0].car = "TRF421";
    meeting.entries[0].club = "RC湘南";
    MeetingRound round{.classId = gt.id, .number = 1, .seed = 5, .heats = {}};
    round.heats.push_back(
        {.id = QualifyingHeatId(gt.id, 1, 1), .number = 1, .entrants = {1, 2}, .records = {}});
    round.heats.push_back(
        {.id = QualifyingHeatId(gt.id, 1, 2), .number = 2, .entrants = {3}, .records = {}});
    meeting.rounds.push_back(round);
    return meeting;
}

class MeetingWindowTest : public ::testing::Test {
  protected:
    MeetingWindowTest() {
        h.OpenMeeting(ClubDay());
        window.Refresh();
    }

    template <typename Widget>
    Widget* Find(const char* name) {
        auto* widget = window.findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    Rows Table(const char* name, std::vector<int> columns) {
        const QTableWidget* table = Find<QTableWidget>(name);
        Rows rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            rows.emplace_back();
            for (const int column : columns) {
                const QTableWidgetItem* item = table->item(row, column);
                rows.back().push_back(item ? item->text().toStdString() : std::string());
            }
        }
        return rows;
    }
    void Click(const char* button) { Find<QPushButton>(button)->click(); }
    void SelectHeat(int row) {
        window.Refresh();
        Find<QTableWidget>("scheduleTable")->selectRow(row);
    }
    // The window follows the session by its own timer.
    bool Shows(const char* table, std::vector<int> columns, const Rows& expected) {
        return QTest::qWaitFor([&] { return Table(table, columns) == expected; }, 5000);
    }

    MeetingHarness h;
    MeetingWindow window{h.session, h.dialogs};
};

TEST_F(MeetingWindowTest, TheScheduleShowsEveryHeatInRunningOrderWithItsStateAndTheNextMarked) {
    ASSERT_EQ(h.session.PrepareHeat("c1-p"), "");
    h.RunStoppedRace({4, 7, 9}, {1000});
    ASSERT_EQ(h.session.AcceptHeat("c1-p"), "");
    ASSERT_EQ(h.session.PrepareHeat("c1-q1-1"), "");
    h.RunStoppedRace({4}, {1000});
    const Rows expected = {{"", "GT 練習", "GT", "練習", "3", "完了"},
                           {"▶", "GT 予選1 ヒート1", "GT", "予選1", "2", "ストップ"},
                           {"", "GT 予選1 ヒート2", "GT", "予選1", "1", "未実施"}};
    EXPECT_TRUE(Shows("scheduleTable", {0, 1, 2, 3, 4, 5}, expected))
        << ::testing::PrintToString(Table("scheduleTable", {0, 1, 2, 3, 4, 5}));
}

TEST_F(MeetingWindowTest, AScheduleWhoseRecordCannotBeReadShowsTheOneLineError) {
    ASSERT_EQ(h.session.PrepareHeat("c1-p"), "");
    h.RunStoppedRace({4}, {1000});
    const std::string file = h.session.OpenMeeting()->classes[0].practiceRecords.at(0).file;
    WriteBytes(h.meetingFolder.Path() / "races" / file, "not a race record\n");
    window.Refresh();
    const QLabel* error = Find<QLabel>("scheduleError");
    EXPECT_FALSE(error->isHidden());
    EXPECT_TRUE(error->text().contains(QString::fromStdString(file)))
        << error->text().toStdString();
    EXPECT_FALSE(error->text().contains('\n'));
}

TEST_F(MeetingWindowTest, PreparingTheNextHeatGivesTheApplicationItsNamesAndTitle) {
    h.app.CommentTyped("晴れ");
    Click("prepareNextButton");
    EXPECT_TRUE(h.dialogs.messages.empty()) << ::testing::PrintToString(h.dialogs.messages);
    EXPECT_EQ(h.app.State().Heat, "c1-p");
    EXPECT_EQ(h.app.Roster()[4], "青木");
    EXPECT_EQ(h.app.Roster()[9], "Chiba");
    EXPECT_EQ(h.app.Window().Comment, "GT 練習\r\n晴れ");
    EXPECT_EQ(Table("heatTable", {1, 2, 3, 4, 5}), (Rows{{"1", "青木", "4", "TRF421", "RC湘南"},
                                                         {"2", "Baba", "7", "", ""},
                                                         {"3", "Chiba", "9", "", ""}}));
}

TEST_F(MeetingWindowTest, PreparingAHeatDuringARaceShowsTheSessionsMessage) {
    h.app.StartRace();
    Click("prepareNextButton");
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.app.State().Heat, "");
}

TEST_F(MeetingWindowTest, TheCheckShowsSeenMissingAndStrangersAsPassesArriveUntilTheStart) {
    ASSERT_EQ(h.session.PrepareHeat("c1-q1-1"), "");
    window.Refresh();
    EXPECT_TRUE(Shows("checkTable", {0, 1, 2}, {{"4", "青木", "未確認"}, {"7", "Baba", "未確認"}}));
    h.Pass(4);
    h.Pass(17);
    h.RunFor(20);
    const Rows expected = {
        {"4", "青木", "確認済み"}, {"7", "Baba", "未確認"}, {"17", "", "ヒート外"}};
    EXPECT_TRUE(Shows("checkTable", {0, 1, 2}, expected))
        << ::testing::PrintToString(Table("checkTable", {0, 1, 2}));
    h.app.StartRace();
    const QGroupBox* check = Find<QGroupBox>("checkBox");
    EXPECT_TRUE(QTest::qWaitFor([&] { return check->isHidden(); }, 5000));
}

TEST_F(MeetingWindowTest, AFiledHeatShowsItsResultWithDnsAndNotEnteredRows) {
    ASSERT_EQ(h.session.PrepareHeat("c1-q1-1"), "");
    h.RunStoppedRace({4, 17}, {1200, 1100});
    SelectHeat(1);
    EXPECT_EQ(Table("heatTable", {0, 2, 6, 7, 8}),
              (Rows{{"1", "青木", "2", "2.400", "1.100"}, {"DNS", "Baba", "0", "", ""}}));
    EXPECT_EQ(Table("notEnteredTable", {0, 1}), (Rows{{"17", "3"}}));
}

TEST_F(MeetingWindowTest, PracticeShowsEachEntrantsFastestLapAndBestThreeInARow) {
    ASSERT_EQ(h.session.PrepareHeat("c1-p"), "");
    h.RunStoppedRace({4}, {1000, 1100, 1200, 900, 1300});
    SelectHeat(0);
    EXPECT_EQ(
        Table("heatTable", {2, 6, 8, 9}),
        (Rows{{"青木", "5", "0.900", "3.200"}, {"Baba", "0", "", ""}, {"Chiba", "0", "", ""}}));
}

TEST(MeetingWindowButtonsTest, AStoppedHeatIsAcceptedOrRerunAfterTheDirectorSaysYes) {
    struct Case {
        const char* button;
        bool answer;
        const char* state;
        const char* loaded;
    };
    for (const Case& c : {Case{"acceptHeatButton", false, "完了", ""},
                          Case{"rerunHeatButton", false, "ストップ", ""},
                          Case{"rerunHeatButton", true, "ストップ", "c1-q1-1"}}) {
        SCOPED_TRACE(std::string(c.button) + (c.answer ? " yes" : " no"));
        MeetingHarness harness;
        harness.OpenMeeting(ClubDay());
        ASSERT_EQ(harness.session.PrepareHeat("c1-q1-1"), "");
        harness.RunStoppedRace({4, 7}, {1000});
        harness.app.SetHeat({});  // as after a race of no heat
        MeetingWindow stopped(harness.session, harness.dialogs);
        stopped.findChild<QTableWidget*>("scheduleTable")->selectRow(1);
        harness.dialogs.yesNoAnswers = {c.answer};
        stopped.findChild<QPushButton*>(c.button)->click();
        EXPECT_EQ(stopped.findChild<QTableWidget*>("scheduleTable")->item(1, 5)->text(),
                  QString::fromUtf8(c.state));
        EXPECT_EQ(harness.app.State().Heat, c.loaded);
    }
}

}  // namespace
}  // namespace palomind::testing
