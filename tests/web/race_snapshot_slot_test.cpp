// The snapshot slot between the race's thread and the web server's, with a
// real thread in each part.
#include "web/race_snapshot_slot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace palomind {
namespace {

// The server reads while the race publishes: every copy it gets is whole and
// is the one its sequence number names, and the numbers never go back.
TEST(RaceSnapshotSlotTest, AServerThreadReadsWholeCopiesInTheOrderTheyWerePublished) {
    constexpr std::uint64_t kPublications = 2000;
    RaceSnapshotSlot slot;
    std::atomic<bool> done = false;
    // The publishing waits for the server's first read, so the reads overlap
    // it even where the thread starts late on a loaded machine.
    std::atomic<bool> reading = false;
    std::uint64_t reads = 0, mismatches = 0, wentBack = 0, last = 0;
    std::thread server([&] {
        while (!done.load()) {
            const RaceSnapshotSlot::Snapshot snapshot = slot.Latest();
            ++reads;
            reading = true;
            if (snapshot.sequence < last) ++wentBack;
            last = snapshot.sequence;
            if (snapshot.sequence == 0) continue;
            if (snapshot.window == nullptr ||
                snapshot.window->Comment != std::to_string(snapshot.sequence))
                ++mismatches;
        }
    });
    while (!reading.load()) std::this_thread::yield();
    RaceWindowModel window;
    for (std::uint64_t n = 1; n <= kPublications; ++n) {
        window.Comment = std::to_string(n);
        slot.Publish(window);
    }
    done = true;
    server.join();
    EXPECT_GT(reads, 0U);
    EXPECT_EQ(mismatches, 0U);
    EXPECT_EQ(wentBack, 0U);
    EXPECT_EQ(slot.Latest().sequence, kPublications);
    EXPECT_EQ(slot.Latest().window->Comment, std::to_string(kPublications));
}

}  // namespace
}  // namespace palomind
