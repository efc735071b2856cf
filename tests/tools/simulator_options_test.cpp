#include "tools/receiver_simulator/simulator_options.h"

#include <gtest/gtest.h>

namespace palomind::simulator {
namespace {

SimulatorOptions Parsed(const std::vector<std::string>& args) {
    const OptionsParse parse = ParseSimulatorOptions(args);
    EXPECT_TRUE(parse.ok) << parse.error;
    return parse.options;
}

std::string ErrorOf(const std::vector<std::string>& args) {
    const OptionsParse parse = ParseSimulatorOptions(args);
    EXPECT_FALSE(parse.ok);
    return parse.error;
}

TEST(SimulatorOptions, DefaultIsEightTransponderRaceOnAPseudoTerminal) {
    const SimulatorOptions o = Parsed({});
    ASSERT_EQ(o.transponders.size(), 8u);
    for (std::size_t n = 0; n < 8; ++n) {
        EXPECT_EQ(o.transponders[n].id, n + 1);
        // A field spread a little, fastest first.
        EXPECT_DOUBLE_EQ(o.transponders[n].meanLapSeconds, 14.0 + 0.4 * static_cast<double>(n));
    }
    EXPECT_FALSE(o.device);
    EXPECT_FALSE(o.saturated);
    EXPECT_FALSE(o.seedGiven);
    EXPECT_EQ(o.noiseProbability, 0.0);
}

TEST(SimulatorOptions, LapOfOneTransponderOverridesTheLapOfAll) {
    const SimulatorOptions o = Parsed({"--ids", "12,5,40", "--lap", "20:1.5", "--lap-of", "5=9.5"});
    ASSERT_EQ(o.transponders.size(), 3u);
    EXPECT_EQ(o.transponders[0].id, 12);
    EXPECT_DOUBLE_EQ(o.transponders[0].meanLapSeconds, 20.0);
    EXPECT_DOUBLE_EQ(o.transponders[0].spreadSeconds, 1.5);
    EXPECT_EQ(o.transponders[1].id, 5);
    EXPECT_DOUBLE_EQ(o.transponders[1].meanLapSeconds, 9.5);
    // A mean without a spread keeps the spread already in force.
    EXPECT_DOUBLE_EQ(o.transponders[1].spreadSeconds, 1.5);
}

TEST(SimulatorOptions, EveryOptionReachesItsField) {
    const SimulatorOptions o = Parsed({"--device",
                                       "/dev/ttyUSB0",
                                       "--transponders",
                                       "20",
                                       "--seed",
                                       "77",
                                       "--noise",
                                       "0.05",
                                       "--saturated",
                                       "--log",
                                       "sent.log",
                                       "--duration",
                                       "60",
                                       "--passes",
                                       "100",
                                       "--begin-at",
                                       "-5",
                                       "--finish-at",
                                       "2147483647",
                                       "--exit-with-stdin"});
    EXPECT_EQ(o.device, "/dev/ttyUSB0");
    EXPECT_EQ(o.transponders.size(), 20u);
    EXPECT_EQ(o.seed, 77u);
    EXPECT_TRUE(o.seedGiven);
    EXPECT_DOUBLE_EQ(o.noiseProbability, 0.05);
    EXPECT_TRUE(o.saturated);
    EXPECT_EQ(o.logPath, "sent.log");
    EXPECT_EQ(o.durationSeconds, 60.0);
    EXPECT_EQ(o.passLimit, 100);
    EXPECT_EQ(o.beginTick, -5);
    EXPECT_EQ(o.finishTick, 2147483647);
    EXPECT_TRUE(o.exitWithStdin);
    EXPECT_EQ(Parsed({"--play-journal", "race.journal", "--start-from-stdin"}).journal,
              "race.journal");
}

TEST(SimulatorOptions, BadValuesAndClashesAreRefusedWithAReason) {
    EXPECT_NE(ErrorOf({"--ids", "3,254"}).find("--ids"), std::string::npos);
    ErrorOf({"--ids", "3,3"});
    ErrorOf({"--ids", "3,"});
    ErrorOf({"--transponders", "0"});
    ErrorOf({"--transponders", "65"});
    ErrorOf({"--transponders", "4", "--ids", "1,2"});
    ErrorOf({"--lap", "0"});
    ErrorOf({"--lap", "10:-1"});
    ErrorOf({"--lap", "nan"});
    ErrorOf({"--noise", "1.5"});
    ErrorOf({"--noise", "nan"});
    ErrorOf({"--duration", "0"});
    ErrorOf({"--begin-at", "2147483648"});
    ErrorOf({"--saturated", "--play-journal", "x"});
    ErrorOf({"--start-from-stdin", "--begin-at", "5"});
    EXPECT_NE(ErrorOf({"--transponders", "3", "--lap-of", "9=10"}).find("9"), std::string::npos);
    EXPECT_NE(ErrorOf({"--seed"}).find("needs a value"), std::string::npos);
    EXPECT_NE(ErrorOf({"--colour", "red"}).find("unknown option --colour"), std::string::npos);
}

TEST(SimulatorOptions, StartLineGivesNowOrTheTicks) {
    const std::optional<StartLine> now = ParseStartLine("now\n");
    ASSERT_TRUE(now);
    EXPECT_FALSE(now->beginTick);
    const std::optional<StartLine> both = ParseStartLine("-1200 35000\r\n");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->beginTick, -1200);
    EXPECT_EQ(both->finishTick, 35000);
    EXPECT_EQ(ParseStartLine("500")->finishTick, std::nullopt);
    EXPECT_FALSE(ParseStartLine("soon"));
    EXPECT_FALSE(ParseStartLine("5 x"));
}

}  // namespace
}  // namespace palomind::simulator
