#include "tools/receiver_simulator/delivery_latency.h"

#include <gtest/gtest.h>

namespace palomind::simulator {
namespace {

constexpr std::int64_t kMs = 1'000'000;

SendLogEntry Sent(std::int64_t nanos, TransmissionKind kind, Bytes bytes,
                  SendOutcome outcome = SendOutcome::Sent) {
    return {nanos, outcome, kind, std::move(bytes)};
}

const Bytes kFrameA = {0xFE, 0xFE, 0xFE, 0x01, 0x10, 0x20, 0x31};
const Bytes kFrameB = {0xFE, 0xFE, 0xFE, 0x02, 0x10, 0x20, 0x32};

TEST(DeliveryLatency, EachPassIsTimedToTheReceptionThatCompletedIt) {
    const std::vector<SendLogEntry> sent = {
        Sent(1000 * kMs + 700'000, TransmissionKind::Pass, kFrameA),
        Sent(1004 * kMs, TransmissionKind::StrayBytes, {0x33}),
        Sent(1010 * kMs, TransmissionKind::Pass, kFrameB),
    };
    // Frame B arrives split over two reads; the stray byte rides with its head.
    const std::vector<RecordedReception> received = {
        {1001, kFrameA},
        {1011, {0x33, 0xFE, 0xFE}},
        {1013, {0xFE, 0x02, 0x10, 0x20, 0x32}},
    };
    const DeliveryReport report = MatchDeliveries(sent, received);
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_EQ(report.passesSent, 2);
    EXPECT_EQ(report.passesDelivered, 2);
    EXPECT_EQ(report.latenciesMs, (std::vector<std::int32_t>{1, 3}));
}

TEST(DeliveryLatency, LostBlocksAreCountedButNotExpected) {
    const std::vector<SendLogEntry> sent = {
        Sent(10 * kMs, TransmissionKind::Pass, kFrameA, SendOutcome::Lost),
        Sent(20 * kMs, TransmissionKind::Pass, kFrameB),
    };
    const DeliveryReport report = MatchDeliveries(sent, {{20, kFrameB}});
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_EQ(report.passesSent, 2);
    EXPECT_EQ(report.passesDelivered, 1);
}

TEST(DeliveryLatency, MissingChangedOrExtraBytesAreReported) {
    const std::vector<SendLogEntry> sent = {Sent(10 * kMs, TransmissionKind::Pass, kFrameA),
                                            Sent(20 * kMs, TransmissionKind::Pass, kFrameB)};
    EXPECT_NE(MatchDeliveries(sent, {{10, kFrameA}}).error.find("byte 7 is missing"),
              std::string::npos);
    Bytes changed = kFrameB;
    changed[5] = 0x21;
    EXPECT_NE(MatchDeliveries(sent, {{10, kFrameA}, {20, changed}}).error.find("byte 12 differs"),
              std::string::npos);
    EXPECT_FALSE(MatchDeliveries(sent, {{10, kFrameA}, {20, kFrameB}, {30, {0x01}}}).ok);
}

TEST(DeliveryLatency, LatencySurvivesTheTickCounterWrap) {
    // Written in the last millisecond before the 32-bit wrap, received just after.
    const std::int64_t lastBeforeWrap = ((std::int64_t{1} << 32) - 1) * kMs;
    const DeliveryReport report =
        MatchDeliveries({Sent(lastBeforeWrap, TransmissionKind::Pass, kFrameA)}, {{1, kFrameA}});
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.latenciesMs, std::vector<std::int32_t>{2});
}

TEST(DeliveryLatency, PercentileIsTheNearestRank) {
    std::vector<std::int32_t> values;
    for (int v = 100; v >= 1; --v) values.push_back(v);
    EXPECT_EQ(Percentile(values, 0.5), 50);
    EXPECT_EQ(Percentile(values, 0.99), 99);
    EXPECT_EQ(Percentile(values, 1.0), 100);
    EXPECT_EQ(Percentile({7}, 0.5), 7);
    EXPECT_EQ(Percentile({}, 0.5), 0);
}

}  // namespace
}  // namespace palomind::simulator
