// The receiver's frame (engine/receiver_frame.h), decoded. Frames are looked
// for only while the race is timing; anything else just resets the decoder.
#include "engine/race_engine.h"
#include "engine/receiver_frame.h"

namespace palomind {

std::uint8_t ReceiverFrameChecksum(std::uint8_t id, std::uint8_t data1, std::uint8_t data2) {
    return static_cast<std::uint8_t>((id + data1 + data2) & 0xFF);
}

std::vector<std::uint8_t> ReceiverFrame(std::uint8_t id, std::uint8_t data1, std::uint8_t data2) {
    return {kReceiverSyncByte,
            kReceiverSyncByte,
            kReceiverSyncByte,
            id,
            data1,
            data2,
            ReceiverFrameChecksum(id, data1, data2)};
}

void RaceEngine::OnComm(std::span<const std::uint8_t> input) {
    s_.CommInput.assign(input.begin(), input.end());
    // Index rather than iterate: a pass may not touch CommInput, but the loop
    // must not depend on that.
    for (std::size_t i = 0; i < s_.CommInput.size(); ++i) DecodeByte(s_.CommInput[i]);
}

void RaceEngine::DecodeByte(std::uint8_t b) {
    if (b == kReceiverSyncByte && s_.RaceRunning == kTrue) {
        // Sync runs count modulo 4: a fourth 0xFE starts the count again.
        if (++s_.SyncCount > kReceiverSyncLength) s_.SyncCount = 0;
        return;
    }
    if (s_.SyncCount != kReceiverSyncLength) {
        s_.FrameLen = 0;
        s_.FrameSum = 0;
        s_.SyncCount = 0;
        return;
    }
    s_.FrameBuf[static_cast<std::size_t>(s_.FrameLen)] = b;
    ++s_.FrameLen;
    if (s_.FrameLen == 4) {
        if (b == s_.FrameSum) {
            s_.PassId = s_.FrameBuf[0];
            ProcessPass();
        }
        s_.FrameLen = 0;
        s_.FrameSum = 0;
        s_.SyncCount = 0;
        return;
    }
    s_.FrameSum = static_cast<std::int16_t>(s_.FrameSum + b);
    if (s_.FrameSum > 255) s_.FrameSum = static_cast<std::int16_t>(s_.FrameSum - 256);
}

}  // namespace palomind
