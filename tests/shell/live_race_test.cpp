// A whole race through the real window: receiver frames from the serial
// port, the race clock's timer, the cues, and the journal written meanwhile.
#include <gtest/gtest.h>

#include <QAction>
#include <sstream>

#include "app/replay_command.h"
#include "tests/support/shell_harness.h"

namespace palomind::testing {
namespace {

class LiveRaceTest : public StartedShellTest {
  protected:
    void SetUp() override {
        StartedShellTest::SetUp();
        if (HasFatalFailure()) return;
        // The operator shortens the race from the menu; the settings file
        // still says 480 until shutdown.
        h.dialogs.inputAnswers.push_back("30");
        h.Choose("mnuRaceTime");
        ASSERT_EQ(h.State().RaceTime, 30);
    }

    // Start at tick 1,000,000: timing from second 1010 to 1040. IDs 5 and 7
    // each lap twice, then finish after the race time.
    void RunRace() {
        h.Press("レース開始");
        h.RunClockUntil(1'005'000);
        h.serial.Receive(Frame(9));  // before timing: ignored
        h.RunClockUntil(1'015'000);
        h.serial.Receive(Frame(5));
        h.RunClockUntil(1'016'000);
        h.serial.Receive(Frame(7, 0x01, 0x02));
        h.RunClockUntil(1'025'000);
        // Two frames in one block, the second split over two reads.
        std::vector<std::uint8_t> block = Frame(5);
        const std::vector<std::uint8_t> second = Frame(7, 0x33, 0x44);
        block.insert(block.end(), second.begin(), second.begin() + 3);
        h.serial.Receive(block);
        h.RunClockUntil(1'025'020);
        h.serial.Receive({second.begin() + 3, second.end()});
        h.RunClockUntil(1'041'000);
        finishingStatus = h.Model().StatusCaption;
        h.serial.Receive(Frame(5));
        afterFirstFinish = h.Model().StatusCaption;
        h.RunClockUntil(1'042'000);
        h.serial.Receive(Frame(7));
    }

    std::string finishingStatus;
    std::string afterFirstFinish;
};

TEST_F(LiveRaceTest, RaceRunsFromTheStartButtonToAllFinishedWithItsCues) {
    RunRace();
    EXPECT_EQ(finishingStatus, "終了中");
    EXPECT_EQ(afterFirstFinish, "終了中");
    EXPECT_EQ(h.Model().StatusCaption, "全終了");
    EXPECT_EQ(h.State().AllFinished, kTrue);
    EXPECT_EQ(h.sound.played,
              (std::vector<std::string>{"snd3.wav", "snd1.wav", "snd1.wav", "snd1.wav", "snd2.wav",
                                        "lap.wav", "lap.wav", "lap.wav", "lap.wav", "snd3.wav",
                                        "snd1.wav", "snd1.wav", "snd1.wav", "snd2.wav", "lap.wav",
                                        "lap.wav"}));
    // The start cue at the start second, the end cue 30 seconds later.
    EXPECT_EQ(h.sound.playedAt[4], 1'009'500);
    EXPECT_EQ(h.sound.playedAt[13], 1'039'500);
    // ID 5 leads: two laps (the first timed from the start), its last pass
    // 31 s after the start.
    EXPECT_EQ(h.Model().Standings.TextMatrix(1, 1), "05");
    EXPECT_EQ(h.Model().Standings.TextMatrix(1, 2), "R05");
    EXPECT_EQ(h.Model().Standings.TextMatrix(1, 3), "002");
    EXPECT_EQ(h.Model().Standings.TextMatrix(1, 4), "00h00m31s00");
    EXPECT_EQ(h.Model().Standings.TextMatrix(2, 1), "07");
    EXPECT_EQ(h.State().LapCount[9], -1);
    EXPECT_EQ(h.Model().LapHistory.TextMatrix(0, 1), "ID05");
    EXPECT_EQ(h.Model().LapHistory.TextMatrix(2, 1), "00m15s00");
}

TEST_F(LiveRaceTest, JournalOfTheLiveRunReplaysToTheSameResultFile) {
    RunRace();
    h.dialogs.fileAnswers.push_back("live.rdt");
    h.Choose("mnuFileSave");
    const std::string live = h.ReadFile("live.rdt");
    ASSERT_FALSE(live.empty());

    std::ostringstream err;
    const int status =
        RunReplayCommand({"--replay", h.journal.Path().string(), "--save", "replayed.rdt"}, err);
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_EQ(h.ReadFile("replayed.rdt"), live);

    // The journal names its events with the ticks the engine saw.
    const std::string journal = h.ReadFile(h.journal.Path().string());
    EXPECT_NE(journal.find("\n1000000 start\n"), std::string::npos);
    EXPECT_NE(journal.find("\n1015000 rx fe fe fe 05 10 20 35\n"), std::string::npos);
    EXPECT_NE(journal.find("racetime 30\n"), std::string::npos);
}

}  // namespace
}  // namespace palomind::testing
