#include <vector>

#include "engine/receiver_frame.h"
#include "tests/engine/engine_fixture.h"

namespace palomind::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

class FrameDecoderTest : public EngineTest {
  protected:
    FrameDecoderTest() {
        At(100000);
        engine.ReSet();
        state.RaceRunning = kTrue;  // timing
    }
    void Feed(const Bytes& bytes) { engine.OnComm(bytes); }
    // IDs that reached lap processing, in order (first passes enter the
    // standings, so entrant order tells which passes arrived).
    std::vector<int> PassedIds() {
        std::vector<int> ids;
        for (int n = 1; n <= state.EntryCount; ++n)
            ids.push_back(state.EntryIds[static_cast<std::size_t>(n)]);
        return ids;
    }
    int LapsOf(int id) { return state.LapCount[static_cast<std::size_t>(id)]; }
};

const Bytes kFrameId5 = {0xFE, 0xFE, 0xFE, 0x05, 0x10, 0x20, 0x35};

TEST(ReceiverFrame, CarriesTheSumOfIdAndDataModulo256) {
    EXPECT_EQ(ReceiverFrame(0x05, 0x10, 0x20), kFrameId5);
    EXPECT_EQ(ReceiverFrame(0xF0, 0x20, 0x10), (Bytes{0xFE, 0xFE, 0xFE, 0xF0, 0x20, 0x10, 0x20}));
}

TEST_F(FrameDecoderTest, ValidFrameBecomesAPassOfItsId) {
    Feed(kFrameId5);
    EXPECT_EQ(PassedIds(), std::vector<int>{5});
    EXPECT_EQ(state.PassId, 5);
}

TEST_F(FrameDecoderTest, WrongChecksumIsDropped) {
    Feed({0xFE, 0xFE, 0xFE, 0x05, 0x10, 0x20, 0x36});
    EXPECT_TRUE(PassedIds().empty());
}

TEST_F(FrameDecoderTest, ChecksumWrapsAt256) {
    // ID 0xF0 is dropped before lap processing, so check PassId was set.
    Feed({0xFE, 0xFE, 0xFE, 0xF0, 0x20, 0x10, 0x20});
    EXPECT_EQ(state.PassId, 0xF0);
    Feed({0xFE, 0xFE, 0xFE, 0x30, 0xF0, 0x10, 0x30});
    EXPECT_EQ(PassedIds(), std::vector<int>{0x30});
}

TEST_F(FrameDecoderTest, FramesOutsideTimingAreIgnored) {
    state.RaceRunning = kFalse;
    Feed(kFrameId5);
    EXPECT_TRUE(PassedIds().empty());
    EXPECT_EQ(state.SyncCount, 0);
}

TEST_F(FrameDecoderTest, OnlySyncRunsOfThreeOrSevenStartAFrame) {
    for (int run = 1; run <= 8; ++run) {
        SCOPED_TRACE(run);
        At(100000 + run * 1000);
        engine.ReSet();
        state.RaceRunning = kTrue;
        state.SyncCount = 0;
        Bytes bytes(static_cast<std::size_t>(run), 0xFE);
        bytes.insert(bytes.end(), {0x05, 0x10, 0x20, 0x35});
        Feed(bytes);
        const bool accepted = run == 3 || run == 7;
        EXPECT_EQ(PassedIds().size(), accepted ? 1u : 0u);
    }
}

TEST_F(FrameDecoderTest, FrameSplitAtEveryByteBoundaryStillArrives) {
    for (std::size_t split = 1; split < kFrameId5.size(); ++split) {
        SCOPED_TRACE(split);
        Feed(Bytes(kFrameId5.begin(), kFrameId5.begin() + static_cast<long>(split)));
        Feed(Bytes(kFrameId5.begin() + static_cast<long>(split), kFrameId5.end()));
    }
    EXPECT_EQ(LapsOf(5), static_cast<int>(kFrameId5.size()) - 2);
}

TEST_F(FrameDecoderTest, BackToBackFramesArriveInOrder) {
    Bytes bytes = {0xFE, 0xFE, 0xFE, 0x07, 0x01, 0x02, 0x0A};
    bytes.insert(bytes.end(), kFrameId5.begin(), kFrameId5.end());
    Feed(bytes);
    EXPECT_EQ(PassedIds(), (std::vector<int>{7, 5}));
}

TEST_F(FrameDecoderTest, ChecksumOf0xFEIsNeverAcceptedWhileTiming) {
    // 0x10 + 0x20 + 0xCE = 0xFE: the checksum byte reads as sync.
    Feed({0xFE, 0xFE, 0xFE, 0x10, 0x20, 0xCE, 0xFE});
    EXPECT_TRUE(PassedIds().empty());
}

TEST_F(FrameDecoderTest, NoiseBetweenFramesLosesNoValidFrame) {
    Bytes bytes = {0x00, 0xFE, 0x13, 0xFE, 0xFE, 0x99};
    bytes.insert(bytes.end(), kFrameId5.begin(), kFrameId5.end());
    bytes.insert(bytes.end(), {0xFE, 0xFE, 0xFE, 0x05, 0x10, 0x20, 0x99});  // bad checksum
    bytes.insert(bytes.end(), kFrameId5.begin(), kFrameId5.end());
    Feed(bytes);
    EXPECT_EQ(LapsOf(5), 1);
}

TEST_F(FrameDecoderTest, EmptyReadChangesNothing) {
    Feed({0xFE, 0xFE});
    Feed({});
    EXPECT_EQ(state.SyncCount, 2);
}

}  // namespace
}  // namespace palomind::testing
