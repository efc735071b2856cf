// Crash recovery and the receiver pulled out, through the real main window
// over the shell tests' fakes: a run is "crashed" by ending it without its
// clean shutdown, which leaves its journal unfinished, as a kill would.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <filesystem>
#include <sstream>

#include "app/replay_command.h"
#include "tests/support/race_counts.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

// A name that sorts after nothing this run writes and belongs to no live
// program.
constexpr const char* kCrashedName = "palomind-20240501-080000-77.running.journal";
constexpr const char* kRestoredName = "palomind-20240501-080000-77.restored.journal";
constexpr const char* kDeclinedName = "palomind-20240501-080000-77.declined.journal";

void PrepareFolder(ShellHarness& h) {
    h.WriteFile("Palomind.ini", SettingsFileBytes(1, 20, 2, 0));
    h.WriteFile("idname.ind", RosterFileBytes());
}

struct CrashedRace {
    std::string journal;
    std::int32_t lastTick = 0;
    int passes = 0;
    std::int16_t lapsOf5 = 0;
};

// A race that ends abnormally eight seconds into timing: IDs 5 and 7 lap.
CrashedRace RunUntilTheCrash() {
    ShellHarness first;
    PrepareFolder(first);
    first.Start();
    first.Press("レース開始");
    first.RunClockUntil(first.Now() + 2'600);
    EXPECT_EQ(first.Model().StatusCaption, "計測中");
    for (int lap = 0; lap < 4; ++lap) {
        for (std::uint8_t id : {5, 7}) {
            first.serial.Receive(Frame(id));
            first.RunClockUntil(first.Now() + 1'000);
        }
    }
    // No shutdown: the journal keeps its unfinished name.
    return {first.ReadFile(first.journal.Path().string()), first.Now(),
            CountedPasses(first.State()), first.State().LapCount[5]};
}

class RestoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        crashed = RunUntilTheCrash();
        ASSERT_EQ(crashed.passes, 8);
        PrepareFolder(h);
        fs::create_directories("journal");
        h.WriteFile("journal/" + std::string(kCrashedName), crashed.journal);
    }
    std::string ReplayOfThisRunsJournal() {
        std::ostringstream err;
        EXPECT_EQ(RunReplayCommand(
                      {"--replay", h.journal.Path().string(), "--save", "replayed.rdt"}, err),
                  0)
            << err.str();
        return h.ReadFile("replayed.rdt");
    }

    CrashedRace crashed;
    ShellHarness h;
};

TEST_F(RestoreTest, YesBringsTheRaceBackAndItGoesOnLiveToAResultTheReplayRepeats) {
    h.ticks.Set(crashed.lastTick + 3'000);  // restarted three seconds later
    h.dialogs.yesNoAnswers.push_back(true);
    // A pass arrives while the question is open; it must count where it came.
    h.dialogs.whileAsking = [&] {
        h.ticks.Set(h.Now() + 400);
        h.serial.Receive(Frame(5));
    };
    h.Start();

    // The question first, then the race's start (local time), time run,
    // entrants and laps.
    EXPECT_EQ(h.dialogs.questions,
              std::vector<std::string>{"前回のレースを復元しますか？\r\n\r\n"
                                       "開始: 2024/05/01 08:00:00\r\n経過時間: 0:09\r\n"
                                       "参加台数: 2\r\n周回数: 6"});
    EXPECT_EQ(h.ReadFile("journal/" + std::string(kRestoredName)), crashed.journal);
    EXPECT_FALSE(fs::exists("journal/" + std::string(kCrashedName)));
    EXPECT_EQ(h.Model().StatusCaption, "計測中");
    EXPECT_EQ(CountedPasses(h.State()), crashed.passes + 1);
    EXPECT_EQ(h.State().LapCount[5], crashed.lapsOf5 + 1);
    EXPECT_NEAR(h.State().LastLap[5], 3.4 + 2.0, 0.001);  // from its last pass before the crash

    // New passes count on top until the race is over.
    h.RunClockUntil(h.Now() + 1'000);
    for (std::uint8_t id : {7, 5, 7}) {
        h.serial.Receive(Frame(id));
        h.RunClockUntil(h.Now() + 1'500);
    }
    h.RunClockUntil(h.Now() + 10'000);
    for (std::uint8_t id : {5, 7}) h.serial.Receive(Frame(id));
    ASSERT_EQ(h.Model().StatusCaption, "全終了");
    EXPECT_EQ(CountedPasses(h.State()), crashed.passes + 1 + 3 + 2);

    h.dialogs.fileAnswers.push_back("live.rdt");
    h.window->mnuFileSave_Click();
    // This run's journal holds the whole race, from before the crash on.
    EXPECT_EQ(ReplayOfThisRunsJournal(), h.ReadFile("live.rdt"));
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front();
}

TEST_F(RestoreTest, FileNamedOnTheCommandLineIsNotOpenedWhileTheRestoredRaceGoesOn) {
    h.ticks.Set(crashed.lastTick + 3'000);
    h.dialogs.yesNoAnswers.push_back(true);
    h.WriteFile("other.rdt", "whatever");
    h.Start();
    h.window->OpenFromCommandLine("other.rdt");
    EXPECT_EQ(h.Model().StatusCaption, "計測中");
    EXPECT_EQ(CountedPasses(h.State()), crashed.passes);
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(h.window->findChild<QLabel*>(QStringLiteral("sbStatusBarText"))->text().toStdString(),
              "前回のレースを計測中のため、ファイルを開きませんでした: other.rdt");
}

TEST_F(RestoreTest, NoStartsAsUsualAndKeepsTheOldJournalAsDeclined) {
    h.ticks.Set(crashed.lastTick + 3'000);
    h.dialogs.yesNoAnswers.push_back(false);
    h.Start();

    EXPECT_EQ(h.dialogs.questions.size(), 1u);
    EXPECT_EQ(h.Model().StatusCaption, "待機中");
    EXPECT_EQ(CountedPasses(h.State()), 0);
    EXPECT_EQ(h.ReadFile("journal/" + std::string(kDeclinedName)), crashed.journal);
    EXPECT_FALSE(fs::exists("journal/" + std::string(kCrashedName)));
    h.Close();
}

TEST_F(RestoreTest, AfterAMachineRestartTheRaceIsRestoredStopped) {
    h.ticks.Set(50'000);  // the tick counter started again
    h.dialogs.yesNoAnswers.push_back(true);
    h.Start();

    EXPECT_EQ(CountedPasses(h.State()), crashed.passes);
    EXPECT_EQ(h.State().RaceStarted, kFalse);
    EXPECT_EQ(h.Model().StatusCaption, "待機中");
    EXPECT_EQ(h.dialogs.messages,
              std::vector<std::string>{
                  "前回のレースを復元しました。パソコンが再起動されたため計時を続けられないので、"
                  "レースを停止しました。"});
    // The restored race can be saved, and a new one started, with a journal
    // that still replays.
    h.dialogs.fileAnswers.push_back("restored.rdt");
    h.window->mnuFileSave_Click();
    EXPECT_EQ(h.ReadFile("restored.rdt").substr(0, 2), "\"\x83");
    h.Press("レース開始");
    h.RunClockUntil(h.Now() + 3'000);
    h.serial.Receive(Frame(9));
    EXPECT_EQ(h.State().LapCount[9], 0);
    EXPECT_FALSE(ReplayOfThisRunsJournal().empty());
}

TEST_F(RestoreTest, OnAnotherBootTheRaceIsRestoredStoppedThoughTheCounterWentOn) {
    ShellHarness rebooted("boot-2");  // a folder of its own, holding the crashed run
    PrepareFolder(rebooted);
    fs::create_directories("journal");
    rebooted.WriteFile("journal/" + std::string(kCrashedName), crashed.journal);
    rebooted.ticks.Set(crashed.lastTick + 3'000);  // up longer than the crashed run was
    rebooted.dialogs.yesNoAnswers.push_back(true);
    rebooted.Start();
    EXPECT_EQ(CountedPasses(rebooted.State()), crashed.passes);
    EXPECT_EQ(rebooted.State().RaceStarted, kFalse);
    EXPECT_EQ(rebooted.dialogs.messages,
              std::vector<std::string>{std::string(kRestoredStoppedText)});
}

TEST_F(RestoreTest, DamagedJournalIsReportedAndStartUpGoesOn) {
    std::string damaged = crashed.journal;
    damaged.insert(damaged.find(" start\n") + 7, "12 rx zz\n");
    h.WriteFile("journal/" + std::string(kCrashedName), damaged);
    h.Start();

    EXPECT_TRUE(h.dialogs.questions.empty());
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_TRUE(h.dialogs.messages[0].starts_with(
        "前回のレースの記録ファイルを読み込めないため、復元できません。"));
    EXPECT_EQ(h.Model().StatusCaption, "待機中");
}

// The receiver pulled out in the middle of a race, with the fake port.
class ReceiverPulledOutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PrepareFolder(h);
        h.Start();
        h.Press("レース開始");
        h.RunClockUntil(h.Now() + 2'600);
        ASSERT_EQ(h.Model().StatusCaption, "計測中");
        h.serial.Receive(Frame(5));
    }
    std::string StatusText() const {
        return h.window->findChild<QLabel*>(QStringLiteral("sbStatusBarText"))
            ->text()
            .toStdString();
    }
    std::size_t AttemptsOn(int port) const {
        return static_cast<std::size_t>(
            std::count(h.serial.openAttempts.begin(), h.serial.openAttempts.end(), port));
    }

    ShellHarness h;
};

TEST_F(ReceiverPulledOutTest, ToldOnceTriedQuietlyEverySecondAndReopenedWhenBack) {
    h.serial.openable.erase(1);
    h.serial.Vanish("device removed");
    const std::size_t attemptsBefore = AttemptsOn(1);
    h.RunClockUntil(h.Now() + 5'050);

    EXPECT_EQ(StatusText(),
              "警告: "
              "受信機との接続が切れました(COM1)"
              "。レースは続いています。受信機をつなぎ直すと自動で再接続します");
    EXPECT_TRUE(h.dialogs.messages.empty()) << "no message box in the middle of a race";
    EXPECT_EQ(AttemptsOn(1) - attemptsBefore, 5u);
    EXPECT_EQ(h.Model().StatusCaption, "計測中");
    EXPECT_FALSE(h.Item("mnuSCI_COM1")->isChecked());

    h.serial.openable.insert(1);
    h.RunClockUntil(h.Now() + 1'000);
    EXPECT_EQ(h.serial.OpenPort(), 1);
    EXPECT_EQ(StatusText(), "ｽﾃｰﾀｽ");
    EXPECT_TRUE(h.Item("mnuSCI_COM1")->isChecked());
    h.serial.Receive(Frame(5));
    EXPECT_EQ(h.State().LapCount[5], 1);
    EXPECT_NE(h.ReadFile(h.journal.Path().string()).find("serial port COM1 reopened"),
              std::string::npos);
}

// The operator tries another port after the receiver was pulled out, and it
// does not open: the port that failed must not come back behind the
// operator's back a second later.
TEST_F(ReceiverPulledOutTest, PortThatTheOperatorPicksInVainEndsTheAttemptsToo) {
    h.serial.openable.erase(1);
    h.serial.openable.erase(5);
    h.serial.Vanish("device removed");
    h.RunClockUntil(h.Now() + 1'500);
    h.dialogs.messages.clear();
    h.Choose("mnuSCI_COM5");
    EXPECT_EQ(h.dialogs.messages.size(), 1u);  // "通信ポートが開けません。(COM5)..."
    h.serial.openable.insert(1);
    const std::size_t attempts = h.serial.openAttempts.size();
    h.RunClockUntil(h.Now() + 5'000);
    EXPECT_EQ(h.serial.openAttempts.size(), attempts);
    EXPECT_EQ(h.serial.OpenPort(), 0);
    EXPECT_FALSE(h.Item("mnuSCI_COM1")->isChecked());
}

TEST_F(ReceiverPulledOutTest, PortChosenByTheOperatorEndsTheAttempts) {
    h.serial.openable.erase(1);
    h.serial.Vanish("device removed");
    h.RunClockUntil(h.Now() + 1'500);
    h.Choose("mnuSCI_COM3");
    const std::size_t attempts = h.serial.openAttempts.size();
    h.RunClockUntil(h.Now() + 5'000);
    EXPECT_EQ(h.serial.openAttempts.size(), attempts);
    EXPECT_EQ(h.serial.OpenPort(), 3);
    EXPECT_EQ(StatusText(), "ｽﾃｰﾀｽ");
}

}  // namespace
}  // namespace palomind::testing
