// The check before a heat's start reads the receiver's frames as the race's
// decoder does while timing.
#include "app/transponder_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/receiver_frame.h"

namespace palomind::testing {
namespace {

std::vector<std::uint8_t> Joined(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> bytes;
    for (const std::vector<std::uint8_t>& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

TEST(TransponderCheckTest, SortsTheFramesReadIntoTheHeatsAndStrangers) {
    struct Case {
        std::string what;
        std::vector<std::uint8_t> bytes;
        std::set<int> seenInHeat;
        std::set<int> strangers;
    };
    std::vector<std::uint8_t> badSum = Frame(5);
    badSum.back() ^= 1;
    const std::vector<Case> cases = {
        {"one of the heat and a stranger", Joined({Frame(5), Frame(17)}), {5}, {17}},
        {"a bad checksum", badSum, {}, {}},
        {"IDs 0 and 65 are never ranked", Joined({Frame(0), Frame(65)}), {}, {}},
        {"a fourth sync byte starts the count again",
         Joined({{0xFE}, Frame(5), Frame(17)}),
         {},
         {17}},
        {"noise before a frame", Joined({{0x33, 0xFE, 0x20}, Frame(8)}), {8}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TransponderCheck check;
        check.Load({5, 8});
        check.Received(c.bytes);
        EXPECT_EQ(check.SeenInHeat(), c.seenInHeat);
        EXPECT_EQ(check.Strangers(), c.strangers);
    }
}

TEST(TransponderCheckTest, AFrameSplitOverTwoBlocksIsRead) {
    TransponderCheck check;
    check.Load({5});
    const std::vector<std::uint8_t> frame = Frame(5);
    check.Received(std::span(frame).first(3));
    check.Received(std::span(frame).subspan(3));
    EXPECT_EQ(check.SeenInHeat(), (std::set<int>{5}));
}

TEST(TransponderCheckTest, LoadingAHeatForgetsWhatWasSeen) {
    TransponderCheck check;
    check.Load({5});
    check.Received(Joined({Frame(5), Frame(9)}));
    check.Load({9});
    EXPECT_TRUE(check.SeenInHeat().empty());
    EXPECT_TRUE(check.Strangers().empty());
}

}  // namespace
}  // namespace palomind::testing
