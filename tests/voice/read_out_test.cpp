#include "voice/read_out.h"

#include <gtest/gtest.h>

#include <vector>

namespace palomind {
namespace {

struct CollectedAnnouncements final : AnnouncementSink {
    void Announce(Announcement announcement) override { said.push_back(std::move(announcement)); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Announcement& a : said) texts.push_back(a.text);
        return texts;
    }
    std::vector<Announcement> said;
};

// The read-out in mode 1 of a race that is timing, with ID 2 named in kana.
class ReadOutTest : public ::testing::Test {
  protected:
    ReadOutTest() {
        state.TtsMode = 1;
        state.RaceRunning = kTrue;
        roster[2] = "はなこ";
        roster[3] = "R03";
    }
    void Tell(RaceEvent event) { readOut.OnRaceEvent(event); }
    void Second(int toStart, int toEnd) {
        Tell(
            {.kind = RaceEventKind::ClockSecond, .secondsToStart = toStart, .secondsToEnd = toEnd});
    }

    RaceState state;
    RosterTable roster;
    CollectedAnnouncements sink;
    ReadOut readOut{state, roster, sink};
};

TEST_F(ReadOutTest, CountdownsAreSpokenAtTheMomentsOfTheirCues) {
    for (int left = 12; left >= 1; --left) Second(left, 0);
    Tell({.kind = RaceEventKind::PhaseChanged, .text = "計測中"});
    for (int left = 11; left >= 1; --left) Second(0, left);
    Tell({.kind = RaceEventKind::PhaseChanged, .text = "終了中"});
    Tell({.kind = RaceEventKind::PhaseChanged, .text = "全終了"});
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"スタートまで 10びょう", "5", "4", "3", "2",
                                                      "1", "スタート", "のこり 10びょう", "5", "4",
                                                      "3", "2", "1", "タイムアップ"}));
    for (const Announcement& a : sink.said) EXPECT_EQ(a.voice, "ja");
    EXPECT_EQ(sink.said[0].kind, AnnouncementKind::Countdown);
    EXPECT_EQ(sink.said[6].kind, AnnouncementKind::Start);
    EXPECT_EQ(sink.said.back().kind, AnnouncementKind::Finishing);
}

TEST_F(ReadOutTest, AStartWaitOfEightOrNineIsCountedFromTheStartCommand) {
    state.TtsMode = 2;
    Tell({.kind = RaceEventKind::RaceReset});
    Second(9, 0);
    Second(8, 0);  // no longer the first second after the reset
    Tell({.kind = RaceEventKind::RaceReset});
    Second(7, 0);  // the start command has no cue for a wait this short
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"9 seconds to start"});
}

TEST_F(ReadOutTest, LapsBestLapsAndFinishesWhileTimingButNoFirstPass) {
    Tell({.kind = RaceEventKind::PassAccepted, .tick = 500, .id = 2, .lap = 0});
    Tell({.kind = RaceEventKind::PassAccepted, .tick = 900, .id = 2, .lap = 1, .lapTime = 4.5});
    Tell({.kind = RaceEventKind::BestLapOfRace, .tick = 900, .id = 2, .lapTime = 4.5});
    Tell({.kind = RaceEventKind::PassAccepted, .id = 3, .lap = 7, .lapTime = 5.25});
    Tell({.kind = RaceEventKind::EntrantFinished, .id = 3, .place = 2});
    Tell({.kind = RaceEventKind::EntrantFinished, .id = 64, .place = 0});
    Tell({.kind = RaceEventKind::StandingsChanged});
    EXPECT_EQ(sink.Texts(),
              (std::vector<std::string>{"はなこ、4てん50", "ベストラップ、はなこ、4てん50",
                                        "さんばん、5てん25", "さんばん、ゴール、2い",
                                        "ろくじゅうよんばん、ゴール"}));
    EXPECT_EQ(sink.said[0].kind, AnnouncementKind::Pass);
    EXPECT_EQ(sink.said[0].id, 2);
    EXPECT_EQ(sink.said[0].tick, 900);
    EXPECT_EQ(sink.said[1].kind, AnnouncementKind::BestLap);
    EXPECT_EQ(sink.said[3].kind, AnnouncementKind::Finished);

    // A test pass while no race is timing is not read out.
    sink.said.clear();
    state.RaceRunning = kFalse;
    Tell({.kind = RaceEventKind::PassAccepted, .id = 1, .lap = 3, .lapTime = 1});
    Tell({.kind = RaceEventKind::BestLapOfRace, .id = 1, .lapTime = 1});
    EXPECT_TRUE(sink.said.empty());
}

TEST_F(ReadOutTest, LapCallsSayThePartsInForceAtTheirPass) {
    state.CallParts = kCallWho | kCallLaps | kCallPlace;
    Tell({.kind = RaceEventKind::PassAccepted, .id = 2, .lap = 4, .place = 1, .lapTime = 4.5});
    state.CallParts = 0;  // nothing chosen: no call, but the finish is still said
    Tell({.kind = RaceEventKind::PassAccepted, .id = 2, .lap = 5, .place = 1, .lapTime = 4.5});
    Tell({.kind = RaceEventKind::EntrantFinished, .id = 2, .place = 1});
    EXPECT_EQ(sink.Texts(),
              (std::vector<std::string>{"はなこ、4しゅう、1い", "はなこ、ゴール、1い"}));
}

TEST_F(ReadOutTest, AFlaggedLapIsCalledToBeCheckedWithoutItsTime) {
    Tell(
        {.kind = RaceEventKind::PassAccepted, .id = 2, .lap = 4, .lapTime = 0.3, .shortLap = true});
    state.TtsMode = 2;
    Tell(
        {.kind = RaceEventKind::PassAccepted, .id = 3, .lap = 2, .lapTime = 0.3, .shortLap = true});
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"はなこ、かくにん", "Number 3, check"}));
    EXPECT_EQ(sink.said[0].kind, AnnouncementKind::Pass);
}

TEST_F(ReadOutTest, ModeNoneAndUnknownModesSayNothing) {
    for (std::int16_t mode : {0, 3}) {
        state.TtsMode = mode;
        Second(10, 0);
        Tell({.kind = RaceEventKind::PhaseChanged, .text = "計測中"});
        Tell({.kind = RaceEventKind::PassAccepted, .id = 2, .lap = 1, .lapTime = 4.5});
        Tell({.kind = RaceEventKind::EntrantFinished, .id = 2, .place = 1});
    }
    EXPECT_TRUE(sink.said.empty());
    // The mode in force at each event counts: English from here on.
    state.TtsMode = 2;
    Tell({.kind = RaceEventKind::PassAccepted, .id = 2, .lap = 1, .lapTime = 4.5});
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Number 2, 4.50"});
    EXPECT_EQ(sink.said[0].voice, "en");
}

}  // namespace
}  // namespace palomind
