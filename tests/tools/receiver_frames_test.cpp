#include "tools/receiver_simulator/receiver_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "engine/race_engine.h"
#include "tests/support/platform_fakes.h"
#include "tests/support/race_counts.h"

namespace palomind::simulator {
namespace {

// The application's own frame decoder, timing, so the tests see what it
// makes of the simulator's bytes.
class RunningDecoder {
  public:
    RunningDecoder() {
        clock_.Set(100'000);
        engine_.ReSet();
        state_.RaceRunning = kTrue;
        // No frame can carry ID 0xFE, so PassId tells whether any frame at
        // all was accepted, whatever its ID.
        state_.PassId = kReceiverSyncByte;
    }
    bool AnyFrameAccepted() const { return state_.PassId != kReceiverSyncByte; }
    void Feed(const Bytes& bytes) { engine_.OnComm(bytes); }
    int Passes() const { return testing::CountedPasses(state_); }

  private:
    RaceState state_;
    RaceWindowModel window_;
    RosterTable names_;
    SetTickClock clock_;
    testing::SilentSound sound_;
    RaceEngine engine_{state_, window_, names_, clock_, sound_};
};

TEST(ReceiverFrames, PassFramesNeverCarryASyncByteAfterTheSyncRun) {
    SeededRandom random(7);
    for (int n = 0; n < 20'000; ++n) {
        const auto id = static_cast<std::uint8_t>(n % 64 + 1);
        const Bytes frame = MakePassFrame(id, random);
        ASSERT_EQ(frame.size(), 7u);
        EXPECT_EQ(frame[3], id);
        EXPECT_EQ(frame[6], ReceiverFrameChecksum(frame[3], frame[4], frame[5]));
        EXPECT_EQ(std::count(frame.begin() + 3, frame.end(), kReceiverSyncByte), 0) << n;
    }
}

TEST(ReceiverFrames, SameSeedMakesSameBytesAndOtherSeedsDiffer) {
    auto draw = [](std::uint64_t seed) {
        SeededRandom random(seed);
        Bytes all;
        for (int n = 0; n < 50; ++n) {
            const Bytes frame = MakePassFrame(9, random);
            const Noise noise = MakeRandomNoise(random);
            all.insert(all.end(), frame.begin(), frame.end());
            all.insert(all.end(), noise.bytes.begin(), noise.bytes.end());
        }
        return all;
    };
    EXPECT_EQ(draw(42), draw(42));
    EXPECT_NE(draw(42), draw(43));
}

TEST(ReceiverFrames, EachNoiseKindHasItsShape) {
    SeededRandom random(3);
    std::set<std::size_t> syncRuns;
    for (int n = 0; n < 2'000; ++n) {
        const Bytes wrong = MakeNoise(TransmissionKind::WrongChecksum, random);
        ASSERT_EQ(wrong.size(), 7u);
        EXPECT_EQ(Bytes(wrong.begin(), wrong.begin() + 3), Bytes(3, kReceiverSyncByte));
        EXPECT_NE(wrong[6], ReceiverFrameChecksum(wrong[3], wrong[4], wrong[5]));

        const Bytes broken = MakeNoise(TransmissionKind::BrokenSync, random);
        const auto run =
            static_cast<std::size_t>(std::find_if(broken.begin(), broken.end(),
                                                  [](auto b) { return b != kReceiverSyncByte; }) -
                                     broken.begin());
        EXPECT_EQ(broken.size(), run + 4);
        syncRuns.insert(run);

        const Bytes stray = MakeNoise(TransmissionKind::StrayBytes, random);
        EXPECT_GE(stray.size(), 1u);
        EXPECT_LE(stray.size(), 4u);
        EXPECT_EQ(std::count(stray.begin(), stray.end(), kReceiverSyncByte), 0);
    }
    EXPECT_EQ(syncRuns, (std::set<std::size_t>{1, 2, 4, 5, 6}));
}

TEST(ReceiverFrames, DecoderAcceptsEveryPassFrameAndNoNoiseAmongThem) {
    RunningDecoder decoder;
    SeededRandom random(11);
    int sent = 0;
    for (int n = 0; n < 5'000; ++n) {
        // Noise right before and right after frames, any kind, any order.
        for (int k = random.Between(0, 2); k > 0; --k) decoder.Feed(MakeRandomNoise(random).bytes);
        decoder.Feed(MakePassFrame(static_cast<std::uint8_t>(random.Between(1, 63)), random));
        ++sent;
    }
    EXPECT_EQ(decoder.Passes(), sent);
}

TEST(ReceiverFrames, NoiseAloneNeverBecomesAPass) {
    RunningDecoder decoder;
    SeededRandom random(5);
    for (int n = 0; n < 5'000; ++n) decoder.Feed(MakeRandomNoise(random).bytes);
    EXPECT_FALSE(decoder.AnyFrameAccepted());
}

}  // namespace
}  // namespace palomind::simulator
