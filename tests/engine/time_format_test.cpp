#include "engine/time_format.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

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
    // Every field stops at the largest 32-bit value instead of overflowing.
    const std::string most = "2147483647";
    for (const double huge : {1e300, std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(huge);
        EXPECT_EQ(FormatRaceTime(huge), most + "h" + most + "m" + most + "s" + most);
        EXPECT_EQ(FormatClock(-huge), "-" + most + "h" + most + "m" + most + "s");
        EXPECT_EQ(FormatLapTime(-huge), "-" + most + "m" + most + "s" + most);
    }
    // Not a number shows as zero.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(FormatRaceTime(nan), "00h00m00s00");
    EXPECT_EQ(FormatClock(nan), "00h00m00s");
    EXPECT_EQ(FormatLapTime(nan), "00m00s00");
}

TEST(TimeFormat, PadsToAtLeastTheGivenDigits) {
    EXPECT_EQ(FormatPadded(5, 2), "05");
    EXPECT_EQ(FormatPadded(64, 2), "64");
    EXPECT_EQ(FormatPadded(0, 3), "000");
    EXPECT_EQ(FormatPadded(1234, 3), "1234");
}

}  // namespace
}  // namespace palomind
