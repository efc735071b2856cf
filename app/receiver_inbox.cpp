#include "app/receiver_inbox.h"

#include <mutex>
#include <utility>

namespace palomind {

void ReceiverInbox::Stamp(std::span<const std::uint8_t> bytes) {
    Block block{0, {bytes.begin(), bytes.end()}};
    const std::lock_guard lock(mutex_);
    block.tick = clock_.TimeGetTime();
    blocks_.push_back(std::move(block));
}

ReceiverInbox::Taken ReceiverInbox::TakeAndLatch() {
    Taken taken;
    const std::lock_guard lock(mutex_);
    taken.blocks.swap(blocks_);
    taken.tick = clock_.TimeGetTime();
    return taken;
}

std::int32_t ReceiverInbox::LatchOnly() {
    const std::lock_guard lock(mutex_);
    return clock_.TimeGetTime();
}

}  // namespace palomind
