#include "app/replay_command.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
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

TEST_F(ReplayCommandTest, ATornLastLineIsLeftOutWithAWarning) {
    WriteBytes("torn.journal", "palomind-journal 1\n1000 boot\n1100 racetime 30");
    ASSERT_EQ(Run({"--replay", "torn.journal", "--export-csv", "r.csv"}), 0) << err_.str();
    EXPECT_NE(err_.str().find("torn.journal:3: warning: "), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("\"1100 racetime 30\"\n"), std::string::npos) << err_.str();
    EXPECT_NE(ReadBytes("r.csv").find("レース時間,480\r\n"), std::string::npos);  // the default
}

TEST_F(ReplayCommandTest, FailuresSayTheSystemsReason) {
    WriteBytes("ok.journal", "palomind-journal 1\n100 boot\n");
    EXPECT_EQ(Run({"--replay", "ok.journal", "--save", "no/such/dir/r.rdt"}), 1);
    EXPECT_NE(err_.str().find("cannot write the result file no/such/dir/r.rdt: " +
                              std::string(std::strerror(ENOENT))),
              std::string::npos)
        << err_.str();

    fs::create_directory("r.csv");
    EXPECT_EQ(Run({"--replay", "ok.journal", "--export-csv", "r.csv"}), 1);
    EXPECT_NE(err_.str().find("cannot write the export r.csv: not a regular file"),
              std::string::npos)
        << err_.str();

    WriteBytes("big.journal", "");
    fs::resize_file("big.journal", (64u << 20) + 1);  // sparse
    EXPECT_EQ(Run({"--replay", "big.journal"}), 1);
    EXPECT_NE(err_.str().find("cannot read the journal big.journal: over the size limit of 64 MiB"),
              std::string::npos)
        << err_.str();
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

// A short race read out in Japanese: a countdown from 10, the start, test
// passes of ID 2 (named in kana) and ID 3 (named in letters; the first lap
// runs from the start of timing), the end of the
// race time and both finishes. The trace lists what the voice would say.
TEST_F(ReplayCommandTest, TraceListsWhatTheVoiceSaysInAReplayedRace) {
    std::string roster;
    for (int id = 1; id <= 64; ++id)
        roster += id == 2 ? "\"\x82\xcd\x82\xc8\x82\xb1\"\r\n"  // はなこ in cp932
                          : "\"R" + std::to_string(id) + "\"\r\n";
    WriteBytes("idname.ind", roster);
    const auto journal = [](int ttsMode, std::string callParts = {}) {
        std::string text = "palomind-journal 1\n100000 racetime 12\n100000 startwait 10\n";
        text += "100000 ttsmode " + std::to_string(ttsMode) + "\n" + callParts;
        text += "100000 boot\n100000 start\n";
        for (const char* line :
             {"100010 clock", "105000 clock", "106000 clock", "107000 clock", "108000 clock",
              "109000 clock", "110000 clock", "111000 id2",   "112000 clock", "113500 id2",
              "114000 id3",   "116250 id3",   "117000 clock", "118000 clock", "119000 clock",
              "120000 clock", "121000 clock", "122000 clock", "123000 id2",   "124000 id3"})
            text += std::string(line) + "\n";
        return text;
    };
    WriteBytes("ja.journal", journal(1));
    ASSERT_EQ(Run({"--replay", "ja.journal", "--trace", "ja.txt"}), 0) << err_.str();
    std::istringstream trace(ReadBytes("ja.txt"));
    std::vector<std::string> spoken;
    for (std::string line; std::getline(trace, line);) {
        EXPECT_EQ(line.find(" sound snd"), std::string::npos) << "cues stay silent: " << line;
        if (line.find(" speak ") != std::string::npos) spoken.push_back(line);
    }
    EXPECT_EQ(spoken, (std::vector<std::string>{
                          "100010 speak スタートまで 10びょう",
                          "105000 speak 5",
                          "106000 speak 4",
                          "107000 speak 3",
                          "108000 speak 2",
                          "109000 speak 1",
                          "110000 speak スタート",
                          "112000 speak のこり 10びょう",
                          "113500 speak はなこ、3てん50",
                          "113500 speak ベストラップ、はなこ、3てん50",
                          "116250 speak さんばん、6てん25",
                          "117000 speak 5",
                          "118000 speak 4",
                          "119000 speak 3",
                          "120000 speak 2",
                          "121000 speak 1",
                          "122000 speak タイムアップ",
                          "123000 speak はなこ、9てん50",
                          "123000 speak はなこ、ゴール、1い",
                          "124000 speak さんばん、7てん75",
                          "124000 speak さんばん、ゴール、2い",
                      }));

    // A journal without the lap call's parts calls the number and the lap
    // time; one with them says what they chose.
    WriteBytes("laps.journal", journal(1, "100000 callparts 7\n"));
    ASSERT_EQ(Run({"--replay", "laps.journal", "--trace", "laps.txt"}), 0) << err_.str();
    EXPECT_NE(ReadBytes("laps.txt").find("113500 speak はなこ、1しゅう、3てん50\n"),
              std::string::npos);

    // Mode 0 reads nothing out, and the cues sound as they always did.
    WriteBytes("none.journal", journal(0));
    ASSERT_EQ(Run({"--replay", "none.journal", "--trace", "none.txt"}), 0) << err_.str();
    const std::string none = ReadBytes("none.txt");
    EXPECT_EQ(none.find(" speak "), std::string::npos) << none;
    EXPECT_NE(none.find("100010 sound snd3.wav\n"), std::string::npos) << none;
    EXPECT_NE(none.find("110000 sound snd2.wav\n"), std::string::npos) << none;
}

TEST_F(ReplayCommandTest, RefusesUnknownOptions) {
    EXPECT_EQ(Run({"--replay", "x", "--bogus", "y"}), 2);
    EXPECT_EQ(Run({"--replay"}), 2);
    EXPECT_EQ(Run({"--replay", "x", "--until", "12a"}), 2);
}

}  // namespace
}  // namespace palomind::testing
