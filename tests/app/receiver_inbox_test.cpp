// The inbox between the receiver's thread and the window thread, with a real
// thread in the receiver's part.
#include "app/receiver_inbox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace palomind {
namespace {

// Every reading is one tick later than the one before, on whichever thread:
// any two readings are ordered, so the test sees exactly which came first.
class CountingClock final : public TickClock {
  public:
    std::int32_t TimeGetTime() override { return ++tick_; }

  private:
    std::atomic<std::int32_t> tick_ = 0;
};

// The receiver stamps block n (its bytes: n in the first byte, seven bytes
// like a frame) while the window thread takes and latches. Nothing is lost or
// changed, blocks come in the order they were read, and the events as the
// window thread orders them (each take's blocks, then its latched tick) carry
// ticks that never go back: a block stamped after a latch is always later.
TEST(ReceiverInboxTest, BlocksStampedOnAnotherThreadAreTakenWholeInOrderAndTheirTicksNeverGoBack) {
    constexpr int kBlocks = 50000;
    CountingClock clock;
    ReceiverInbox inbox(clock);
    std::atomic<bool> reading = true;
    std::thread receiver([&] {
        for (int n = 0; n < kBlocks; ++n) {
            const std::vector<std::uint8_t> frame(7, static_cast<std::uint8_t>(n));
            inbox.Stamp(frame);
        }
        reading = false;
    });
    std::vector<std::int32_t> ordered;
    int taken = 0, damaged = 0, outOfOrder = 0;
    const auto take = [&] {
        ReceiverInbox::Taken blocks = inbox.TakeAndLatch();
        for (const ReceiverInbox::Block& block : blocks.blocks) {
            if (block.bytes != std::vector<std::uint8_t>(7, static_cast<std::uint8_t>(taken)))
                ++damaged;
            ordered.push_back(block.tick);
            ++taken;
        }
        ordered.push_back(blocks.tick);
    };
    while (reading.load()) take();
    receiver.join();
    take();
    for (std::size_t i = 1; i < ordered.size(); ++i)
        if (ordered[i] <= ordered[i - 1]) ++outOfOrder;
    EXPECT_EQ(taken, kBlocks);
    EXPECT_EQ(damaged, 0);
    EXPECT_EQ(outOfOrder, 0);
}

}  // namespace
}  // namespace palomind
