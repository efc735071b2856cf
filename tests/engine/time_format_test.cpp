#include "engine/time_format.h"

#include <gtest/gtest.h>

namespace palomind {
namespace {

struct Row {
    double seconds;
    const char* race;
    const char* clock;
    const char* lap;
};

TEST(TimeFormat, FormatsTheTableOfExamples) {
    const Row rows[] = {
        {0, "00h00m00s00", "00h00m00s", "00m00s00"},
        {83.456, "00h01m23s45", "00h01m23s", "01m23s45"},
        {12.07, "00h00m12s07", "00h00m12s", "00m12s07"},
        {-5.25, "-00h00m05s25", "-00h00m05s", "-00m05s25"},
        {3725.5, "01h02m05s50", "01h02m05s", "02m05s50"},
        {360000, "100h00m00s00", "100h00m00s", "00m00s00"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.seconds);
        EXPECT_EQ(FormatRaceTime(r.seconds), r.race);
        EXPECT_EQ(FormatClock(r.seconds), r.clock);
        EXPECT_EQ(FormatLapTime(r.seconds), r.lap);
    }
}

TEST(TimeFormat, TruncatesHundredthsFromTheDoubleValue) {
    EXPECT_EQ(FormatLapTime(0.29), "00m00s28");
    EXPECT_EQ(FormatLapTime(1.29), "00m01s29");
    EXPECT_EQ(FormatLapTime(59.999), "00m59s99");
    EXPECT_EQ(FormatLapTime(3600), "00m00s00");
}

TEST(TimeFormat, SurvivesValuesFarOutsideAnyRace) {
    EXPECT_FALSE(FormatRaceTime(1e300).empty());
    EXPECT_FALSE(FormatLapTime(-1e300).empty());
    EXPECT_EQ(FormatClock(std::numeric_limits<double>::quiet_NaN()), "00h00m00s");
}

TEST(TimeFormat, PadsToAtLeastTheGivenDigits) {
    EXPECT_EQ(FormatPadded(5, 2), "05");
    EXPECT_EQ(FormatPadded(64, 2), "64");
    EXPECT_EQ(FormatPadded(0, 3), "000");
    EXPECT_EQ(FormatPadded(1234, 3), "1234");
}

}  // namespace
}  // namespace palomind
