// The receiver's frame: three 0xFE sync bytes, the transponder ID, two data
// bytes and a checksum ((ID + data 1 + data 2) mod 256). Frames are looked
// for only while the race is timing; anything else just resets the decoder.
#include "engine/race_engine.h"

namespace palomind {

namespace {
constexpr std::uint8_t kSync = 0xFE;
}

void RaceEngine::OnComm(std::span<const std::uint8_t> input) {
    s_.CommInput.assign(input.begin(), input.end());
    // Index rather than iterate: a pass may not touch CommInput, but the loop
    // must not depend on that.
    for (std::size_t i = 0; i < s_.CommInput.size(); ++i) DecodeByte(s_.CommInput[i]);
}

void RaceEngine::DecodeByte(std::uint8_t b) {
    if (b == kSync && s_.RaceRunning == kTrue) {
        // Sync runs count modulo 4: a fourth 0xFE starts the count again.
        if (++s_.SyncCount > 3) s_.SyncCount = 0;
        return;
    }
    if (s_.SyncCount != 3) {
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
