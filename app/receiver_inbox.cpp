#include "app/receiver_inbox.h"

namespace palomind {

void ReceiverInbox::Stamp(std::span<const std::uint8_t> bytes) {
    const std::lock_guard lock(mutex_);
    blocks_.push_back({clock_.TimeGetTime(), {bytes.begin(), bytes.end()}});
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
