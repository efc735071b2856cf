#include "app/replay_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

// Each test runs in an empty directory of its own, as the replay reads and
// writes relative to the current directory.
class ReplayCommandTest : public ::testing::Test {
  protected:
    int Run(std::vector<std::string> args) { return RunReplayCommand(args, err_); }

    TemporaryCurrentDirectory directory_;
    std::ostringstream err_;
};

const std::string kMultiRace = std::string(PALOMIND_TEST_DATA) + "/multi_race_noise.journal";

TEST_F(ReplayCommandTest, ReplaysAMultiRaceJournalWithNoiseToTheSecondRacesResult) {
    ASSERT_EQ(Run({"--replay", kMultiRace, "--save", "r.rdt", "--trace", "t.txt"}), 0)
        << err_.str();
    const std::string trace = ReadBytes("t.txt");
    // Start-up, then race 1 (stopped), then race 2 to its end.
    EXPECT_EQ(trace.rfind("100000 status 待機中\n", 0), 0u) << trace.substr(0, 200);
    EXPECT_NE(trace.find("status 計測中"), std::string::npos);
    EXPECT_NE(trace.find("sound snd3.wav"), std::string::npos);
    EXPECT_NE(trace.find("sound lap.wav"), std::string::npos);
    EXPECT_NE(trace.find("status 全終了"), std::string::npos);
    const std::string result = ReadBytes("r.rdt");
    EXPECT_GT(result.size(), 200u);
    // The missing settings file gave its message on standard error, the
    // defaults, and wrote nothing.
    EXPECT_NE(err_.str().find("設定ファイルがありません。新規に作成します"), std::string::npos);
    EXPECT_FALSE(fs::exists("Palomind.ini"));
    EXPECT_FALSE(fs::exists("idname.ind"));
}

// A live journal the program wrote before it journaled names, comments and
// opened files, with the result file and trace its replay gave then (in an
// empty folder): it must replay exactly as it did.
TEST_F(ReplayCommandTest, AnOlderLiveJournalReplaysAsItDidWhenItWasWritten) {
    const std::string data = std::string(PALOMIND_TEST_DATA) + "/live_before_names_were_journaled";
    ASSERT_EQ(Run({"--replay", data + ".journal", "--save", "r.rdt", "--trace", "t.txt"}), 0)
        << err_.str();
    EXPECT_EQ(ReadBytes("r.rdt"), ReadBytes(data + ".rdt"));
    EXPECT_EQ(ReadBytes("t.txt"), ReadBytes(data + ".trace"));
}

TEST_F(ReplayCommandTest, GivesTheSameOutputEveryTime) {
    ASSERT_EQ(Run({"--replay", kMultiRace, "--save", "a.rdt", "--trace", "a.txt"}), 0);
    ASSERT_EQ(Run({"--replay", kMultiRace, "--save", "b.rdt", "--trace", "b.txt"}), 0);
    EXPECT_EQ(ReadBytes("a.rdt"), ReadBytes("b.rdt"));
    EXPECT_EQ(ReadBytes("a.txt"), ReadBytes("b.txt"));
}

TEST_F(ReplayCommandTest, BadJournalNamesTheLineAndWritesNothing) {
    WriteBytes("bad.journal", "palomind-journal 1\n100 boot\n200 strat\n");
    EXPECT_NE(Run({"--replay", "bad.journal", "--save", "r.rdt", "--trace", "t.txt"}), 0);
    EXPECT_NE(err_.str().find("bad.journal:3:"), std::string::npos) << err_.str();
    EXPECT_FALSE(fs::exists("r.rdt"));
    EXPECT_FALSE(fs::exists("t.txt"));
}

TEST_F(ReplayCommandTest, UnwritableOutputFailsWithAMessage) {
    WriteBytes("ok.journal", "palomind-journal 1\n100 boot\n");
    EXPECT_NE(Run({"--replay", "ok.journal", "--save", "no/such/dir/r.rdt"}), 0);
    EXPECT_NE(err_.str().find("no/such/dir/r.rdt"), std::string::npos);
}

TEST_F(ReplayCommandTest, ReadsTheSettingsAndRosterAsStartUpDoes) {
    // Race time 0 becomes 480; a wait of 3; read-out mode 1 silences cues.
    WriteBytes("Palomind.ini", "1\r\n0\r\n3\r\n1\r\n\"comment\"\r\n");
    std::string roster;
    for (int id = 1; id <= 64; ++id) roster += "\"R" + std::to_string(id) + "\"\r\n";
    WriteBytes("idname.ind", roster);
    WriteBytes("race.journal", "palomind-journal 1\n0 boot\n1000 start\n5000 id2\n");
    ASSERT_EQ(Run({"--replay", "race.journal", "--save", "r.rdt", "--trace", "t.txt", "--until",
                   "485000"}),
              0)
        << err_.str();
    const std::string trace = ReadBytes("t.txt");
    EXPECT_EQ(trace.find("snd"), std::string::npos) << trace;
    EXPECT_NE(trace.find("483500 status 終了中"), std::string::npos) << trace;
    const std::string result = ReadBytes("r.rdt");
    EXPECT_EQ(result.rfind("\"comment\"\r\n0\r\n1\r\n", 0), 0u);
    EXPECT_TRUE(err_.str().empty()) << err_.str();
}

TEST_F(ReplayCommandTest, RefusesUnknownOptions) {
    EXPECT_EQ(Run({"--replay", "x", "--bogus", "y"}), 2);
    EXPECT_EQ(Run({"--replay"}), 2);
    EXPECT_EQ(Run({"--replay", "x", "--until", "12a"}), 2);
}

}  // namespace
}  // namespace palomind::testing
