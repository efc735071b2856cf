// The meeting's entry list, classes and qualifying draw in the window,
// driven as the director would with scripted dialogs; every change is
// checked in meeting.json on disk.
#include "shell/meeting_entries_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <deque>

#include "documents/cp932.h"
#include "meeting/class_settings.h"
#include "meeting/heat_draw.h"
#include "meeting/meeting_folder.h"
#include "platform/tick_clock.h"
#include "shell/class_settings_dialog.h"
#include "shell/entry_dialog.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/test_folders.h"
#include "tests/support/unwritten_journal.h"

namespace palomind::testing {
namespace {

// A meeting with class GT (heats of 2, two rounds): Aoki (1, transponder
// 4), Baba (2, 7) and Chiba (3, 9).
class MeetingEntriesViewTest : public ::testing::Test {
  protected:
    MeetingEntriesViewTest()
        : app({ticks, sound, serial, settings, dialogs, memoryFiles, journal}),
          session(app, diskFiles, working.Path() / "races") {
        EXPECT_EQ(session.Create(Folder(), "Club day", "2026-12-09"), "");
        EXPECT_EQ(session.Change([](Meeting& m, std::string&) {
            MeetingClass& gt = AddClass(m, "GT");
            gt.heatSize = 2;
            gt.rounds = 2;
            m.entries = {{1, "Aoki", 4, gt.id, "", ""},
                         {2, "Baba", 7, gt.id, "", ""},
                         {3, "Chiba", 9, gt.id, "", ""}};
            return true;
        }),
                  "");
        view.Refresh();
        view.SetSeedSource([this] { return seed; });
        QObject::connect(&view, &MeetingEntriesView::meetingChanged, [this] { ++changes; });
        // Looks for the next dialog to answer whenever the event loop of an
        // open dialog is idle.
        answering_.setInterval(0);
        QObject::connect(&answering_, &QTimer::timeout, [this] {
            if (!answers_()) answering_.stop();
        });
    }

    std::string Folder() const { return (meetingFolder.Path() / "day").string(); }
    Meeting Saved() const {
        LoadedMeeting loaded = LoadMeeting(Folder(), diskFiles);
        EXPECT_TRUE(loaded.meeting) << loaded.error;
        return loaded.meeting.value_or(Meeting{});
    }
    template <typename Widget>
    Widget& Child(const char* name) const {
        Widget* widget = view.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    void Click(const char* button) { Child<QPushButton>(button).click(); }
    int EntryRows() const { return Child<QTableWidget>("tblEntries").rowCount(); }

    // Answers the modal dialogs of type D in the order they open: each
    // answer fills the dialog and returns whether to accept it.
    template <typename D>
    void Answer(std::deque<std::function<bool(D&)>> answers) {
        answers_ = [pending = std::move(answers)]() mutable {
            auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
            if (dialog == nullptr || pending.empty()) return !pending.empty();
            const bool accept = pending.front()(*dialog);
            pending.pop_front();
            accept ? dialog->accept() : dialog->reject();
            return !pending.empty();
        };
        answering_.start();
    }

    ScratchFolder working;
    ScratchFolder meetingFolder;
    SetTickClock ticks;
    RecordingSoundPlayer sound{ticks};
    FakeSerialPort serial;
    MemorySettingsStore settings;
    ScriptedUserDialogs dialogs;
    MemoryFileStore memoryFiles;
    mutable DiskFileStore diskFiles;
    UnwrittenJournal journal;
    Application app;
    MeetingSession session;
    MeetingEntriesView view{session, dialogs};
    std::uint64_t seed = 77;
    int changes = 0;
    std::function<bool()> answers_;
    QTimer answering_;
};

template <typename Box, typename Value>
void Set(QDialog& dialog, const char* name, Value value) {
    dialog.findChild<Box*>(QString::fromLatin1(name))->setValue(value);
}

TEST_F(MeetingEntriesViewTest, TheAddDialogOffersTheNextNumberAndSavesTheEntry) {
    std::int64_t offered = 0;
    Answer<EntryDialog>({[&](EntryDialog& d) {
        offered = d.Entry().number;
        d.findChild<QLineEdit*>(QStringLiteral("edtName"))->setText(QStringLiteral("土井"));
        Set<QSpinBox>(d, "spnTransponder", 12);
        d.findChild<QLineEdit*>(QStringLiteral("edtClub"))->setText(QStringLiteral("RC 浜松"));
        return true;
    }});
    Click("btnAddEntry");
    EXPECT_EQ(offered, 4);
    const Meeting saved = Saved();
    ASSERT_EQ(saved.entries.size(), 4u);
    const MeetingEntry& added = saved.entries.back();
    EXPECT_EQ(added.number, 4);
    EXPECT_EQ(added.name, "土井");
    EXPECT_EQ(added.transponder, 12);
    EXPECT_EQ(added.classId, "c1");
    EXPECT_EQ(added.club, "RC 浜松");
    EXPECT_EQ(EntryRows(), 4);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MeetingEntriesViewTest, ARefusedEntryIsShownAndTheDialogStaysOpenWithNothingSaved) {
    bool reopenedWithTheName = false;
    Answer<EntryDialog>(
        {[](EntryDialog& d) {
             d.findChild<QLineEdit*>(QStringLiteral("edtName"))->setText(QStringLiteral("Baba"));
             return true;
         },
         [&](EntryDialog& d) {
             reopenedWithTheName = d.Entry().name == "Baba";
             return false;
         }});
    Click("btnAddEntry");
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{
                  "エントリーを追加できません: \"Baba\" is already entered in class \"GT\""}));
    EXPECT_TRUE(reopenedWithTheName);
    EXPECT_EQ(Saved().entries.size(), 3u);
    EXPECT_EQ(changes, 0);
}

TEST_F(MeetingEntriesViewTest, EditingTheSelectedEntrySavesTheChange) {
    Child<QTableWidget>("tblEntries").selectRow(1);
    std::string shown;
    Answer<EntryDialog>({[&](EntryDialog& d) {
        shown = d.Entry().name;
        Set<QSpinBox>(d, "spnNumber", 20);
        return true;
    }});
    Click("btnEditEntry");
    EXPECT_EQ(shown, "Baba");
    const Meeting saved = Saved();
    ASSERT_NE(EntryNumbered(saved, 20), nullptr);
    EXPECT_EQ(EntryNumbered(saved, 20)->name, "Baba");
    EXPECT_EQ(EntryNumbered(saved, 2), nullptr);
    EXPECT_EQ(Child<QTableWidget>("tblEntries").item(2, 0)->text(), QStringLiteral("20"));
}

TEST_F(MeetingEntriesViewTest, WithdrawingAsksFirstAndOnlyYesTakesTheEntrantOff) {
    Child<QTableWidget>("tblEntries").selectRow(0);
    dialogs.yesNoAnswers = {false, true};
    Click("btnWithdrawEntry");
    EXPECT_EQ(Saved().entries.size(), 3u);
    Click("btnWithdrawEntry");
    EXPECT_EQ(dialogs.questions,
              (std::vector<std::string>(2, "1 Aoki のエントリーを取り消しますか?")));
    EXPECT_EQ(EntryNumbered(Saved(), 1), nullptr);
    EXPECT_EQ(EntryRows(), 2);
}

TEST_F(MeetingEntriesViewTest, AnImportRefusalNamesTheRowAndImportsNothing) {
    working.Write("entries.csv",
                  Utf8ToCp932("氏名,クラス,トランスポンダ\r\n土井,GT,5\r\n江藤,GT,70\r\n"));
    dialogs.fileAnswers = {working.File("entries.csv")};
    Click("btnImportEntries");
    EXPECT_EQ(dialogs.fileRequests.at(0).filter, "CSVファイル (*.csv)|*.csv");
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{
                                    "取り込めません (何も取り込んでいません): row 3: transponder "
                                    "\"70\" is not a number from 1 to 63"}));
    EXPECT_EQ(Saved().entries.size(), 3u);
    EXPECT_EQ(EntryRows(), 3);
}

TEST_F(MeetingEntriesViewTest, AnImportAddsTheFilesEntrants) {
    working.Write("entries.csv", "name,class,transponder\nDoi,GT,5\nEto,F1,6\n");
    dialogs.fileAnswers = {working.File("entries.csv")};
    Click("btnImportEntries");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Saved().entries.size(), 5u);
    EXPECT_EQ(EntryRows(), 5);
    EXPECT_EQ(Child<QTableWidget>("tblClasses").rowCount(), 2);
}

struct LimitCase {
    const char* box;
    SettingLimits limits;
};

TEST(ClassSettingsDialogTest, EachBoxKeepsTheLimitsTheCommandLineKeeps) {
    const std::vector<LimitCase> cases{
        {"spnRaceTime", kRaceTimeLimits},
        {"spnStartWait", kStartWaitLimits},
        {"spnHeatSize", {2, 20}},
        {"spnRounds", kRoundsLimits},
        {"spnPracticeTime", kPracticeTimeLimits},
        {"spnConsecutive", kCountLimits},
        {"spnMainSize", kCountLimits},
        {"spnBump", kBumpLimits},
        {"spnLegs", kCountLimits},
    };
    const ClassSettingsDialog dialog(MeetingClass{}, QStringLiteral("クラス追加"));
    for (const LimitCase& c : cases) {
        const auto* box = dialog.findChild<QSpinBox*>(QString::fromLatin1(c.box));
        ASSERT_NE(box, nullptr) << c.box;
        EXPECT_EQ(box->minimum(), c.limits.least) << c.box;
        EXPECT_EQ(box->maximum(), c.limits.most) << c.box;
    }
    const auto* minLap = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("dblMinLap"));
    EXPECT_EQ(minLap->maximum(), 600.0);
    EXPECT_EQ(minLap->decimals(), 3);
}

TEST_F(MeetingEntriesViewTest, TheClassDialogRefusesBumpUpsNotBelowTheMainSize) {
    Answer<ClassSettingsDialog>({[](ClassSettingsDialog& d) {
                                     Set<QSpinBox>(d, "spnMainSize", 4);
                                     Set<QSpinBox>(d, "spnBump", 4);
                                     return true;
                                 },
                                 [](ClassSettingsDialog&) { return false; }});
    Click("btnEditClass");
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{"クラスを保存できません: bump 4 must be less than the "
                                        "main size 4"}));
    EXPECT_EQ(Saved().classes.at(0).finals.bump, 0);
}

TEST_F(MeetingEntriesViewTest, AddingAClassStoresItsSettings) {
    Answer<ClassSettingsDialog>({[](ClassSettingsDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edtClassName"))->setText(QStringLiteral("F1"));
        Set<QSpinBox>(d, "spnHeatSize", 8);
        Set<QDoubleSpinBox>(d, "dblMinLap", 4.25);
        Set<QSpinBox>(d, "spnBest", 0);  // every round counts
        return true;
    }});
    Click("btnAddClass");
    const Meeting saved = Saved();
    ASSERT_EQ(saved.classes.size(), 2u);
    EXPECT_EQ(saved.classes[1].name, "F1");
    EXPECT_EQ(saved.classes[1].heatSize, 8);
    EXPECT_EQ(saved.classes[1].minLapMs, 4250);
    EXPECT_FALSE(saved.classes[1].ranking.best);
    EXPECT_EQ(changes, 1);
}

TEST_F(MeetingEntriesViewTest, TheDrawButtonDrawsTheChosenRoundWithTheInjectedSeed) {
    EXPECT_EQ(Child<QSpinBox>("spnRound").maximum(), 2);
    Child<QSpinBox>("spnRound").setValue(2);
    Meeting expected = Saved();
    std::string error;
    ASSERT_TRUE(DrawRound(expected, "c1", 2, 77, error)) << error;
    Click("btnDrawHeats");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.questions.empty());
    const Meeting saved = Saved();
    ASSERT_EQ(saved.rounds.size(), 1u);
    EXPECT_EQ(saved.rounds[0].number, 2);
    EXPECT_EQ(saved.rounds[0].seed, 77u);
    ASSERT_EQ(saved.rounds[0].heats.size(), expected.rounds[0].heats.size());
    for (std::size_t i = 0; i < expected.rounds[0].heats.size(); ++i)
        EXPECT_EQ(saved.rounds[0].heats[i].entrants, expected.rounds[0].heats[i].entrants);
    EXPECT_EQ(changes, 1);
}

TEST_F(MeetingEntriesViewTest, ARedrawAsksFirstAndNoKeepsTheHeatsDrawn) {
    Click("btnDrawHeats");
    seed = 78;
    dialogs.yesNoAnswers = {false, true};
    Click("btnDrawHeats");
    EXPECT_EQ(Saved().rounds.at(0).seed, 77u);
    Click("btnDrawHeats");
    EXPECT_EQ(Saved().rounds.at(0).seed, 78u);
    EXPECT_EQ(dialogs.questions,
              (std::vector<std::string>(
                  2, "GT 予選1 のヒートは作成済みです。走っていないヒートを作り直しますか?")));
}

TEST_F(MeetingEntriesViewTest, ADrawRefusalIsShownInDrawRoundsWords) {
    ASSERT_EQ(session.Change([](Meeting& m, std::string&) {
        for (MeetingEntry& entry : m.entries) entry.transponder = 4;
        return true;
    }),
              "");
    view.Refresh();
    Click("btnDrawHeats");
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{
                  "予選ヒートを作成できません: transponder 4 is entered for \"Aoki\", \"Baba\" "
                  "and \"Chiba\": no swap between the 2 heats keeps them apart"}));
    EXPECT_TRUE(Saved().rounds.empty());
}

}  // namespace
}  // namespace palomind::testing
