// The start sequence and the shutdown of the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QTextEdit>

#include "record/race_record_folder.h"
#include "shell/race_window_view.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

std::vector<bool> PortChecks(const ShellHarness& h) {
    std::vector<bool> checks;
    for (int n = 1; n <= 8; ++n) {
        checks.push_back(h.Item(("mnuSCI_COM" + std::to_string(n)).c_str())->isChecked());
    }
    return checks;
}

std::vector<bool> ReadOutChecks(const ShellHarness& h) {
    return {h.Item("mnuTTSN")->isChecked(), h.Item("mnuTTSJ")->isChecked(),
            h.Item("mnuTTSE")->isChecked()};
}

// A race of an earlier run, as it was kept: its result file and its record.
struct KeptRace {
    std::string resultFile;
    std::string record;
    std::string identity;
    std::string leader;  // the standings' first row, as shown
};

std::string Leader(ShellHarness& h) {
    std::string row;
    for (int column = 0; column < 4; ++column)
        row += h.Model().Standings.TextMatrix(1, column) + "|";
    return row;
}

KeptRace RunARaceAndKeepIt() {
    ShellHarness first;
    first.WriteFile("Palomind.ini", SettingsFileBytes(1, 20, 2, 0));
    first.WriteFile("idname.ind", RosterFileBytes());
    RaceRecordFolder records("races");
    RaceRecorder recorder(records, RaceRecorder::WhenTaken::NextNumber, std::nullopt);
    first.app->KeepRaceRecords(&recorder);
    first.Start();
    first.Press("レース開始");
    first.RunClockUntil(first.Now() + 2'600);
    for (int lap = 0; lap < 3; ++lap) {
        first.serial.Receive(Frame(5));
        first.RunClockUntil(first.Now() + 1'200);
    }
    first.dialogs.fileAnswers.push_back("race.rdt");
    first.window->mnuFileSave_Click();
    const std::string identity = recorder.Current().value_or("");
    recorder.Finish();
    return {first.ReadFile("race.rdt"), first.ReadFile("races/" + identity + ".race"), identity,
            Leader(first)};
}

const std::vector<bool> kOnlyPort1{true, false, false, false, false, false, false, false};
const std::vector<bool> kNoPort(8, false);

TEST(StartupTest, FirstStartInEmptyDirectoryUsesDefaultsAndWritesTheSettingsFileAtShutdown) {
    ShellHarness h;
    h.Start();

    EXPECT_EQ(h.dialogs.messages,
              (std::vector<std::string>{"設定ファイルがありません。新規に作成します",
                                        "参加者名簿を新規に作成します。"}));
    EXPECT_EQ(h.serial.OpenPort(), 1);
    EXPECT_EQ(PortChecks(h), kOnlyPort1);
    EXPECT_EQ(ReadOutChecks(h), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(h.State().PortNumber, 1);
    EXPECT_EQ(h.State().RaceTime, 480);
    EXPECT_EQ(h.State().StartWait, 10);
    EXPECT_EQ(h.State().TtsMode, 0);
    EXPECT_EQ(h.window->RaceWindow()->RichTextBox1()->toPlainText().toStdString(),
              "レースコメント記入欄");
    EXPECT_EQ(h.Model().StatusCaption, "待機中");
    EXPECT_EQ(h.window->windowTitle().toStdString(), "Palomind");

    h.Close();
    EXPECT_EQ(h.ReadFile("Palomind.ini"), SettingsFileBytes(1, 480, 10, 0));
}

TEST(StartupTest, FileNamedOnTheCommandLineOpensAsAResultFileOrARaceRecord) {
    const KeptRace kept = RunARaceAndKeepIt();
    ASSERT_FALSE(kept.identity.empty());
    ASSERT_NE(kept.leader.find('5'), std::string::npos) << kept.leader;
    struct Case {
        const char* name;
        std::string bytes;
        bool isRecord;
    };
    const std::vector<Case> cases = {
        {"race.rdt", kept.resultFile, false},
        {"kept.race", kept.record, true},
        {"KEPT.RACE", kept.record, true},
        {"no extension", kept.resultFile, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShellHarness h;
        h.WriteFile("Palomind.ini", SettingsFileBytes(1, 20, 2, 0));
        h.WriteFile("idname.ind", RosterFileBytes());
        h.WriteFile(c.name, c.bytes);
        h.Start();
        const std::string path = QDir::current().absoluteFilePath(c.name).toStdString();
        h.window->OpenFromCommandLine(path);
        EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages.front();
        EXPECT_EQ(Leader(h), kept.leader);
        EXPECT_EQ(h.app->ShownRecord().has_value(), c.isRecord);
    }
}

TEST(StartupTest, FileNamedOnTheCommandLineThatIsNoRaceIsRefusedAsFileOpenRefusesIt) {
    ShellHarness h;
    h.WriteFile("Palomind.ini", SettingsFileBytes(1, 20, 2, 0));
    h.WriteFile("idname.ind", RosterFileBytes());
    h.WriteFile("notes.race", "not a race\n");
    h.Start();
    h.window->OpenFromCommandLine("notes.race");
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_TRUE(h.dialogs.messages[0].ends_with("\r\nnotes.race"));
    EXPECT_EQ(h.Model().StatusCaption, "待機中");
}

TEST(StartupTest, StoredPortOutsideOneToEightAsksForAPortAndIsSavedAsZero) {
    for (const int stored : {0, 9}) {
        SCOPED_TRACE(stored);
        ShellHarness h;
        h.WriteFile("Palomind.ini", SettingsFileBytes(stored, 300, 0, 0));
        h.WriteFile("idname.ind", RosterFileBytes());
        h.Start();

        EXPECT_EQ(h.dialogs.messages,
                  std::vector<std::string>{"シリアルポートの設定を行ってください"});
        EXPECT_TRUE(h.serial.openAttempts.empty());
        EXPECT_EQ(PortChecks(h), kNoPort);
        EXPECT_EQ(h.State().PortNumber, 0);
        EXPECT_EQ(h.State().RaceTime, 300);  // only a race time of 0 is replaced
        EXPECT_EQ(h.State().StartWait, 0);
        h.Close();
        EXPECT_EQ(h.ReadFile("Palomind.ini"), SettingsFileBytes(0, 300, 0, 0));
    }
}

TEST(StartupTest, StoredRaceTimeZeroStartsWith480AndIsSavedAs480) {
    ShellHarness h;
    h.WriteFile("Palomind.ini", SettingsFileBytes(2, 0, 10, 0));
    h.Start();
    EXPECT_EQ(h.State().RaceTime, 480);
    EXPECT_EQ(h.serial.OpenPort(), 2);
    h.Close();
    EXPECT_EQ(h.ReadFile("Palomind.ini"), SettingsFileBytes(2, 480, 10, 0));
}

TEST(StartupTest, SettingsFileWithOnlyFourLinesFallsBackToEveryDefault) {
    ShellHarness h;
    h.WriteFile("Palomind.ini", "3\r\n300\r\n5\r\n1\r\n");
    h.Start();
    EXPECT_EQ(h.dialogs.messages.front(), "設定ファイルがありません。新規に作成します");
    EXPECT_EQ(h.State().PortNumber, 1);
    EXPECT_EQ(h.State().RaceTime, 480);
    EXPECT_EQ(h.State().StartWait, 10);
    EXPECT_EQ(h.State().TtsMode, 0);
}

TEST(StartupTest, StoredReadOutModeChecksItsItemAndAnUnknownModeChecksNoneAndStays) {
    {
        ShellHarness h;
        h.WriteFile("Palomind.ini", SettingsFileBytes(1, 480, 10, 1));
        h.Start();
        EXPECT_EQ(ReadOutChecks(h), (std::vector<bool>{false, true, false}));
        EXPECT_FALSE(h.Item("mnuTTSJ")->isEnabled());
    }
    {
        ShellHarness h;
        h.WriteFile("Palomind.ini", SettingsFileBytes(1, 480, 10, 5));
        h.Start();
        // No item was selected: all three keep the marks they were created with.
        EXPECT_EQ(ReadOutChecks(h), (std::vector<bool>{true, true, true}));
        EXPECT_EQ(h.State().TtsMode, 5);
        h.Close();
        EXPECT_EQ(h.ReadFile("Palomind.ini"), SettingsFileBytes(1, 480, 10, 5));
    }
}

TEST(StartupTest, StoredLapCallPartsAndPaceAreCheckedAndDamagedOnesFallBackToDefaults) {
    struct Case {
        const char* parts;
        const char* pace;
        std::int16_t partsInForce;
        const char* paceChecked;
    };
    for (const Case c : {Case{"10", "190", kCallLaps | kCallPlace, "mnuTTSPaceStandard"},
                         Case{"16", "200", kDefaultCallParts, "mnuTTSPaceFast"},
                         Case{"x", "", kDefaultCallParts, "mnuTTSPaceFast"}}) {
        ShellHarness h;
        h.settings.SaveSetting("Settings", "ReadOutParts", c.parts);
        h.settings.SaveSetting("Settings", "ReadOutPace", c.pace);
        h.WriteFile("Palomind.ini", SettingsFileBytes(1, 480, 10, 0));
        h.Start();
        EXPECT_EQ(h.State().CallParts, c.partsInForce) << c.parts;
        EXPECT_EQ(h.Item("mnuTTSPartPlace")->isChecked(), (c.partsInForce & kCallPlace) != 0);
        EXPECT_TRUE(h.Item(c.paceChecked)->isChecked()) << c.pace;
    }
}

TEST(StartupTest, StoredPortThatCannotBeOpenedLeavesNoCheckMarkAndKeepsItsNumber) {
    ShellHarness h;
    h.WriteFile("Palomind.ini", SettingsFileBytes(3, 480, 10, 0));
    h.WriteFile("idname.ind", RosterFileBytes());
    h.serial.openable = {1, 2};
    h.Start();
    EXPECT_EQ(
        h.dialogs.messages,
        std::vector<std::string>{"通信ポートが開けません。(COM3)\r\n他のポートをお試しください\r\n"
                                 "/dev/fake3: デバイスがありません"});
    EXPECT_EQ(PortChecks(h), kNoPort);
    EXPECT_EQ(h.State().PortNumber, 3);
    h.Close();
    EXPECT_EQ(h.ReadFile("Palomind.ini"), SettingsFileBytes(3, 480, 10, 0));
}

TEST(StartupTest, WindowPlacementIsRestoredFromTwipsAndStoredBackAtShutdown) {
    ShellHarness h;
    // The offscreen screen has 96 logical dots per inch: 15 twips a pixel.
    h.settings.values[{"Settings", "MainLeft"}] = "1500";
    h.settings.values[{"Settings", "MainTop"}] = "750";
    h.settings.values[{"Settings", "MainWidth"}] = "9000";
    h.settings.values[{"Settings", "MainHeight"}] = "not a number";  // default 10000
    h.Start();
    // The outer window, the offscreen platform's frame included.
    EXPECT_EQ(h.window->frameGeometry(), QRect(100, 50, 600, 667));

    h.window->move(30, 45);
    h.Close();
    EXPECT_EQ((h.settings.values[{"Settings", "MainLeft"}]), "450");
    EXPECT_EQ((h.settings.values[{"Settings", "MainTop"}]), "675");
    EXPECT_EQ((h.settings.values[{"Settings", "MainWidth"}]), "9000");
    // Not resized: as read, although 10000 twips are 666.67 pixels.
    EXPECT_EQ((h.settings.values[{"Settings", "MainHeight"}]), "10000");
}

TEST(StartupTest, ClosingWhileMinimizedKeepsThePreviousPlacement) {
    ShellHarness h;
    h.settings.values[{"Settings", "MainLeft"}] = "1500";
    h.Start();
    h.window->showMinimized();
    h.window->move(300, 300);
    h.Close();
    EXPECT_EQ((h.settings.values[{"Settings", "MainLeft"}]), "1500");
    EXPECT_EQ(h.settings.values.count({"Settings", "MainTop"}), 0u);
    EXPECT_EQ(h.ReadFile("Palomind.ini"), SettingsFileBytes(1, 480, 10, 0));
}

TEST(StartupTest, SettingsFileThatCannotBeWrittenIsReportedAndTheProgramStillCloses) {
    ShellHarness h;
    h.Start();
    h.dialogs.messages.clear();
    // A folder in the file's place: it cannot be replaced.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("Palomind.ini")));
    h.Close();
    EXPECT_EQ(h.dialogs.messages,
              std::vector<std::string>{"設定ファイルが保存できません。\r\n(not a regular file)"});
    EXPECT_FALSE(h.window->isVisible());
}

// A journal that cannot be started at start-up.
TEST(LiveJournalTest, ApplicationWithoutAJournalWarnsOnceInTheWindowAndKeepsRunning) {
    ShellHarness h;
    h.WriteFile("journal", "in the way\n");
    h.Start();  // the journal fails to start
    h.dialogs.messages.clear();
    h.Press("ＩＤ１");
    h.Press("ＩＤ２");
    EXPECT_TRUE(h.dialogs.messages.empty());  // no message box in the middle of a race
    EXPECT_EQ(h.State().LapCount[1], 0);
    EXPECT_EQ(h.State().LapCount[2], 0);
    EXPECT_EQ(h.window->windowTitle().toStdString(),
              "Palomind - 警告: レースの記録ファイルを書き込めません");
}

}  // namespace
}  // namespace palomind::testing
