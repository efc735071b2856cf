#include "app/transponder_check.h"

#include "engine/race_state.h"
#include "engine/receiver_frame.h"

namespace palomind {

namespace {
constexpr std::size_t kFrameBytes = 4;  // ID, data 1, data 2, checksum
}

void TransponderCheck::Load(std::set<int> heat) {
    heat_ = std::move(heat);
    seenInHeat_.clear();
    strangers_.clear();
}

// A sync byte is never data: a fourth in a row, or one inside a frame,
// starts the count again, as in the race's decoder.
void TransponderCheck::Received(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t b : bytes) {
        if (b == kReceiverSyncByte) {
            if (++syncs_ > kReceiverSyncLength) syncs_ = 0;
            continue;
        }
        if (syncs_ != kReceiverSyncLength) {
            frame_.clear();
            syncs_ = 0;
            continue;
        }
        frame_.push_back(b);
        if (frame_.size() < kFrameBytes) continue;
        if (frame_[3] == ReceiverFrameChecksum(frame_[0], frame_[1], frame_[2])) Seen(frame_[0]);
        frame_.clear();
        syncs_ = 0;
    }
}

// ID 0 marks nothing and IDs above the table's are never ranked.
void TransponderCheck::Seen(int id) {
    if (id == 0 || id > kMaxId) return;
    (heat_.contains(id) ? seenInHeat_ : strangers_).insert(id);
}

}  // namespace palomind
