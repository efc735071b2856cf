#include "app/receiver_reconnect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/support/platform_fakes.h"

namespace palomind {
namespace {

class ReceiverReconnectTest : public ::testing::Test {
  protected:
    ReceiverReconnectTest() { port.openable.clear(); }  // the receiver is unplugged
    void PlugIn() { port.openable = {1, 2, 3}; }

    // Runs the 10 ms timer for `ms`, returning what the calls reported.
    std::vector<ReceiverReconnect::Result> RunTimerFor(std::int32_t ms) {
        std::vector<ReceiverReconnect::Result> results;
        for (std::int32_t t = 0; t < ms; t += 10) {
            ticks.Set(
                static_cast<std::int32_t>(static_cast<std::uint32_t>(ticks.TimeGetTime()) + 10u));
            results.push_back(reconnect.Poll());
        }
        return results;
    }
    static int Count(const std::vector<ReceiverReconnect::Result>& results,
                     ReceiverReconnect::Result r) {
        return static_cast<int>(std::count(results.begin(), results.end(), r));
    }

    testing::FakeSerialPort port;
    SetTickClock ticks;
    ReceiverReconnect reconnect{port, ticks};
};

TEST_F(ReceiverReconnectTest, DoesNothingUntilThePortFails) {
    const auto results = RunTimerFor(5000);
    EXPECT_EQ(Count(results, ReceiverReconnect::Result::Idle), static_cast<int>(results.size()));
    EXPECT_TRUE(port.openAttempts.empty());
}

TEST_F(ReceiverReconnectTest, TriesTheFailedPortOnceASecondUntilTheDeviceIsBack) {
    ticks.Set(50'000);
    reconnect.PortFailed(3);
    RunTimerFor(5005);
    EXPECT_EQ(port.openAttempts, (std::vector<int>{3, 3, 3, 3, 3}));
    EXPECT_TRUE(reconnect.Waiting());

    PlugIn();
    const auto results = RunTimerFor(1000);
    EXPECT_EQ(Count(results, ReceiverReconnect::Result::Reconnected), 1);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_FALSE(reconnect.Waiting());
    // Back: no more attempts.
    RunTimerFor(3000);
    EXPECT_EQ(port.openAttempts.size(), 6u);
}

TEST_F(ReceiverReconnectTest, GivesWayWhenTheOperatorOpensAPort) {
    reconnect.PortFailed(1);
    RunTimerFor(1500);
    PlugIn();
    port.Open(2);  // the operator picks "ポート２"
    const auto results = RunTimerFor(3000);
    EXPECT_EQ(Count(results, ReceiverReconnect::Result::GaveWay), 1);
    EXPECT_EQ(port.openAttempts, (std::vector<int>{1, 2}));
}

TEST_F(ReceiverReconnectTest, KeepsItsPaceAcrossTheTickCounterWrap) {
    ticks.Set(2'147'483'000);
    reconnect.PortFailed(1);
    RunTimerFor(3005);
    EXPECT_EQ(port.openAttempts.size(), 3u);
}

}  // namespace
}  // namespace palomind
