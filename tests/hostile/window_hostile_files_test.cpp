// Hostile files met through the real main window: a bad result file opened
// in the middle of a race, and saves that fail part-way.
#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>

#include "documents/result_file.h"
#include "shell/roster_dialog.h"
#include "tests/hostile/hostile_inputs.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

// Everything the race has: what a result file would hold, and its phase.
std::string RaceAsItStands(ShellHarness& h) {
    const RaceState& s = h.State();
    return FormatResultFile(s, h.Model()) + h.Model().StatusCaption +
           std::to_string(s.RaceRunning) + std::to_string(s.RunningCount) +
           std::to_string(s.RaceEnd);
}

// The program's files, the journal folder aside (it records every event).
FolderSnapshot ProgramFiles() {
    FolderSnapshot files = Snapshot(fs::current_path());
    std::erase_if(files, [](const auto& file) { return file.first.starts_with("journal"); });
    return files;
}

class WindowHostileFilesTest : public ::testing::Test {
  protected:
    WindowHostileFilesTest() {
        h.WriteFile("Palomind.ini", SettingsFileBytes(1, 60, 1, 0));
        h.WriteFile("idname.ind", RosterFileBytes());
        h.Start();
    }

    // A race under way: timing, three IDs with laps.
    void RaceUnderWay() {
        h.Press("レース開始");
        h.RunClockUntil(h.Now() + 1500);
        ASSERT_EQ(h.Model().StatusCaption, "計測中");
        for (int lap = 0; lap < 3; ++lap) {
            for (std::uint8_t id : {4, 5, 6}) {
                h.serial.Receive(Frame(id));
                h.RunClockUntil(h.Now() + 700);
            }
        }
        ASSERT_EQ(h.State().MaxLap, 2);
    }

    ShellHarness h;
};

TEST_F(WindowHostileFilesTest, BadResultFileOpenedDuringARaceIsRefusedAndTheRaceRunsOn) {
    RaceUnderWay();
    std::vector<std::pair<std::string, std::string>> bad;  // name, bytes
    for (const auto& path : CorpusFiles("result", "refused"))
        bad.emplace_back(path.filename(), ReadBytes(path));
    bad.emplace_back("garbage.rdt", Garbage(7, 100'000));
    bad.emplace_back("huge.rdt", "\"" + std::string(kTenMegabytes, 'x'));

    for (const auto& [name, bytes] : bad) {
        h.WriteFile(name, bytes);
        const std::string race = RaceAsItStands(h);
        const FolderSnapshot files = ProgramFiles();
        const std::size_t messages = h.dialogs.messages.size();
        h.dialogs.fileAnswers.push_back(name);

        const ResourceUse use = Measure([&] { h.window->mnuFileOpen_Click(); });

        ASSERT_EQ(h.dialogs.messages.size(), messages + 1) << name;
        EXPECT_TRUE(h.dialogs.messages.back().starts_with("レース結果ファイルを読み込めません。"))
            << name;
        EXPECT_NE(h.dialogs.messages.back().find(name), std::string::npos)
            << "the message names the file";
        EXPECT_EQ(RaceAsItStands(h), race) << name;
        EXPECT_EQ(ProgramFiles(), files) << name;
        EXPECT_LT(use.seconds, kMaxSecondsPerInput) << name;
    }

    // The race goes on: the next passes count.
    h.serial.Receive(Frame(4));
    EXPECT_EQ(h.State().LapCount[4], 3);
}

TEST_F(WindowHostileFilesTest, SavesFailingPartWayKeepThePreviousFilesAndSaySo) {
    RaceUnderWay();
    h.dialogs.fileAnswers.push_back("race.rdt");
    h.window->mnuFileSave_Click();
    ASSERT_TRUE(h.dialogs.messages.empty()) << "the first save went through";
    const FolderSnapshot before = ProgramFiles();

    // The disk fills up: no file may grow beyond 64 bytes while saving.
    h.serial.Receive(Frame(5));
    h.dialogs.fileAnswers.push_back("race.rdt");
    WithFileSizeLimit(64, [&] {
        h.window->mnuFileSave_Click();
        return true;
    });
    // Each says why, in the system's words.
    EXPECT_EQ(h.dialogs.messages.back(),
              "レース結果ファイルを保存できませんでした。\r\nrace.rdt\r\n(File too large)");

    dlgIdName roster(
        h.app->Roster(), [](int, std::string) {}, h.files, h.dialogs);
    WithFileSizeLimit(64, [&] {
        roster.Save_IdName();
        return true;
    });
    EXPECT_EQ(h.dialogs.messages.back(), "参加者名簿が保存できませんでした。\r\n(File too large)");

    WithFileSizeLimit(0, [&] {
        h.Close();  // the settings are written at shutdown
        return true;
    });
    EXPECT_EQ(h.dialogs.messages.back(), "設定ファイルが保存できません。\r\n(File too large)");
    EXPECT_EQ(ProgramFiles(), before) << "a previous file changed or a temporary was left";
}

}  // namespace
}  // namespace palomind::testing
