// Editing an entrant of the entry list, and the one rule for a class's
// settings that the command line and the class dialog share.
#include "meeting/entry_list.h"

#include <gtest/gtest.h>

#include "meeting/class_settings.h"
#include "meeting/meeting_json.h"

namespace palomind {
namespace {

// Class GT (c1) with Aoki (1, transponder 4), Baba (2, transponder 7) and
// Doi (4, transponder 5), class F1 (c2) with Chiba (3, transponder 4);
// round 1 of GT has heat 1 (Aoki, Baba) run and heat 2 (Doi) to run.
class EditEntryTest : public ::testing::Test {
  protected:
    EditEntryTest() {
        meeting.name = "Club day";
        meeting.date = "2026-12-09";
        AddClass(meeting, "GT");
        AddClass(meeting, "F1");
        meeting.entries = {{1, "Aoki", 4, "c1", "", ""},
                           {2, "Baba", 7, "c1", "12", "Club A"},
                           {3, "Chiba", 4, "c2", "", ""},
                           {4, "Doi", 5, "c1", "", ""}};
        Heat ran{"c1-q1-1", 1, {2, 1}, {{"0001.race", false, false}}};
        Heat toRun{"c1-q1-2", 2, {4}, {}};
        meeting.rounds.push_back({"c1", 1, 9, {ran, toRun}});
    }
    MeetingEntry Changed(std::int64_t number) const { return *EntryNumbered(meeting, number); }

    Meeting meeting;
};

struct EditRefusalCase {
    const char* what;
    std::int64_t number;
    MeetingEntry changed;
    const char* error;
};

TEST_F(EditEntryTest, RefusalsSayWhyAndChangeNothing) {
    const std::vector<EditRefusalCase> cases{
        {"unknown entrant", 9, {9, "Nobody", 3, "c1", "", ""}, "no entry number 9"},
        {"no name", 3, {3, "", 4, "c2", "", ""}, "no name"},
        {"transponder 64",
         3,
         {3, "Chiba", 64, "c2", "", ""},
         "transponder 64 is not a number from 1 to 63"},
        {"not cp932",
         3,
         {3, "Chiba😀", 4, "c2", "", ""},
         "the name \"Chiba😀\" cannot be stored in the roster (a character cp932 does not hold)"},
        {"unknown class", 3, {3, "Chiba", 4, "c9", "", ""}, "no class with the id c9"},
        {"name taken in the class",
         3,
         {3, "Aoki", 4, "c1", "", ""},
         "\"Aoki\" is already entered in class \"GT\""},
        {"number taken", 3, {2, "Chiba", 4, "c2", "", ""}, "entry number 2 is already entered"},
        {"number below 1", 3, {0, "Chiba", 4, "c2", "", ""}, "entry number 0 is below 1"},
        {"transponder after a run",
         1,
         {1, "Aoki", 5, "c1", "", ""},
         "\"Aoki\" ran in heat c1-q1-1: its result needs the transponder and class they ran "
         "with"},
        {"class after a run",
         2,
         {2, "Baba", 7, "c2", "", ""},
         "\"Baba\" ran in heat c1-q1-1: its result needs the transponder and class they ran "
         "with"},
    };
    for (const EditRefusalCase& c : cases) {
        Meeting edited = meeting;
        std::string error;
        EXPECT_FALSE(EditEntry(edited, c.number, c.changed, error)) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_EQ(edited.entries.size(), meeting.entries.size()) << c.what;
        EXPECT_EQ(EntryNumbered(edited, c.number == 9 ? 1 : c.number)->name,
                  EntryNumbered(meeting, c.number == 9 ? 1 : c.number)->name)
            << c.what;
    }
}

TEST_F(EditEntryTest, ThePracticeRunCountsAsAHeatRun) {
    meeting.classes[1].practiceRecords.push_back({"0002.race", false, false});
    std::string error;
    EXPECT_FALSE(EditEntry(meeting, 3, {3, "Chiba", 8, "c2", "", ""}, error));
    EXPECT_EQ(error,
              "\"Chiba\" ran in heat c2-p: its result needs the transponder and class they ran "
              "with");
}

TEST_F(EditEntryTest, TheEntrantItselfIsNoClashAndTheNameCarAndClubMayChangeAfterARun) {
    MeetingEntry changed = Changed(2);
    changed.name = "Baba Jr";
    changed.car = "";
    changed.club = "Club B";
    std::string error;
    ASSERT_TRUE(EditEntry(meeting, 2, changed, error)) << error;
    EXPECT_EQ(EntryNumbered(meeting, 2)->name, "Baba Jr");
    EXPECT_EQ(EntryNumbered(meeting, 2)->club, "Club B");
    // Unchanged entrant: its own name and number are no clash.
    ASSERT_TRUE(EditEntry(meeting, 1, Changed(1), error)) << error;
}

TEST_F(EditEntryTest, ANewNumberRenumbersTheEntrantInTheHeatsAndKeepsTheListInOrder) {
    MeetingEntry changed = Changed(1);
    changed.number = 10;
    std::string error;
    ASSERT_TRUE(EditEntry(meeting, 1, changed, error)) << error;
    EXPECT_EQ(meeting.rounds[0].heats[0].entrants, (std::vector<std::int64_t>{2, 10}));
    std::vector<std::int64_t> numbers;
    for (const MeetingEntry& entry : meeting.entries) numbers.push_back(entry.number);
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{2, 3, 4, 10}));
}

TEST_F(EditEntryTest, AnEntrantNotYetRunMayChangeTransponderAndClass) {
    std::string error;
    ASSERT_TRUE(EditEntry(meeting, 3, {3, "Chiba", 9, "c1", "", ""}, error)) << error;
    EXPECT_EQ(EntryNumbered(meeting, 3)->transponder, 9);
    EXPECT_EQ(EntryNumbered(meeting, 3)->classId, "c1");
}

TEST_F(EditEntryTest, ANewClassTakesTheEntrantOutOfTheOldClassesHeatsAndTheMeetingStillReads) {
    std::string error;
    ASSERT_TRUE(EditEntry(meeting, 4, {7, "Doi", 5, "c2", "", ""}, error)) << error;
    EXPECT_TRUE(meeting.rounds[0].heats[1].entrants.empty());
    EXPECT_TRUE(ReadMeetingJson(MeetingJson(meeting), error)) << error;
}

struct ClassRefusalCase {
    const char* what;
    void (*change)(MeetingClass&);
    const char* error;
};

TEST(ClassSettingsTest, EachSettingOutsideItsLimitsIsRefusedNamingIt) {
    const std::vector<ClassRefusalCase> cases{
        {"no name", [](MeetingClass& c) { c.name.clear(); },
         "the class name must be text that cp932 can hold, not empty"},
        {"race time 0", [](MeetingClass& c) { c.raceTimeS = 0; },
         "race time (s) 0 is not from 1 to 1000000000"},
        {"heat size 1", [](MeetingClass& c) { c.heatSize = 1; }, "heat size 1 is not from 2 to 20"},
        {"heat size 21", [](MeetingClass& c) { c.heatSize = 21; },
         "heat size 21 is not from 2 to 20"},
        {"minimum lap", [](MeetingClass& c) { c.minLapMs = 600'001; },
         "minimum lap (ms) 600001 is not from 0 to 600000"},
        {"rounds", [](MeetingClass& c) { c.rounds = 100; }, "rounds 100 is not from 1 to 99"},
        {"best 0", [](MeetingClass& c) { c.ranking.best = 0; }, "best 0 is not from 1 to 1000000"},
        {"bump at the main size",
         [](MeetingClass& c) {
             c.finals.mainSize = 4;
             c.finals.bump = 4;
         },
         "bump 4 must be less than the main size 4"},
    };
    for (const ClassRefusalCase& c : cases) {
        MeetingClass settings;
        settings.name = "GT";
        EXPECT_EQ(ClassSettingsRefusal(settings), "") << c.what;
        c.change(settings);
        EXPECT_EQ(ClassSettingsRefusal(settings), c.error) << c.what;
    }
}

TEST(ClassSettingsTest, StoringAddsANewClassChangesAKnownOneAndRefusesATakenName) {
    Meeting meeting;
    MeetingClass settings;
    settings.name = "GT";
    settings.heatSize = 6;
    std::string error;
    ASSERT_TRUE(StoreClass(meeting, settings, error)) << error;
    settings.name = "F1";
    ASSERT_TRUE(StoreClass(meeting, settings, error)) << error;
    MeetingClass renamed = meeting.classes[1];
    renamed.name = "GT";
    EXPECT_FALSE(StoreClass(meeting, renamed, error));
    EXPECT_EQ(error, "a class named \"GT\" is there already");
    renamed.name = "F1 Jr";
    renamed.rounds = 4;
    ASSERT_TRUE(StoreClass(meeting, renamed, error)) << error;
    ASSERT_EQ(meeting.classes.size(), 2u);
    EXPECT_EQ(meeting.classes[0].id, "c1");
    EXPECT_EQ(meeting.classes[0].heatSize, 6);
    EXPECT_EQ(meeting.classes[1].id, "c2");
    EXPECT_EQ(meeting.classes[1].name, "F1 Jr");
    EXPECT_EQ(meeting.classes[1].rounds, 4);
}

}  // namespace
}  // namespace palomind
