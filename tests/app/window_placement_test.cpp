#include "app/window_placement.h"

#include <gtest/gtest.h>

#include "tests/support/platform_fakes.h"

namespace palomind {
namespace {

TEST(WindowPlacementTest, MissingKeysGiveTheDefaultPlacement) {
    testing::MemorySettingsStore settings;
    const WindowPlacement placement = LoadWindowPlacement(settings);
    EXPECT_EQ(placement.left, 0);
    EXPECT_EQ(placement.top, 0);
    EXPECT_EQ(placement.width, 10000);
    EXPECT_EQ(placement.height, 10000);
}

TEST(WindowPlacementTest, ValuesThatAreNotUsableNumbersGiveTheirKeysDefault) {
    testing::MemorySettingsStore settings;
    settings.values[{"Settings", "MainLeft"}] = "12.5";
    settings.values[{"Settings", "MainTop"}] = "abc";
    settings.values[{"Settings", "MainWidth"}] = "inf";
    settings.values[{"Settings", "MainHeight"}] = "1e30";
    const WindowPlacement placement = LoadWindowPlacement(settings);
    EXPECT_EQ(placement.left, 12.5f);
    EXPECT_EQ(placement.top, 0);
    EXPECT_EQ(placement.width, 10000);
    EXPECT_EQ(placement.height, 10000);
    for (const char* text : {"", "nan", "-inf", "12 px", "1,5", "20000000"}) {
        EXPECT_FALSE(ParsePlacementValue(text).has_value()) << text;
    }
    EXPECT_EQ(ParsePlacementValue(" -300 "), -300.0f);
}

TEST(WindowPlacementTest, SavedValuesReadBackAsTheSameSinglePrecisionNumbers) {
    testing::MemorySettingsStore settings;
    SaveWindowPlacement(settings, {-1500, 0.1f, 10005, 14971.25f});
    EXPECT_EQ((settings.values[{"Settings", "MainLeft"}]), "-1500");
    EXPECT_EQ((settings.values[{"Settings", "MainHeight"}]), "14971.25");
    const WindowPlacement placement = LoadWindowPlacement(settings);
    EXPECT_EQ(placement.left, -1500.0f);
    EXPECT_EQ(placement.top, 0.1f);
    EXPECT_EQ(placement.width, 10005.0f);
    EXPECT_EQ(placement.height, 14971.25f);
}

}  // namespace
}  // namespace palomind
