#include "app/stand_board.h"

#include <gtest/gtest.h>

#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

// A race with a 10-second start wait, started at tick 0: timing opens at 10 s.
class StandBoardTest : public EngineTest {
  protected:
    StandBoard Board() const { return StandBoardOf(state, window, names); }
};

TEST_F(StandBoardTest, TheCountdownShowsTheSecondsToTheStartUntilTimingOpens) {
    StartAt(0);
    EXPECT_EQ(Board().secondsToStart, 10);
    TickUntil(3'000);
    EXPECT_EQ(Board().secondsToStart, 7);
    TickUntil(9'000);
    EXPECT_EQ(Board().secondsToStart, 1);
    TickUntil(10'000);
    EXPECT_EQ(Board().secondsToStart, std::nullopt);
    EXPECT_EQ(Board().status, "計測中");
    EXPECT_EQ(Board().lampColor, kTimingBlue);
}

TEST_F(StandBoardTest, NoCountdownBeforeARaceIsStarted) {
    EXPECT_EQ(Board().secondsToStart, std::nullopt);
    EXPECT_TRUE(Board().rows.empty());
}

TEST_F(StandBoardTest, OnlyPlacesThatHoldAnEntrantWithGapsInLapsOrSeconds) {
    names[9].clear();
    StartAt(0);
    TickUntil(10'000);
    Pass(5, 11'000);
    Pass(7, 11'500);
    Pass(9, 12'000);
    Pass(64, 12'500);  // never ranked: holds no place
    Pass(5, 23'340);
    Pass(7, 24'000);
    Pass(5, 35'000);
    // A first lap runs from the start of timing.
    std::vector<StandRow> expected{
        {.place = 1, .id = 5, .name = "N5", .laps = 2, .lastLap = "11.66", .bestLap = "11.66"},
        {.place = 2,
         .id = 7,
         .name = "N7",
         .laps = 1,
         .lastLap = "14.00",
         .bestLap = "14.00",
         .gap = "+1周"},
        {.place = 3, .id = 9, .name = "未登録", .laps = 0, .gap = "+2周"},
    };
    EXPECT_EQ(Board().rows, expected);

    // On the same lap the gap is the time between their passes.
    Pass(7, 36'010);
    expected[1] = {.place = 2,
                   .id = 7,
                   .name = "N7",
                   .laps = 2,
                   .lastLap = "12.01",
                   .bestLap = "12.01",
                   .gap = "+1.01"};
    EXPECT_EQ(Board().rows, expected);
}

TEST(StandTimeTest, TimesAreTruncatedToHundredthsWithoutLeadingZeroUnits) {
    struct Case {
        std::int64_t ms;
        const char* text;
    };
    for (const Case c :
         {Case{9'050, "9.05"}, Case{12'349, "12.34"}, Case{59'999, "59.99"},
          Case{62'500, "1:02.50"}, Case{600'000, "10:00.00"}, Case{3'600'000, "1:00:00.00"},
          Case{3'725'070, "1:02:05.07"}, Case{-20, "0.00"}})
        EXPECT_EQ(FormatStandTime(c.ms), c.text) << c.ms;
}

}  // namespace
}  // namespace palomind::testing
